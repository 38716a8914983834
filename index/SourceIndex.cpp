#include "index/SourceIndex.h"

#include <algorithm>
#include <iterator>

namespace vantorel {

namespace {

void MoveLines(std::vector<Declaration>& declarations, int by) {
  for (Declaration& d : declarations) {
    d.line += by;
    if (d.lastLine >= 0) d.lastLine += by;
    MoveLines(d.members, by);
  }
}

void MoveLines(FileDeclarations& file, int by) {
  MoveLines(file.declarations, by);
  for (IncludeLine& include : file.includes) include.line += by;
}

}  // namespace

void SourceIndex::LinesChanged(const LineChange& change) noexcept {
  if (whole_) return;
  if (change.wholeText) {
    whole_ = true;
    pending_.reset();
    return;
  }
  pending_ = pending_ ? MergeChanges(*pending_, change) : change;
}

std::vector<SourceIndex::Piece>::iterator SourceIndex::EndingAfter(int line) {
  return std::partition_point(pieces_.begin(), pieces_.end(),
                              [line](const Piece& p) { return p.first + p.count <= line; });
}

bool SourceIndex::AtRest(int line) const {
  const auto it = std::partition_point(pieces_.begin(), pieces_.end(),
                                       [line](const Piece& p) { return p.first + p.count <= line; });
  return it == pieces_.end() || it->first >= line;
}

bool SourceIndex::Refresh(int lineCount, const LineReader& line) {
  linesRead_ = 0;
  if (!Stale()) return false;
  const bool whole = whole_;
  int start = 0;
  int changedEnd = lineCount;  // reading may stop at a known rest from here on
  int delta = 0;
  auto from = pieces_.begin();
  if (!whole) {
    const LineChange c = *pending_;
    from = EndingAfter(c.first);
    // A block the text's end closed goes on into lines added after it.
    if (from == pieces_.end() && openAtEnd_) from = std::prev(pieces_.end());
    start = from == pieces_.end() ? c.first : std::min(c.first, from->first);
    changedEnd = c.first + c.added;
    delta = c.added - c.removed;
  }
  whole_ = false;
  pending_.reset();
  ++version_;

  std::vector<Piece> fresh;
  DeclarationReader reader(start);
  int pieceStart = start;
  // open: the span did not end at a rest (the text's end closed it).
  const auto close = [&](int end, FileDeclarations got, bool open) {
    if (!got.declarations.empty() || !got.includes.empty() || end - pieceStart > 1 || open) {
      MoveLines(got, -pieceStart);
      fresh.push_back(Piece{pieceStart, end - pieceStart, std::move(got)});
    }
    pieceStart = end;
  };
  int stopOld = -1;  // the line of the text before the change where reading stopped
  for (int n = start; n < lineCount; ++n) {
    reader.Line(line(n));
    ++linesRead_;
    if (!reader.AtRest()) continue;
    close(n + 1, reader.Take(), false);
    if (!whole && n + 1 >= changedEnd && AtRest(n + 1 - delta)) {
      stopOld = n + 1 - delta;
      break;
    }
  }
  if (stopOld < 0) {
    openAtEnd_ = !reader.AtRest();
    close(lineCount, reader.Finish(), openAtEnd_);
  }

  // The pieces known beyond the stop stay, moved by the lines added or removed.
  auto to = stopOld < 0 ? pieces_.end()
                        : std::partition_point(from, pieces_.end(), [stopOld](const Piece& p) { return p.first < stopOld; });
  for (auto it = to; it != pieces_.end(); ++it) it->first += delta;
  const auto at = pieces_.erase(from, to);
  pieces_.insert(at, std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
  return true;
}

FileDeclarations SourceIndex::Declarations() const {
  FileDeclarations all;
  for (const Piece& piece : pieces_) {
    FileDeclarations copy = piece.declarations;
    MoveLines(copy, piece.first);
    all.declarations.insert(all.declarations.end(), std::make_move_iterator(copy.declarations.begin()),
                            std::make_move_iterator(copy.declarations.end()));
    all.includes.insert(all.includes.end(), copy.includes.begin(), copy.includes.end());
  }
  return all;
}

void SourceIndex::ForEach(const std::function<void(const Declaration& declaration, int lineBase)>& visit) const {
  for (const Piece& piece : pieces_)
    for (const Declaration& d : piece.declarations.declarations) visit(d, piece.first);
}

void SourceIndex::ForEachInclude(const std::function<void(const IncludeLine& include)>& visit) const {
  for (const Piece& piece : pieces_) {
    for (IncludeLine include : piece.declarations.includes) {
      include.line += piece.first;
      visit(include);
    }
  }
}

}  // namespace vantorel
