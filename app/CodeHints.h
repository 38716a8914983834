// The names the editor offers when the code hints are on: the open text's own
// declarations, kept by an index that hears every change of the editor's lines and reads
// again only when a list is asked for, with the parameters, locals and labels of the
// procedure holding the caret, and the names of every file the text includes, read on
// a worker thread; after a dot, the members of the structure before it.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "highlight/Completion.h"
#include "index/IncludeIndexer.h"
#include "index/SourceIndex.h"

namespace vantorel {

class TEditorStrings;

class TCodeHints : public CompletionSource {
 public:
  // search: where the includes are looked for now (the source's path and the Masm32
  // folder); wake: called on the worker thread when a new tree of includes is read, to
  // have IncludesRead run on the user-interface thread.
  TCodeHints(TEditorStrings& lines, FileSystem& fs, CodePages& codePages, std::function<IncludeSearch()> search,
             std::function<void()> wake);
  ~TCodeHints() override;
  TCodeHints(const TCodeHints&) = delete;
  TCodeHints& operator=(const TCodeHints&) = delete;

  void Candidates(std::string_view line, int caretX, int caretY, std::vector<SourcedItem>& items) override;

  // Brings the index of the open text up to date and asks for the includes' tree when
  // the includes or where they are looked for changed.
  void Update();
  // The window came to the front: the files read are checked on the disk.
  void Activated();
  // A new tree of includes was read: the problems not told before, as one line for the
  // status bar (the first, and how many more), or nothing.
  std::optional<std::string> IncludesRead();

  const SourceIndex& Source() const noexcept { return source_; }
  IncludeIndexer& Indexer() noexcept { return indexer_; }

 private:
  TEditorStrings& lines_;
  std::function<IncludeSearch()> search_;
  SourceIndex source_;
  IncludeIndexer indexer_;
  std::optional<std::pair<IncludeSearch, std::vector<IncludeLine>>> asked_;
  std::set<std::string> told_;  // problems already shown
  // What the last items' bytes live in, until the next are made: the tree they were
  // taken from, and copies of the names the open text declares (its index may be read
  // again while a list shows).
  std::shared_ptr<const IncludeTree> shown_;
  std::deque<std::string> owned_;
};

}  // namespace vantorel
