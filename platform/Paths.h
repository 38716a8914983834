// Paths in the Windows forms the program meets (a drive, a root without a drive, a
// network share, relative names with "." and ".." steps), as pure functions on UTF-8
// strings, so the build's messages and the index of included files agree on what
// names a file.
#pragma once

#include <string>
#include <string_view>

#include "platform/CodePages.h"

namespace vantorel {

// The full form of a path a tool named: a relative one is taken from folder (the
// build's current directory), "." and ".." steps are resolved, and every separator
// becomes the folder's own kind (a backslash unless the folder is written with
// slashes only).
std::string ResolveToolPath(std::string_view path, std::string_view folder);
// Whether two full paths name the same file as the system compares them: separators
// of either kind and letters of any case (the ANSI page's, Cyrillic included) alike.
bool SamePath(std::string_view a, std::string_view b, CodePages& codePages);
// The form in which two paths that SamePath holds alike are equal bytes, for a path
// kept as a key of a map.
std::string PathKey(std::string_view path, CodePages& codePages);

}  // namespace vantorel
