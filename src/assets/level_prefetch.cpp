#include "assets/level_prefetch.h"

#include <utility>

#include "assets/loading.h"
#include "effects/effects.h"
#include "gfx/image_slots.h"

LevelPrefetch::~LevelPrefetch() { Stop(); }

void LevelPrefetch::Request(int32_t level) {
  LevelPictureFiles files{};
  if (!FindLevelPictures(level, files)) return;
  std::lock_guard<std::mutex> lock(mutex_);
  if (jobs_.count(level) != 0) return;
  jobs_[level] = Job{};
  queue_.push_back(level);
  if (!worker_.joinable()) {
    stopping_ = false;
    worker_ = std::thread([this] { Work(); });
  }
  changed_.notify_all();
}

void LevelPrefetch::Work() {
  // Saturation, the one adjustment the level pictures take, draws nothing
  // at random and keeps no state: a system of the worker's own serves.
  EffectsSystem fx;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    const int32_t level = queue_.front();
    queue_.pop_front();
    Job& job = jobs_[level];
    job.started = true;
    lock.unlock();
    auto pictures = std::make_unique<GfxContext>();
    LevelPictureFiles files{};
    if (FindLevelPictures(level, files)) LoadLevelFiles(*pictures, fx, level, files);
    lock.lock();
    // The job stays where it is: only Take and Stop remove a started one.
    job.pictures = std::move(pictures);
    job.done = true;
    changed_.notify_all();
  }
}

bool LevelPrefetch::Take(int32_t level, GfxContext& gfx) {
  std::unique_lock<std::mutex> lock(mutex_);
  auto it = jobs_.find(level);
  if (it == jobs_.end()) return false;
  if (!it->second.started) {
    // Not begun: the caller's own load is as quick as the worker's.
    std::erase(queue_, level);
    jobs_.erase(it);
    return false;
  }
  changed_.wait(lock, [&] { return it->second.done; });
  std::unique_ptr<GfxContext> pictures = std::move(it->second.pictures);
  jobs_.erase(it);
  lock.unlock();

  LevelPictureFiles files{};
  if (pictures == nullptr || !FindLevelPictures(level, files)) return false;
  // All or nothing, so that a refused move leaves the caller's load to do
  // exactly what it would have done: the slots must be free, and each
  // picture must fit what the budget has left after the one before it.
  const int32_t slots[2] = {files.foregroundSlot, files.maskSlot};
  int64_t needed = 0;
  for (const int32_t slot : slots) {
    if (slot < 0 || slot > gfx.highestSlot || gfx.slots[slot].state != 0) return false;
    const ImageSlot& made = pictures->slots[slot];
    if (made.pixels == nullptr) continue;
    needed += made.heldBytes;
    if (needed > gfx.pictureBudget - gfx.pictureBytes) return false;
  }
  for (const int32_t slot : slots) {
    ImageSlot& made = pictures->slots[slot];
    if (made.pixels == nullptr) continue;
    gfx.slots[slot] = std::exchange(made, ImageSlot{});
    gfx.pictureBytes += gfx.slots[slot].heldBytes;
  }
  return true;
}

void LevelPrefetch::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    changed_.notify_all();
  }
  if (worker_.joinable()) worker_.join();
  std::lock_guard<std::mutex> lock(mutex_);
  jobs_.clear();  // each job's context frees its pictures
  queue_.clear();
  stopping_ = false;
}

bool LevelPrefetch::Holds(int32_t level) {
  std::lock_guard<std::mutex> lock(mutex_);
  return jobs_.count(level) != 0;
}

void LevelPrefetch::WaitIdle() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] {
    if (!queue_.empty() && worker_.joinable()) return false;
    for (const auto& [level, job] : jobs_)
      if (job.started && !job.done) return false;
    return true;
  });
}
