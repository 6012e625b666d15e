#include "platform/write_behind.h"

#include <utility>

#include "platform/threads.h"

namespace platform {

WriteBehind::~WriteBehind() { Finish(); }

void WriteBehind::Post(std::function<void()> job) {
  // Without threads the job runs now: still in posting order, and Finish
  // has nothing to wait for.
  if constexpr (!kThreads) return job();
  std::lock_guard<std::mutex> lock(mutex_);
  jobs_.push_back(std::move(job));
  if (alive_) return;
  // The last thread ran out of work and has left (or is leaving) its loop.
  if (worker_.joinable()) worker_.join();
  alive_ = true;
  worker_ = std::thread([this] { Work(); });
}

void WriteBehind::Finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !alive_; });
  // Joined, so that no thread of ours is left: a process forked after this
  // starts its own on its first job.
  if (worker_.joinable()) worker_.join();
}

void WriteBehind::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!jobs_.empty()) {
    std::function<void()> job = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();
    job();
    lock.lock();
  }
  alive_ = false;
  changed_.notify_all();
}

}  // namespace platform
