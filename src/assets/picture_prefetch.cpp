#include "assets/picture_prefetch.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <utility>

#include "assets/loading.h"
#include "effects/effects.h"
#include "config/log.h"
#include "gfx/image_slots.h"
#include "platform/threads.h"

PicturePrefetch::PicturePrefetch(PictureMemory& memory) : memory_(memory) {
  memory_.AddHolder(this, [](void* self) { static_cast<PicturePrefetch*>(self)->Recall(); });
}

PicturePrefetch::~PicturePrefetch() {
  memory_.RemoveHolder(this);
  Stop();
}

// Without threads nothing is prepared ahead: every Take finds nothing and
// the frame loads the pictures itself, as it does for a request not begun.
void PicturePrefetch::Request(int32_t level) {
  if constexpr (!platform::kThreads) return;
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

namespace {

// What the worker's back buffer holds where a group has not drawn. The
// scratch drawing of the loading groups always ends cleared to black.
constexpr uint32_t kUndrawn = 0xfffffffeu;

bool Logging(const GfxContext& gfx) { return gfx.log != nullptr && gfx.log->enabled != 0; }

}  // namespace

PicturePrefetch::DrawingState PicturePrefetch::DrawingStateOf(const GfxContext& gfx) {
  return {gfx.screenWidth, gfx.screenHeight, gfx.highestSlot, gfx.opacity, gfx.additive, gfx.supersampling};
}

void PicturePrefetch::RequestGroup(int32_t step, const GfxContext& gfx, const EffectsSystem& fx) {
  if constexpr (!platform::kThreads) return;
  if (!HasLoadGroup(step) || Logging(gfx) || gfx.screenWidth <= 0 || gfx.screenHeight <= 0) return;
  if (gfx.memory != &memory_) return;
  for (const int32_t slot : LoadGroupSlots(step))
    if (slot > gfx.highestSlot || gfx.slots[slot].state != 0) return;
  const int32_t key = kGroupKey + step;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (jobs_.count(key) != 0) return;
  }
  // The context is set up here, from the asking thread's, and only the
  // worker touches it until the group is taken.
  Job job;
  job.step = step;
  job.pictures = std::make_unique<GfxContext>();
  GfxContext& made = *job.pictures;
  made.sizeScale = gfx.sizeScale;
  made.measuredFps = gfx.measuredFps;
  made.screenWidth = gfx.screenWidth;
  made.screenHeight = gfx.screenHeight;
  made.heightScale = gfx.heightScale;
  made.timeStep = gfx.timeStep;
  std::memcpy(made.versine, gfx.versine, sizeof made.versine);
  std::memcpy(made.sine, gfx.sine, sizeof made.sine);
  std::memcpy(made.direction, gfx.direction, sizeof made.direction);
  made.x1 = gfx.x1, made.y1 = gfx.y1, made.x2 = gfx.x2, made.y2 = gfx.y2;
  made.x3 = gfx.x3, made.y3 = gfx.y3, made.x4 = gfx.x4, made.y4 = gfx.y4;
  made.highestSlot = gfx.highestSlot;
  made.opacity = gfx.opacity;
  made.additive = gfx.additive;
  made.supersampling = gfx.supersampling;
  made.pictureBudget = gfx.pictureBudget;
  made.memory = &memory_;
  MakeGiveWay(made);
  job.fx = std::make_unique<EffectsSystem>();
  std::memcpy(job.fx->toneTable, fx.toneTable, sizeof fx.toneTable);
  job.before = DrawingStateOf(gfx);
  const int32_t corners[8] = {gfx.x1, gfx.y1, gfx.x2, gfx.y2, gfx.x3, gfx.y3, gfx.x4, gfx.y4};
  std::copy(corners, corners + 8, job.cornersBefore);
  std::memcpy(job.toneBefore, fx.toneTable, sizeof job.toneBefore);

  std::lock_guard<std::mutex> lock(mutex_);
  if (jobs_.count(key) != 0) return;
  jobs_[key] = std::move(job);
  queue_.push_back(key);
  if (!worker_.joinable()) {
    stopping_ = false;
    worker_ = std::thread([this] { Work(); });
  }
  changed_.notify_all();
}

