#pragma once
// What the player's files share: the pose number and the pose slots.
#include <cstdint>

namespace player_detail {

// The cached pose of an attack frame: frames 0..13 have their own entry,
// anything else shares frame 0's (a frame outside the table must not index it).
inline int32_t PoseFrame(int32_t attackFrame) {
  return attackFrame >= 0 && attackFrame < 14 ? attackFrame : 0;
}

// The first slot of the right- and left-facing weapon poses.
inline constexpr int32_t kRightPoses = 683;
inline constexpr int32_t kLeftPoses = 670;

}  // namespace player_detail
