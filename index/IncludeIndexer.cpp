#include "index/IncludeIndexer.h"

#include <utility>

namespace vantorel {

IncludeIndexer::IncludeIndexer(FileSystem& fs, CodePages& codePages, std::function<void()> ready)
    : fs_(fs), codePages_(codePages), ready_(std::move(ready)), thread_([this] { Run(); }) {}

IncludeIndexer::~IncludeIndexer() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void IncludeIndexer::Ask(IncludeSearch search, std::vector<IncludeLine> includes) {
  {
    const std::lock_guard lock(mutex_);
    pending_ = Request{std::move(search), std::move(includes), false};
  }
  wake_.notify_one();
}

void IncludeIndexer::CheckDisk() {
  {
    const std::lock_guard lock(mutex_);
    // A request waiting reads everything anew anyway.
    if (pending_ || !last_) return;
    pending_ = *last_;
    pending_->onlyIfStale = true;
  }
  wake_.notify_one();
}

std::shared_ptr<const IncludeTree> IncludeIndexer::Tree() const {
  const std::lock_guard lock(mutex_);
  return tree_;
}

void IncludeIndexer::WaitIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return !pending_ && !busy_; });
}

void IncludeIndexer::Run() {
  for (;;) {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return stop_ || pending_; });
    if (stop_) return;
    Request request = std::move(*pending_);
    pending_.reset();
    busy_ = true;
    const std::shared_ptr<const IncludeTree> previous = tree_;
    lock.unlock();

    std::shared_ptr<const IncludeTree> made;
    try {
      if (!request.onlyIfStale || !previous || previous->Stale(fs_)) {
        made = std::make_shared<const IncludeTree>(
            IncludeTree::Read(fs_, codePages_, request.search, request.includes, previous.get()));
      }
    } catch (...) {
      // Out of memory, or a port that failed in a way it should not: the last tree stays.
    }

    lock.lock();
    if (made) {
      tree_ = std::move(made);
      request.onlyIfStale = false;
      last_ = std::move(request);
    }
    busy_ = false;
    const bool tell = tree_ != previous;
    lock.unlock();
    idle_.notify_all();
    if (tell && ready_) ready_();
  }
}

}  // namespace vantorel
