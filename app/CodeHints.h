// The names the editor offers when the code hints are on: the open text's own
// declarations, kept by an index that hears every change of the editor's lines and reads
// again only when a list is asked for, with the parameters, locals and labels of the
// procedure holding the caret; after a dot, the members of the structure before it.
#pragma once

#include <string_view>
#include <vector>

#include "highlight/Completion.h"
#include "index/SourceIndex.h"

namespace vantorel {

class TEditorStrings;

class TCodeHints : public CompletionSource {
 public:
  explicit TCodeHints(TEditorStrings& lines);
  ~TCodeHints() override;
  TCodeHints(const TCodeHints&) = delete;
  TCodeHints& operator=(const TCodeHints&) = delete;

  void Candidates(std::string_view line, int caretX, int caretY, std::vector<SourcedItem>& items) override;

  // Brings the index of the open text up to date.
  void Refresh();
  const SourceIndex& Source() const noexcept { return source_; }

 private:
  TEditorStrings& lines_;
  SourceIndex source_;
};

}  // namespace vantorel
