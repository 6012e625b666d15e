#pragma once
// An array whose last element ends a page with an inaccessible page after
// it (and one before the pages it starts in), so a kernel that reads or
// writes a single byte past its end faults in any build, sanitizers or not.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vxtest {

template <typename T>
class GuardedArray {
 public:
  explicit GuardedArray(size_t count) : count_(count) {
    page_ = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t bytes = count_ * sizeof(T);
    body_ = (bytes + page_ - 1) / page_ * page_;
    void* map = mmap(nullptr, body_ + 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (map == MAP_FAILED) return;
    base_ = static_cast<uint8_t*>(map);
    mprotect(base_, page_, PROT_NONE);
    mprotect(base_ + page_ + body_, page_, PROT_NONE);
    items_ = reinterpret_cast<T*>(base_ + page_ + body_ - bytes);
  }
  ~GuardedArray() {
    if (base_ != nullptr) munmap(base_, body_ + 2 * page_);
  }
  GuardedArray(const GuardedArray&) = delete;
  GuardedArray& operator=(const GuardedArray&) = delete;
  // Null if the pages could not be mapped.
  T* data() { return items_; }
  const T* data() const { return items_; }
  size_t size() const { return count_; }
  void Assign(const std::vector<T>& v) { std::copy(v.begin(), v.end(), items_); }

 private:
  size_t count_;
  size_t page_ = 0;
  size_t body_ = 0;
  uint8_t* base_ = nullptr;
  T* items_ = nullptr;
};

}  // namespace vxtest
