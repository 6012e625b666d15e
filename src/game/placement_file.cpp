#include "game/placement_file.h"

#include "config/record_reader.h"

namespace {

void AppendNumber(std::string& out, int32_t v) { out += std::to_string(v); }

}  // namespace

std::string FormatPlacements(const PlacementRecord (&records)[kPlacementCount]) {
  std::string out;
  out.reserve(kPlacementCount * 32 + 64);
  for (int32_t i = 0; i < kPlacementCount; ++i) {
    const PlacementRecord& p = records[i];
    AppendNumber(out, i);
    out += ", , ";
    const int32_t values[10] = {p.active,   p.x,        p.y,        p.type,     p.extra[0],
                                p.extra[1], p.extra[2], p.extra[3], p.extra[4], p.extra[5]};
    for (int32_t v : values) {
      out += ',';
      AppendNumber(out, v);
    }
    out += '\n';
  }
  AppendNumber(out, kNoRecord);
  out += ",not found,not found";
  for (int32_t k = 0; k < 10; ++k) out += ",0";
  out += "\n\n";
  return out;
}
