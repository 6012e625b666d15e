#include "datagen/player_pose.h"

#include <cmath>

#include "maths/repro_math.h"

namespace datagen {
namespace {

// The sword's quad is 32 × 6.2 pixels (the picture's 216 × 42); the fist
// closes on the middle of the grip, an eighth of the way along.
constexpr WeaponShape kSword{32.0f, 32.0f * kSwordPictureHeight / kSwordPictureWidth, 0.124f, 0.5f};
// The guns are 32 × 11.3 (204 × 72); the hand holds the handle below the
// barrel, a fifth of the way along.
constexpr WeaponShape kGun{32.0f, 32.0f * kGunPictureHeight / kGunPictureWidth, 0.22f, 0.72f};

// An overhand cut: frames 1..3 draw the blade up and back over the
// shoulder, 4..9 (the frames in which the short sword hits) sweep it over
// the top and down in front, 10 follows through low, and 0 is the guard the
// player walks with.
constexpr std::array<HeldPose, kAttackFrames> kSwordPoses = {{
    {42, 48, -40, 0},
    {40, 43, -78, -3},
    {36, 36, -112, -6},
    {32, 33, -145, -8},
    {35, 31, -118, -3},
    {40, 33, -84, 2},
    {45, 36, -52, 6},
    {48, 41, -18, 9},
    {47, 47, 16, 10},
    {44, 51, 44, 8},
    {40, 52, 58, 4},
}};

// The guns fire at frames 1 and 6 with the barrel level at shoulder height;
// each shot kicks the muzzle up and the hand back for two frames, and the
// aim settles over the next two. At rest the barrel dips a little.
constexpr std::array<HeldPose, kAttackFrames> kGunPoses = {{
    {37, 47, 5, 0},
    {38, 45, 0, 0},
    {35, 44, -14, -3},
    {34, 43, -20, -5},
    {35, 44, -12, -3},
    {37, 45, -4, -1},
    {38, 45, 0, 0},
    {35, 44, -16, -4},
    {33, 43, -22, -6},
    {35, 44, -12, -3},
    {37, 45, -5, -1},
}};

PixelPoint Round(float x, float y) {
  return {static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))};
}

}  // namespace

const WeaponShape& ShapeOf(BodyKind body) { return body == BodyKind::Sword ? kSword : kGun; }

const std::array<HeldPose, kAttackFrames>& PosesOf(BodyKind body) {
  return body == BodyKind::Sword ? kSwordPoses : kGunPoses;
}

MarkerQuad MarkersOf(BodyKind body, int frame) {
  const WeaponShape& s = ShapeOf(body);
  const HeldPose& p = PosesOf(body)[static_cast<size_t>(frame)];
  const float t = p.angle * 3.14159265f / 180.0f;
  // u runs along the weapon from the grip end; n points to its top edge.
  const float ux = rmath::Cos(t), uy = rmath::Sin(t), nx = rmath::Sin(t), ny = -rmath::Cos(t);
  // The middle of the grip end, found back from the fist.
  const float across = s.width * (0.5f - s.handAcross);
  const float gx = p.handX - ux * s.handAlong * s.length - nx * across;
  const float gy = p.handY - uy * s.handAlong * s.length - ny * across;
  const float hw = s.width / 2;
  MarkerQuad q;
  q.red = Round(gx + nx * hw, gy + ny * hw);
  q.blue = Round(gx - nx * hw, gy - ny * hw);
  q.green = Round(gx + nx * hw + ux * s.length, gy + ny * hw + uy * s.length);
  q.magenta = Round(gx - nx * hw + ux * s.length, gy - ny * hw + uy * s.length);
  return q;
}

}  // namespace datagen