void PicturePrefetch::MakeGroup(Job& job) {
  GfxContext& gfx = *job.pictures;
  const size_t area = static_cast<size_t>(gfx.screenWidth) * static_cast<size_t>(gfx.screenHeight);
  job.screen.reset(new (std::nothrow) uint32_t[area]);
  gfx.workBuffer.reset(new (std::nothrow) uint32_t[kWorkBufferPixels]);
  if (job.screen == nullptr || gfx.workBuffer == nullptr) {
    job.pictures.reset();  // nothing made: the step loads the group itself
    return;
  }
  std::fill_n(job.screen.get(), area, kUndrawn);
  gfx.backBuffer = job.screen.get();
  LoadGroup(gfx, *job.fx, job.step, [this] { WaitWhileHeld(); });
  gfx.workBuffer.reset();
  // A picture made blank (the composed level, the frozen menu screen) has
  // memory the system has not handed over yet; writing each page once here,
  // with the byte it holds, spares the frame that first draws into it.
  for (const ImageSlot& slot : gfx.slots) {
    if (slot.pixels == nullptr) continue;
    auto* bytes = reinterpret_cast<volatile uint8_t*>(slot.pixels);
    const size_t size = static_cast<size_t>(slot.width) * static_cast<size_t>(slot.height) * sizeof(uint32_t);
    for (size_t at = 0; at < size; at += 4096) bytes[at] = bytes[at];
  }
  // The runs of the back buffer the group drew on, to be drawn on the
  // same way when the group moves in.
  const uint32_t* p = job.screen.get();
  for (size_t i = 0; i < area;) {
    if (p[i] == kUndrawn) {
      ++i;
      continue;
    }
    size_t end = i + 1;
    while (end < area && p[end] != kUndrawn) ++end;
    job.drawn.emplace_back(static_cast<int32_t>(i), static_cast<int32_t>(end - i));
    i = end;
  }
}

void PicturePrefetch::Work() {
  // Saturation, the one adjustment the level pictures take, draws nothing
  // at random and keeps no state: a system of the worker's own serves.
  EffectsSystem fx;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || (!held_ && (!queue_.empty() || !discarded_.empty())); });
    if (stopping_) return;
    if (!discarded_.empty()) {
      std::vector<Job> done = std::move(discarded_);
      discarded_.clear();
      lock.unlock();
      done.clear();
      lock.lock();
      changed_.notify_all();
      continue;
    }
    const int32_t key = queue_.front();
    queue_.pop_front();
    Job& job = jobs_[key];
    job.started = true;
    lock.unlock();
    if (key >= kGroupKey) {
      MakeGroup(job);
      lock.lock();
      job.done = true;
      changed_.notify_all();
      continue;
    }
    const int32_t level = key;
    auto pictures = std::make_unique<GfxContext>();
    pictures->memory = &memory_;
    MakeGiveWay(*pictures);
    LevelPictureFiles files{};
    if (FindLevelPictures(level, files)) LoadLevelFiles(*pictures, fx, level, files, [this] { WaitWhileHeld(); });
    lock.lock();
    // The job stays where it is: only Take and Stop remove a started one.
    job.pictures = std::move(pictures);
    job.done = true;
    changed_.notify_all();
  }
}

std::optional<PicturePrefetch::Job> PicturePrefetch::Finished(int32_t key) {
  std::unique_lock<std::mutex> lock(mutex_);
  auto it = jobs_.find(key);
  if (it == jobs_.end()) return std::nullopt;
  if (!it->second.started) {
    // Not begun: the caller's own load is as quick as the worker's.
    std::erase(queue_, key);
    jobs_.erase(it);
    return std::nullopt;
  }
  // A held worker goes on while a caller waits for what it is at.
  ++waiting_;
  changed_.notify_all();
  changed_.wait(lock, [&] { return it->second.done; });
  --waiting_;
  Job job = std::move(it->second);
  jobs_.erase(it);
  return job;
}

bool PicturePrefetch::Take(int32_t level, GfxContext& gfx) {
  std::optional<Job> job = Finished(level);
  if (!job) return false;
  const std::unique_ptr<GfxContext>& pictures = job->pictures;
  LevelPictureFiles files{};
  if (pictures == nullptr || !FindLevelPictures(level, files)) return false;
  // All or nothing, so that a refused move leaves the caller's load to do
  if (pictures->shortOfMemory || gfx.memory != &memory_) return false;
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
    memory_.Settle(gfx.slots[slot].heldBytes);
  }
  return true;
}

bool PicturePrefetch::TakeGroup(int32_t step, GfxContext& gfx, EffectsSystem& fx) {
  std::optional<Job> job = Finished(kGroupKey + step);
  if (!job) return false;
  const bool moved = MoveGroupIn(*job, gfx, fx);
  // What is left of the job (the worker's context and screen) is freed by
  // the worker, not by the frame.
  Discard(std::move(*job));
  return moved;
}

