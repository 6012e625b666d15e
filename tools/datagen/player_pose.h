#pragma once
// Where the player's hand holds the weapon in each attack frame, and the
// marker quads that follow from it. The body art, the marker strips, the
// weapon pictures and the preview all read these, so the fist in the body
// picture and the grip of the warped weapon stay on one point.
#include <array>
#include <cstdint>

namespace datagen {

// The body strips hold this many square frames of this side.
inline constexpr int kPlayerFrameSide = 80;
inline constexpr int kAttackFrames = 11;

// The four marker colours, as the game compares them.
inline constexpr uint32_t kMarkerRed = 0xffff0000u;
inline constexpr uint32_t kMarkerGreen = 0xff00ff00u;
inline constexpr uint32_t kMarkerBlue = 0xff0000ffu;
inline constexpr uint32_t kMarkerMagenta = 0xffff00ffu;

struct PixelPoint {
  int32_t x = 0, y = 0;
};

// Marker pixels of one frame, relative to its top-left corner: the weapon
// picture's top-left corner lands on red, top-right on green, bottom-left
// on blue and bottom-right on magenta.
struct MarkerQuad {
  PixelPoint red, green, blue, magenta;
};

// A weapon as the quad sees it: its length and width in frame pixels, and
// where the fist closes on it, as fractions of the picture's width (from
// the grip end) and height (from the top edge).
struct WeaponShape {
  float length, width;
  float handAlong, handAcross;
};

// One attack frame: the fist's centre, the weapon's direction in degrees
// (0 points forward, negative values up) and the lean of the upper body
// about the hip (positive leans forward).
struct HeldPose {
  float handX, handY, angle, lean;
};

// The two body strips: sword (both blades share it) and gun (both guns).
enum class BodyKind { Sword, Gun };

const WeaponShape& ShapeOf(BodyKind body);
const std::array<HeldPose, kAttackFrames>& PosesOf(BodyKind body);
MarkerQuad MarkersOf(BodyKind body, int frame);

// The picture sizes the weapons are drawn at; their aspect matches the
// quad's, so the warp neither squeezes nor stretches them.
inline constexpr int kSwordPictureWidth = 216, kSwordPictureHeight = 42;
inline constexpr int kGunPictureWidth = 204, kGunPictureHeight = 72;

// The hip socket that the leg turns about, in body-frame pixels: the game
// draws the leg 15 pixels left of the player's centre, which is frame x 25
// facing right and x 30 of the unmirrored frame facing left.
inline constexpr float kHipX = 27.5f, kHipY = 60.0f;

}  // namespace datagen
