// The code pages of a Russian Windows system on a POSIX system: Windows-1251 as the
// ANSI page and 866 as the OEM page, converted through the C library's iconv.
#pragma once

#include <array>

#include "platform/CodePages.h"

namespace vantorel {

class IconvCodePages : public CodePages {
 public:
  // Throws std::runtime_error when the C library lacks either code page.
  IconvCodePages();
  std::string WinToDos(std::string_view ansi) override { return Map(ansiToOem_, ansi); }
  std::string DosToWin(std::string_view oem) override { return Map(oemToAnsi_, oem); }
  std::string LowerCase(std::string_view ansi) override { return Map(ansiLower_, ansi); }
  std::string UpperCase(std::string_view ansi) override { return Map(ansiUpper_, ansi); }
  std::optional<std::string> AnsiFromUtf8(std::string_view utf8) override;
  std::string Utf8FromAnsi(std::string_view ansi) override;

 private:
  using Table = std::array<unsigned char, 256>;
  static std::string Map(const Table& table, std::string_view text);
  Table ansiToOem_{};
  Table oemToAnsi_{};
  Table ansiLower_{};
  Table ansiUpper_{};  // the lower-case table turned round
  std::array<std::string, 256> ansiUtf8_;
};

}  // namespace vantorel
