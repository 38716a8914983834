// The declarations reader over any bytes: no crash, no undefined behaviour, every line
// it names inside the text, every short definition short, and the same result for the
// text with CR LF line ends.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "index/Declarations.h"

namespace {

void CheckAll(const std::vector<vantorel::Declaration>& list, int lines) {
  for (const vantorel::Declaration& d : list) {
    Check(d.line >= 0 && d.line < lines);
    Check(d.detail.size() <= 60);
    CheckAll(d.members, lines);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const vantorel::FileDeclarations file = vantorel::ReadDeclarations(text);
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  CheckAll(file.declarations, lines);
  for (const vantorel::IncludeLine& include : file.includes) Check(include.line >= 0 && include.line < lines);
  // CR LF line ends read as LF ones (a CR the text already had before an LF stays one).
  if (text.find('\r') == std::string_view::npos) {
    std::string crlf;
    for (const char c : text) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    const vantorel::FileDeclarations again = vantorel::ReadDeclarations(crlf);
    Check(again.declarations.size() == file.declarations.size());
    for (std::size_t i = 0; i < again.declarations.size(); ++i) {
      Check(again.declarations[i].name == file.declarations[i].name);
      Check(again.declarations[i].line == file.declarations[i].line);
    }
  }
  return 0;
}
