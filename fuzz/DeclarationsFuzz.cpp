// The declarations reader over any bytes: no crash, no undefined behaviour, every line
// it names inside the text, every short definition short, and the same result for the
// text with CR LF line ends; and the index of a text being edited, after lines of it
// are moved elsewhere, equal to the edited text read anew.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "index/Declarations.h"
#include "index/SourceIndex.h"

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
  // Lines [from, from + count) move to before line to of what is left.
  std::vector<std::string> split;
  for (std::size_t at = 0; at <= text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    split.emplace_back(text.substr(at, end - at));
    at = end + 1;
  }
  vantorel::SourceIndex index;
  const auto read = [&split](int i) { return std::string_view(split[static_cast<std::size_t>(i)]); };
  index.Refresh(static_cast<int>(split.size()), read);
  const int n = static_cast<int>(split.size());
  const int from = size > 0 ? data[0] % n : 0;
  const int count = size > 1 ? data[1] % (n - from + 1) : 0;
  std::vector<std::string> moved(split.begin() + from, split.begin() + from + count);
  split.erase(split.begin() + from, split.begin() + from + count);
  index.LinesChanged(vantorel::LineChange{from, count, 0, vantorel::ChangeOrigin::User, false});
  const int to = size > 2 ? data[2] % (static_cast<int>(split.size()) + 1) : 0;
  split.insert(split.begin() + to, moved.begin(), moved.end());
  index.LinesChanged(vantorel::LineChange{to, 0, count, vantorel::ChangeOrigin::User, false});
  index.Refresh(static_cast<int>(split.size()), read);
  std::string edited;
  for (std::size_t i = 0; i < split.size(); ++i) edited += (i ? "\n" : "") + split[i];
  Check(index.Declarations() == vantorel::ReadDeclarations(edited));
  return 0;
}
