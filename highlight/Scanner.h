// TIParser: cuts one NUL-terminated line into tokens, one per call, and remembers the
// latest tokens with their offsets so that the highlighter colours exactly their
// characters. It knows nothing of colours, keywords or line states.
#pragma once

#include <string>
#include <vector>

namespace vantorel {

// The lexical rules; only the Java style has rules of its own, the others scan alike.
enum class TScanStyle { Java, Other };

class TIParser {
 public:
  TIParser();

  TScanStyle ScanStyle = TScanStyle::Java;
  // True: a comment is a token; false: comments are skipped like blanks.
  bool KeepComments = false;

  // Aims the scanner at a text that stays unchanged while it is scanned.
  void SetText(const char* text) noexcept {
    textStart_ = text;
    scanPos_ = text;
  }
  const char* TextStart() const noexcept { return textStart_; }
  const char* ScanPos() const noexcept { return scanPos_; }
  // The caller may move on before asking for tokens (past a carried-in comment).
  void SetScanPos(const char* at) noexcept { scanPos_ = at; }

  // The next token; empty at the end of the text. Every call writes one history entry;
  // the reference stays valid until the ring slot is written again.
  const std::string& NextToken();
  // Offsets of the first character of, and one past, the i-th most recent token.
  int TokenStart(int i) const noexcept { return slot(i).start; }
  int TokenEnd(int i) const noexcept { return slot(i).end; }
  const std::string& TokenText(int i) const noexcept { return slot(i).text; }

  int HistoryCapacity() const noexcept { return static_cast<int>(history_.size()); }
  // Grows or shrinks the ring to that size (at least one entry) and starts it again.
  void SetHistoryCapacity(int capacity);

 private:
  struct Entry {
    std::string text;
    int start = 0;
    int end = 0;
  };
  const Entry& slot(int i) const noexcept;
  // Where a comment starting at p ends, or nullptr when none starts there.
  const char* CommentEnd(const char* p) const noexcept;
  const std::string& Record(const char* begin, const char* end);

  const char* textStart_ = "";
  const char* scanPos_ = textStart_;
  std::vector<Entry> history_;
  int next_ = 0;
};

}  // namespace vantorel
