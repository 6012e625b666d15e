#include "gfx/picture_memory.h"

#include <algorithm>

bool PictureMemory::TryTake(int64_t bytes) {
  int64_t now = taken_.load();
  do {
    if (bytes > limit_.load() - now) return false;
  } while (!taken_.compare_exchange_weak(now, now + bytes));
  return true;
}

bool PictureMemory::TakeFree(int64_t bytes, uint64_t since) {
  if (bytes < 0) return false;
  if (recalls_.load() != since || !TryTake(bytes)) return false;
  lent_.fetch_add(bytes);
  return true;
}

bool PictureMemory::TakeFirst(int64_t bytes) {
  if (bytes < 0) return false;
  if (TryTake(bytes)) return true;
  {
    // Every holder gives back what it made ahead; contexts that began
    // before this recall take nothing more.
    std::lock_guard<std::mutex> lock(holdersMutex_);
    recalls_.fetch_add(1);
    for (const auto& [owner, giveBack] : holders_) giveBack(owner);
  }
  return TryTake(bytes);
}

void PictureMemory::GiveBack(int64_t bytes, bool lent) {
  if (bytes <= 0) return;
  taken_.fetch_sub(bytes);
  if (lent) lent_.fetch_sub(bytes);
}

void PictureMemory::Settle(int64_t bytes) {
  if (bytes > 0) lent_.fetch_sub(bytes);
}

void PictureMemory::AddHolder(void* owner, GiveBackFunction giveBack) {
  std::lock_guard<std::mutex> lock(holdersMutex_);
  for (const auto& h : holders_)
    if (h.first == owner) return;
  holders_.emplace_back(owner, giveBack);
}

void PictureMemory::RemoveHolder(void* owner) {
  std::lock_guard<std::mutex> lock(holdersMutex_);
  std::erase_if(holders_, [owner](const auto& h) { return h.first == owner; });
}

PictureMemory& ProcessPictureMemory() {
  static PictureMemory memory(kPictureBudgetBytes);
  return memory;
}
