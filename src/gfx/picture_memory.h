#pragma once
// The memory that all pictures of the process share: every context's slots
// take their bytes from it before they allocate, and give them back when a
// picture is freed or a read does not use what it took. Contexts of two
// kinds take from it:
// - one that decides what loads (the frame's): it is never refused for
//   memory that a context of the other kind holds; when the bytes are not
//   free, those contexts are asked to give back what they hold first;
// - one that makes pictures ahead for it (the read-ahead worker's): it takes
//   only bytes that are free, and is refused as soon as the first kind has
//   asked for its memory back since it began.
// So the total stays within the limit, and what the frame loads never
// depends on what the worker happened to hold.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

// All pictures held by the slots together (pixels and span tables) stay
// within this many bytes; a load or a creation that would pass it leaves
// its slot empty, as a missing file does. It holds for the whole process:
// the pictures the read-ahead worker makes count too (PictureMemory).
inline constexpr int64_t kPictureBudgetBytes = int64_t{2} << 30;

class PictureMemory {
 public:
  explicit PictureMemory(int64_t limit) : limit_(limit) {}
  PictureMemory(const PictureMemory&) = delete;
  PictureMemory& operator=(const PictureMemory&) = delete;

  int64_t Limit() const { return limit_.load(); }
  // For tests: a smaller limit keeps them light.
  void SetLimit(int64_t limit) { limit_.store(limit); }
  // Bytes taken, by all contexts and by those that give way.
  int64_t Taken() const { return taken_.load(); }
  int64_t Lent() const { return lent_.load(); }
  // How often the memory was asked back; a context that gives way notes it
  // when it begins.
  uint64_t Recalls() const { return recalls_.load(); }

  // For a context that gives way: takes `bytes` when they are free and no
  // recall came since `since`; false, and nothing taken, otherwise.
  bool TakeFree(int64_t bytes, uint64_t since);
  // For a context that decides: takes `bytes`, asking the holders that give
  // way for their memory back first when the bytes are not free. False, and
  // nothing taken, only when they do not fit even then.
  bool TakeFirst(int64_t bytes);
  // Gives back what a context took (`lent`: one that gives way).
  void GiveBack(int64_t bytes, bool lent);
  // Bytes a context that gives way took pass to one that decides (a
  // picture made ahead moves into the frame's slots).
  void Settle(int64_t bytes);

  // Holders that give memory back on request: `giveBack(owner)` frees what
  // the owner's contexts that give way hold, and returns once it is freed.
  // It is called on the thread of the context that asks, with no lock of
  // this object's held but the holders' list.
  using GiveBackFunction = void (*)(void* owner);
  void AddHolder(void* owner, GiveBackFunction giveBack);
  void RemoveHolder(void* owner);

 private:
  bool TryTake(int64_t bytes);

  std::atomic<int64_t> limit_;
  std::atomic<int64_t> taken_{0};
  std::atomic<int64_t> lent_{0};
  std::atomic<uint64_t> recalls_{0};
  std::mutex holdersMutex_;
  std::vector<std::pair<void*, GiveBackFunction>> holders_;
};

// The picture memory of this process, with the picture budget as its limit.
// Every GfxContext takes from it unless given another.
PictureMemory& ProcessPictureMemory();
