// The music folder: the packed tracks and three copies of the decoder,
// named after the track each one decodes.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "datagen/data_set.h"
#include "datagen/music_files.h"

namespace datagen {
namespace {

std::string decoderPath = VX_DATAGEN_MUSICDEC;

bool ReadWhole(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  bytes = s.str();
  return static_cast<bool>(in) || in.eof();
}

}  // namespace

void SetMusicDecoder(const std::string& path) { decoderPath = path; }

void WriteMusic(DataSetWriter& out) {
  std::string decoder;
  if (!ReadWhole(decoderPath, decoder) || decoder.empty()) {
    out.Fail("cannot read the music decoder " + decoderPath);
  } else {
    for (int n = 1; n <= 3; ++n) {
      const std::string name = "music/dec" + std::to_string(n) + ".exe";
      out.WriteBytes(name, decoder);
      chmod(out.Path(name).c_str(), 0755);
    }
  }
  for (int n = 1; n <= 3; ++n) {
    const std::string file = "track" + std::to_string(n) + ".vxm";
    std::string bytes;
    // A track that is not composed yet leaves its decoder without input;
    // the game then plays no music for it.
    if (ReadWhole(std::string(VX_DATAGEN_TRACKS_DIR) + "/" + file, bytes)) out.WriteBytes("music/" + file, bytes);
  }
}

}  // namespace datagen
