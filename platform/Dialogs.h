// Modal questions and notices. Texts are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Types.h"

namespace vantorel {

enum class MessageButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class MessageIcon { None, Information, Warning, Question, Error };
enum class MessageResult { Ok, Cancel, Yes, No };

// The system's open and save dialogs as the core sets them up.
struct FileDialogDesc {
  std::string title;
  std::vector<std::pair<std::string, std::string>> filters;  // description, patterns
  int filterIndex = 1;                                          // 1-based, as the system counts
  std::string defaultExt;                                       // added to a name typed without one
  std::string initialDir;                                       // empty: the system's choice
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The chosen file's full path, or nothing when the user cancels. Both dialogs hide
  // the read-only box and can be resized; the save dialog asks nothing when the file
  // exists.
  virtual std::optional<std::string> OpenFile(const FileDialogDesc& desc) = 0;
  virtual std::optional<std::string> SaveFile(const FileDialogDesc& desc) = 0;
  // The system's folder dialog with this title, file-system folders only, opening at
  // the root of the shell's name space: the chosen folder's full path, or nothing.
  virtual std::optional<std::string> BrowseForFolder(const std::string& title) = 0;
  // The system's font dialog with the effects (strike-out, underline, colour), starting
  // from the given font: the confirmed font, or nothing when the user cancels.
  virtual std::optional<FontDesc> PickFont(const FontDesc& initial) = 0;
  virtual MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons,
                                   MessageIcon icon) = 0;
};

// The caption of error boxes raised by the top-level error handling.
inline constexpr const char* kErrorCaption = "Vantorel";

}  // namespace vantorel
