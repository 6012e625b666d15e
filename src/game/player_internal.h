#pragma once
// What the player's files share: wrapping 16.16 sums and the pose number.
#include <cstdint>

namespace player_detail {

// v + d with the wrap-around of the 32-bit sums the positions are kept in.
inline int32_t WrapAdd(int32_t v, int64_t d) {
  return static_cast<int32_t>(static_cast<uint32_t>(v) + static_cast<uint32_t>(static_cast<uint64_t>(d)));
}

// The cached pose of an attack frame: frames 0..13 have their own entry,
// anything else shares frame 0's (a frame outside the table must not index it).
inline int32_t PoseFrame(int32_t attackFrame) {
  return attackFrame >= 0 && attackFrame < 14 ? attackFrame : 0;
}

// The first slot of the right- and left-facing weapon poses.
inline constexpr int32_t kRightPoses = 683;
inline constexpr int32_t kLeftPoses = 670;

}  // namespace player_detail
