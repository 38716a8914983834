// Reads include trees on a thread of its own, so that the window never waits for the
// disk: a request replaces the one still waiting, and the newest tree read is there to
// take at any time. Nothing is shared with the user-interface thread but the requests
// and the finished trees, which no one changes once made.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "index/IncludeTree.h"

namespace vantorel {

class IncludeIndexer {
 public:
  // ready runs on the worker thread after each new tree; it may only wake the
  // user-interface thread (post a message). The file system and code pages are used
  // from the worker thread.
  IncludeIndexer(FileSystem& fs, CodePages& codePages, std::function<void()> ready);
  // Waits for the tree being read.
  ~IncludeIndexer();
  IncludeIndexer(const IncludeIndexer&) = delete;
  IncludeIndexer& operator=(const IncludeIndexer&) = delete;

  // A tree for these includes of the source.
  void Ask(IncludeSearch search, std::vector<IncludeLine> includes);
  // Reads again the files that changed on the disk since the last tree, if any did.
  void CheckDisk();
  // The newest tree read; nullptr before the first.
  std::shared_ptr<const IncludeTree> Tree() const;
  // Waits until nothing is asked or being read (for tests and benchmarks).
  void WaitIdle();

 private:
  struct Request {
    IncludeSearch search;
    std::vector<IncludeLine> includes;
    bool onlyIfStale = false;
  };
  void Run();

  FileSystem& fs_;
  CodePages& codePages_;
  std::function<void()> ready_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::optional<Request> pending_;
  std::optional<Request> last_;  // what the newest tree was read for
  bool busy_ = false;
  bool stop_ = false;
  std::shared_ptr<const IncludeTree> tree_;
  std::thread thread_;  // last: starts when everything above is made
};

}  // namespace vantorel
