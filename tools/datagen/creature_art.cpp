// The creatures and everything they shoot, scatter and bring down.
#include "datagen/creature_art.h"

#include "datagen/data_set.h"

namespace datagen {

void WriteCreatures(DataSetWriter& out) {
  for (const auto& group : {WalkerStrips(), BigCreatureStrips(), ShotAndPieceStrips()})
    for (const NamedStrip& s : group) out.WritePicture(s.file, s.strip.width, s.strip.side, s.strip.pixels);
}

}  // namespace datagen
