#pragma once
// File writes that the caller does not wait for: jobs run one after another,
// in the order they were posted, on a thread of their own that lives while
// there is work. A saved game is written, synced to the disk and renamed
// into place there while the frames go on.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace platform {

class WriteBehind {
 public:
  WriteBehind() = default;
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;
  // Runs what is still posted.
  ~WriteBehind();

  // Queues `job` behind the ones already posted.
  void Post(std::function<void()> job);
  // Returns once every job posted so far has run and the thread has ended:
  // a reader of what the jobs write calls it first, and so does a caller
  // about to fork.
  void Finish();

 private:
  void Work();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> jobs_;
  bool alive_ = false;  // a thread is working through the jobs
  std::thread worker_;
};

}  // namespace platform
