#pragma once
// Builds RIFF and WAV files byte by byte, so tests can make the exact
// layouts they need (odd chunks, chunks in unusual order, wrong sizes).
#include <cstdint>
#include <string>

namespace vxtest {

inline std::string Le16(uint16_t v) {
  return std::string{static_cast<char>(v & 0xff), static_cast<char>(v >> 8)};
}

inline std::string Le32(uint32_t v) {
  return Le16(static_cast<uint16_t>(v & 0xffff)) + Le16(static_cast<uint16_t>(v >> 16));
}

// A chunk: identifier, size, body and the pad byte an odd size needs.
inline std::string Chunk(const std::string& id, const std::string& body) {
  std::string c = id + Le32(static_cast<uint32_t>(body.size())) + body;
  if (body.size() % 2 != 0) c += '\0';
  return c;
}

// A chunk whose header claims `declared` bytes, whatever follows.
inline std::string ChunkClaiming(const std::string& id, uint32_t declared, const std::string& body) {
  return id + Le32(declared) + body;
}

inline std::string Riff(const std::string& form, const std::string& chunks) {
  return "RIFF" + Le32(static_cast<uint32_t>(4 + chunks.size())) + form + chunks;
}

// The 16 bytes of a PCM format chunk; block align and byte rate follow
// from the others unless given.
inline std::string FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                              int32_t blockAlign = -1) {
  const uint16_t align =
      blockAlign >= 0 ? static_cast<uint16_t>(blockAlign) : static_cast<uint16_t>(channels * (bits / 8));
  return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * align) + Le16(align) + Le16(bits);
}

inline std::string PcmWave(uint16_t channels, uint32_t rate, uint16_t bits, const std::string& samples) {
  return Riff("WAVE", Chunk("fmt ", FormatBody(1, channels, rate, bits)) + Chunk("data", samples));
}

}  // namespace vxtest