bool PicturePrefetch::MoveGroupIn(Job& job, GfxContext& gfx, EffectsSystem& fx) {
  const int32_t step = job.step;
  if (job.pictures == nullptr || Logging(gfx) || DrawingStateOf(gfx) != job.before) return false;
  GfxContext& made = *job.pictures;
  if (made.shortOfMemory || gfx.memory != &memory_) return false;
  // All or nothing, as for a level: every slot the group would load or
  // make must be free, and the budget must hold the whole group (each of
  // its loads then sees at least the room it saw on the worker).
  const std::vector<int32_t> slots = LoadGroupSlots(step);
  for (const int32_t slot : slots)
    if (slot > gfx.highestSlot || gfx.slots[slot].state != 0) return false;
  if (made.pictureBytes > gfx.pictureBudget - gfx.pictureBytes) return false;
  for (const int32_t slot : slots) {
    if (made.slots[slot].state == 0) continue;
    gfx.slots[slot] = std::exchange(made.slots[slot], ImageSlot{});
    gfx.pictureBytes += gfx.slots[slot].heldBytes;
    memory_.Settle(gfx.slots[slot].heldBytes);
  }
  // What the group leaves besides its pictures: the drawing mode it ends
  // with, and the corners and tone table its last turned drawing and tone
  // curve wrote (each written before it is read, so only a changed one
  // needs carrying over), and the black of its scratch drawing.
  gfx.opacity = made.opacity;
  gfx.additive = made.additive;
  gfx.supersampling = made.supersampling;
  const int32_t corners[8] = {made.x1, made.y1, made.x2, made.y2, made.x3, made.y3, made.x4, made.y4};
  if (!std::equal(corners, corners + 8, job.cornersBefore)) {
    gfx.x1 = made.x1, gfx.y1 = made.y1, gfx.x2 = made.x2, gfx.y2 = made.y2;
    gfx.x3 = made.x3, gfx.y3 = made.y3, gfx.x4 = made.x4, gfx.y4 = made.y4;
  }
  if (std::memcmp(job.fx->toneTable, job.toneBefore, sizeof job.toneBefore) != 0)
    std::memcpy(fx.toneTable, job.fx->toneTable, sizeof fx.toneTable);
  if (gfx.backBuffer != nullptr)
    for (const auto& [start, length] : job.drawn)
      std::memcpy(gfx.backBuffer + start, job.screen.get() + start, static_cast<size_t>(length) * sizeof(uint32_t));
  return true;
}

void PicturePrefetch::Discard(Job&& job) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!worker_.joinable() || stopping_) return;  // freed here, as `job` goes
  discarded_.push_back(std::move(job));
  changed_.notify_all();
}

void PicturePrefetch::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    changed_.notify_all();
  }
  if (worker_.joinable()) worker_.join();
  std::lock_guard<std::mutex> lock(mutex_);
  jobs_.clear();  // each job's context frees its pictures
  queue_.clear();
  discarded_.clear();
  stopping_ = false;
  held_ = false;
}

void PicturePrefetch::Recall() {
  std::vector<Job> freed;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    queue_.clear();
    for (Job& job : discarded_) freed.push_back(std::move(job));
    discarded_.clear();
    // A job under way takes no more memory from now on; a held worker goes
    // on with it while it is waited for.
    ++waiting_;
    changed_.notify_all();
    changed_.wait(lock, [this] {
      return std::none_of(jobs_.begin(), jobs_.end(),
                          [](const auto& j) { return j.second.started && !j.second.done; });
    });
    --waiting_;
    for (auto& [key, job] : jobs_) freed.push_back(std::move(job));
    jobs_.clear();
    changed_.notify_all();
  }
  freed.clear();  // each job's context gives its memory back
}

bool PicturePrefetch::Busy() {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& [key, job] : jobs_)
    if (job.started && !job.done) return true;
  return false;
}

bool PicturePrefetch::Holds(int32_t level) {
  std::lock_guard<std::mutex> lock(mutex_);
  return jobs_.count(level) != 0;
}

void PicturePrefetch::WaitWhileHeld() {
  std::unique_lock<std::mutex> lock(mutex_);
  paused_ = true;
  changed_.notify_all();
  changed_.wait(lock, [this] { return !held_ || stopping_ || waiting_ > 0; });
  paused_ = false;
}

void PicturePrefetch::Hold(bool held) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (held_ == held) return;
  held_ = held;
  changed_.notify_all();
}

bool PicturePrefetch::Idle() const {
  if ((!queue_.empty() || !discarded_.empty()) && worker_.joinable() && !held_) return false;
  for (const auto& [key, job] : jobs_)
    if (job.started && !job.done && !paused_) return false;
  return true;
}

void PicturePrefetch::WaitIdle() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return Idle(); });
}

bool PicturePrefetch::WaitIdleFor(std::chrono::nanoseconds limit) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, limit, [this] { return Idle(); });
}
