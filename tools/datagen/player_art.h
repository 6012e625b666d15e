#pragma once
// The player's pictures beyond the body strips: the weapons he holds and
// the item pickups, written by WritePlayerArt with the body and the leg.
#include "datagen/data_set.h"

namespace datagen {

// The leg is drawn onto a 12 × 56 quad; its picture is twice that.
inline constexpr int kLegPictureWidth = 24, kLegPictureHeight = 112;

// "data/nihonto1.vx1", "data/sword3.vx1", "data/gun1.vx1", "data/gun2.vx1".
void WriteWeaponArt(DataSetWriter& out);
// The item pickups "data/gem1.vx1", "data/med1.vx1", "data/det1.vx1",
// "data/med2.vx1", "data/gem2.vx1".
void WriteItemArt(DataSetWriter& out);

}  // namespace datagen
