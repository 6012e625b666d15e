#include "shell/game_checksum.h"

#include <string>
#include <type_traits>

#include "random/random_source.h"
#include "shell/globals.h"
#include "shell/mode_dispatcher.h"

namespace {

// 64-bit FNV-1a.
class Hash {
 public:
  void Bytes(const void* data, size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
      value_ ^= p[i];
      value_ *= UINT64_C(0x100000001b3);
    }
  }
  // A record of whole numbers only, without padding or pointers, whose
  // bytes are its value (every target is little-endian).
  template <typename T>
  void Record(const T& record) {
    static_assert(std::has_unique_object_representations_v<T>, "the record has padding or is not plain");
    Bytes(&record, sizeof record);
  }
  void Word(int32_t v) { Record(v); }
  uint64_t Value() const { return value_; }

 private:
  uint64_t value_ = UINT64_C(0xcbf29ce484222325);
};

}  // namespace

uint64_t GameChecksum() {
  Hash h;
  const std::string random = RandomStateText(engine.random.s);
  h.Bytes(random.data(), random.size());
  const GameState& g = game;
  h.Word(g.level);
  h.Record(g.player);
  h.Record(g.progress);
  h.Record(g.levelState);
  h.Record(g.fight);
  h.Record(g.tables);
  h.Word(g.frameResult);
  h.Record(g.resultCount);
  const DispatcherState& d = dispatcher;
  for (const int32_t v : {d.gameMode, d.nextMode, d.loadingStep, d.afterLoading, d.frameResult,
                          d.editorSequence, d.creditFrames, d.fadeLevel, d.menu.screen, d.menuAnswer,
                          d.fade.current, d.fade.target, d.fade.stepsLeft})
    h.Word(v);
  const InputState& in = input;
  for (const int32_t v : {in.lastKey, in.keyEvent, in.mouseX, in.mouseY, in.leftReleased, in.rightReleased,
                          in.leftHeld, in.rightHeld})
    h.Word(v);
  for (const uint8_t b : {in.left, in.up, in.right, in.down, in.space, in.enter, in.del, in.escape,
                          in.control, in.shift, in.capsLock, in.keyW, in.keyA, in.keyS, in.keyD})
    h.Bytes(&b, 1);
  return h.Value();
}
