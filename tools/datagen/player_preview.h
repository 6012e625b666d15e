#pragma once
// The player as the game shows him, drawn with the engine's own blits from
// a game folder: the pictures prepared as the loader prepares them, the
// weapon warped onto the marker quad of each attack frame the way the
// player's drawing builds its poses, then body, pose and leg in the game's
// order. For reviewing the art and for tests of what the game will draw.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "datagen/player_pose.h"

struct GfxContext;

namespace datagen {

struct StageBackend;

// What the player carries: body strip 21 (blades) or 24 (guns), weapon
// slot 40..43, and the two blade charms.
struct PlayerKit {
  int32_t bodySlot = 21;
  int32_t weapon = 41;
  bool longBlade = false;
  bool broadBlade = false;
};

class PlayerStage {
 public:
  // Loads the player's pictures from the folder into the engine's slots.
  explicit PlayerStage(const std::string& root);
  ~PlayerStage();
  PlayerStage(const PlayerStage&) = delete;
  PlayerStage& operator=(const PlayerStage&) = delete;

  // Every picture was read.
  bool loaded() const { return loaded_; }
  GfxContext& gfx();
  static constexpr int32_t kWidth = 800, kHeight = 600;
  const std::vector<uint32_t>& screen() const { return screen_; }

  // The marker pixels of a strip's frame, scanned as the game scans them.
  MarkerQuad FindMarkers(int32_t strip, int32_t frame);
  // The marker quad after the blade charms' changes, in frame pixels.
  MarkerQuad WeaponQuad(const PlayerKit& kit, int32_t frame);
  // Builds the 240 × 240 pose picture of one attack frame and facing the
  // way the game does (it uses the back buffer); answers its slot.
  int32_t BuildPose(const PlayerKit& kit, int32_t frame, bool left);
  // Body, pose and leg with the player's centre at (dx, dy), the leg turned
  // by legAngle degrees; the pose must have been built.
  void DrawPlayer(const PlayerKit& kit, int32_t frame, bool left, int32_t dx, int32_t dy, int32_t legAngle);
  // The death pieces 30 (leg) and 31 (body) as the loader captures them:
  // the body strip is drawn whole (frame -1) unless another frame is named.
  void CaptureDeathPieces(int32_t bodyFrame = -1);

 private:
  std::vector<uint32_t> screen_;
  std::unique_ptr<StageBackend> backend_;
  bool loaded_ = false;
};

// A PNG of every attack frame of every weapon in both facings, the leg
// turned, the death pieces and the pickups as the game draws them.
bool WritePlayerSheet(const std::string& root, const std::string& pngFile);

}  // namespace datagen
