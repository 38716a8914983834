// The declarations of the text being edited, kept true to it as it changes. The index
// hears every change of the lines (a line-change watcher: one merge, nothing read, so a
// keystroke costs nothing more) and reads again only when asked, and then only from the
// last rest of the reader before the changed lines to the first rest after them that it
// already knew; what lies beyond is kept and moved by the number of lines added or
// removed.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "editor/LineChange.h"
#include "index/Declarations.h"

namespace vantorel {

// A line of the text by its index, from 0.
using LineReader = std::function<std::string_view(int line)>;

class SourceIndex : public LineWatcher {
 public:
  void LinesChanged(const LineChange& change) noexcept override;

  // Whether a change was heard since the last refresh.
  bool Stale() const noexcept { return whole_ || pending_.has_value(); }
  // Reads what changed; true when the declarations may differ from before.
  bool Refresh(int lineCount, const LineReader& line);
  // Counts the refreshes that read something, so a reader of the declarations knows
  // when what it built from them is old.
  std::uint64_t Version() const noexcept { return version_; }
  // The declarations and includes, lines counted from the text's first, in the order
  // reading the whole text gives them.
  FileDeclarations Declarations() const;
  // Each declaration at the text's top level (a structure with its members, a procedure
  // with its parameters, locals and labels) with the line of the piece holding it: its
  // own line is lineBase + declaration.line.
  void ForEach(const std::function<void(const Declaration& declaration, int lineBase)>& visit) const;
  // Each include line, in the text's order.
  void ForEachInclude(const std::function<void(const IncludeLine& include)>& visit) const;
  // The lines read at the last refresh (for the benchmarks and tests).
  int LinesRead() const noexcept { return linesRead_; }

 private:
  // A span read from one rest of the reader to the next that declared something or
  // took more than one line (a block, a continued statement); lines inside count from
  // first. Between pieces lie lines read at rest that declare nothing.
  struct Piece {
    int first = 0;
    int count = 0;
    FileDeclarations declarations;
  };
  // The first piece that ends after the line.
  std::vector<Piece>::iterator EndingAfter(int line);
  // Whether the reader was at rest between line - 1 and line.
  bool AtRest(int line) const;

  std::vector<Piece> pieces_;
  std::optional<LineChange> pending_;
  bool whole_ = true;  // nothing read yet, or the whole text was replaced
  // The text ended inside a block or a continued statement: the last piece's end is no
  // rest.
  bool openAtEnd_ = false;
  std::uint64_t version_ = 0;
  int linesRead_ = 0;
};

}  // namespace vantorel
