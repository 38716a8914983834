// The system's 8-bit code pages: the ANSI (Windows) page the editor's text is in and
// the OEM (DOS) page, their conversion, and the ANSI page's case mapping.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantorel {

class CodePages {
 public:
  virtual ~CodePages() = default;
  // Byte for byte, so the length is kept; a character without a counterpart becomes
  // the system's substitute.
  virtual std::string WinToDos(std::string_view ansi) = 0;
  virtual std::string DosToWin(std::string_view oem) = 0;
  // Lower case with the ANSI page's rules (Cyrillic letters included); same length.
  virtual std::string LowerCase(std::string_view ansi) = 0;
  virtual std::string UpperCase(std::string_view ansi) = 0;
  // UTF-8 text of a system control in the ANSI page, or nothing when it holds a
  // character the page lacks (a substitute such as '?' would match text it is not).
  virtual std::optional<std::string> AnsiFromUtf8(std::string_view utf8) = 0;
  // Text in the ANSI page (a tool's output, a file name it wrote) as UTF-8; a byte the
  // page leaves unassigned becomes the replacement character.
  virtual std::string Utf8FromAnsi(std::string_view ansi) = 0;
};

}  // namespace vantorel
