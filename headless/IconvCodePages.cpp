#include "headless/IconvCodePages.h"

#include <iconv.h>

#include <cerrno>
#include <optional>
#include <stdexcept>

namespace vantorel {

namespace {

constexpr const char* kAnsi = "CP1251";
constexpr const char* kOem = "CP866";
constexpr unsigned char kSubstitute = '?';

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
  }
  ~Converter() { ::iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // The whole input converted, or nothing when a character has no counterpart.
  std::optional<std::string> Convert(std::string_view in) {
    ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 4 + 8, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    if (::iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) return std::nullopt;
    out.resize(out.size() - dstLeft);
    return out;
  }

 private:
  iconv_t cd_;
};

// One byte of one page as a byte of the other; a byte without a counterpart (or an
// unassigned one) becomes the substitute, so the length never changes.
void FillByteTable(std::array<unsigned char, 256>& table, const char* to, const char* from) {
  Converter convert(to, from);
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    const auto out = convert.Convert(std::string_view(&byte, 1));
    table[static_cast<std::size_t>(b)] = out && out->size() == 1 ? static_cast<unsigned char>((*out)[0]) : kSubstitute;
  }
}

// Lower case of the characters Windows-1251 holds: Latin and Cyrillic letters.
char32_t LowerLetter(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 0x20;
  if (c >= 0x0410 && c <= 0x042F) return c + 0x20;  // А..Я
  if (c >= 0x0400 && c <= 0x040F) return c + 0x50;  // Ѐ..Џ, Ё among them
  if (c == 0x0490) return 0x0491;                   // Ґ
  return c;
}

}  // namespace

IconvCodePages::IconvCodePages() {
  FillByteTable(ansiToOem_, kOem, kAnsi);
  FillByteTable(oemToAnsi_, kAnsi, kOem);
  Converter toUtf8("UTF-8", kAnsi);
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    ansiUtf8_[static_cast<std::size_t>(b)] = toUtf8.Convert(std::string_view(&byte, 1)).value_or("\xef\xbf\xbd");
  }
  Converter toUnicode("UTF-32LE", kAnsi);
  Converter fromUnicode(kAnsi, "UTF-32LE");
  for (int b = 0; b < 256; ++b) {
    ansiLower_[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b);
    const char byte = static_cast<char>(b);
    const auto wide = toUnicode.Convert(std::string_view(&byte, 1));
    if (!wide || wide->size() != 4) continue;
    const auto* u = reinterpret_cast<const unsigned char*>(wide->data());
    const char32_t c = u[0] | (u[1] << 8) | (u[2] << 16) | (static_cast<char32_t>(u[3]) << 24);
    const char32_t lower = LowerLetter(c);
    if (lower == c) continue;
    const unsigned char l[4] = {static_cast<unsigned char>(lower), static_cast<unsigned char>(lower >> 8),
                                static_cast<unsigned char>(lower >> 16), static_cast<unsigned char>(lower >> 24)};
    const auto back = fromUnicode.Convert(std::string_view(reinterpret_cast<const char*>(l), 4));
    if (back && back->size() == 1) ansiLower_[static_cast<std::size_t>(b)] = static_cast<unsigned char>((*back)[0]);
  }
  for (int b = 0; b < 256; ++b) ansiUpper_[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b);
  for (int b = 0; b < 256; ++b) {
    const unsigned char lower = ansiLower_[static_cast<std::size_t>(b)];
    if (lower != b) ansiUpper_[lower] = static_cast<unsigned char>(b);
  }
}

std::string IconvCodePages::Map(const Table& table, std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return out;
}

std::string IconvCodePages::Utf8FromAnsi(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size() * 2);
  for (const char c : ansi) out += ansiUtf8_[static_cast<unsigned char>(c)];
  return out;
}

std::optional<std::string> IconvCodePages::AnsiFromUtf8(std::string_view utf8) {
  Converter convert(kAnsi, "UTF-8");
  return convert.Convert(utf8);
}

}  // namespace vantorel
