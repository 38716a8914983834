// Bracket and word-pair marks: when the caret stands on a bracket, or on a word of a
// configured pair such as "begin=end", the bracket (or word) and its balancing partner
// are marked, and the painter frames both. The object reads the text and asks for
// repaints through a tiny port, so it knows nothing else of the editor that owns it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/EditorTypes.h"
#include "editor/LineChange.h"
#include "platform/Types.h"

namespace vantorel {

// What the marks read of, and ask of, the editor they belong to.
class BracketTextPort {
 public:
  virtual ~BracketTextPort() = default;
  virtual int LineCount() const = 0;
  // The stored line without its line end; it stays valid while the marks are computed.
  virtual std::string_view LineView(int y) const = 0;
  virtual void RepaintLine(int y) = 0;
};

// 1-based columns (the element numbers of TLineAttrs) and line indexes; BeginX = -1
// means no mark. A mark never spans lines.
struct TBracketMark {
  int BeginX = -1;
  int BeginY = 0;
  int EndX = 0;
  int EndY = 0;
  bool IsSet() const noexcept { return BeginX != -1; }
  friend bool operator==(const TBracketMark&, const TBracketMark&) = default;
};

// The marks follow the text between two updates: lines inserted or removed above them
// move them, so the frame stays on the characters it was found on and the next update
// repaints the lines they stand on now. A mark whose own line changed is no longer
// drawn; its line is still repainted then, with its partner's, to take the frame away.
class TBracketHighlighting : public LineWatcher {
 public:
  bool Active = false;
  vantorel::Color BorderColor = clSilver;
  vantorel::Color Color = clNone;  // background of marked characters; clNone keeps the highlighter's
  vantorel::Color FontColor = clNone;
  bool CaseSensitiveWordPairs = true;

  // Lines "opening=closing"; lines without "=" are kept but never match.
  const std::vector<std::string>& WordPairs() const noexcept { return wordPairs_; }
  void SetWordPairs(std::vector<std::string> lines) { wordPairs_ = std::move(lines); }

  // The look is copied; the word pairs and their case rule stay the target's own.
  void Assign(const TBracketHighlighting& source) noexcept;

  // Direction +1: the word opens a pair and Partner closes it; -1 the reverse; 0: the
  // word is in no pair (Partner empty).
  struct WordPairMatch {
    int Direction = 0;
    bool CaseSensitive = true;
    std::string Partner;
  };
  WordPairMatch LookUpWordPair(std::string_view word) const;

  // Clears both marks (repainting their lines), then, when active and showing, marks
  // the bracket or pair word right of the caret and its partner, both or neither.
  void UpdateBracketMarks(BracketTextPort& text, bool showing, int caretX, int caretY);
  // Gives the marked columns of one painted line the marks' colours and frame.
  void ApplyBracketMarks(int line, TLineAttrs& attrs) const noexcept;
  // False from a change of a marked line until the next update.
  bool MarksDrawn() const noexcept { return !stale_; }

  void LinesChanged(const LineChange& change) noexcept override;

  const TBracketMark& StartMark() const noexcept { return start_; }
  const TBracketMark& PartnerMark() const noexcept { return partner_; }

 private:
  void ClearMarks(BracketTextPort& text);
  void FindMarks(BracketTextPort& text, int caretX, int caretY);

  std::vector<std::string> wordPairs_;
  TBracketMark start_;
  TBracketMark partner_;
  bool stale_ = false;
};

}  // namespace vantorel
