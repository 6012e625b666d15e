#pragma once
// The backdrop of row 0: the night sky with the cracked moon, the far shore
// and the drowned keep standing in its lake. Opaque, 800 x 600.
#include "datagen/canvas.h"

namespace datagen {

Canvas NightSky();

}  // namespace datagen
