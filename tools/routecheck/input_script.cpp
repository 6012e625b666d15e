#include "routecheck/input_script.h"

#include <map>

#include "platform/window_messages.h"

namespace routecheck {
namespace {

struct Key {
  bool Held::*held;
  const char* name;
};
constexpr Key kKeys[] = {{&Held::left, "LEFT"}, {&Held::right, "RIGHT"}, {&Held::jump, "UP"}};

void Switch(std::string& out, int64_t tick, const Held& from, const Held& to) {
  // Releases first, so that left and right are never both held in passing.
  for (const Key& k : kKeys)
    if (from.*k.held && !(to.*k.held)) out += std::to_string(tick) + " keyup " + k.name + "\n";
  for (const Key& k : kKeys)
    if (!(from.*k.held) && to.*k.held) out += std::to_string(tick) + " keydown " + k.name + "\n";
}

}  // namespace

std::string ScriptLines(const InputSequence& inputs, int64_t firstTick, int64_t& endTick) {
  std::string out;
  Held held;
  int64_t tick = firstTick;
  for (const Segment& s : inputs) {
    Switch(out, tick, held, s.held);
    held = s.held;
    tick += (s.frames + 1) / 2;
  }
  Switch(out, tick, held, Held{});
  endTick = tick;
  return out;
}

InputSequence SequenceFromScript(const std::vector<platform::ScriptEvent>& events, int64_t firstTick) {
  // The held set from each tick on at which it changes.
  std::map<int64_t, Held> changes;
  Held held;
  for (const platform::ScriptEvent& e : events) {
    const uint32_t m = e.message.message;
    if (m != wm::WM_KEYDOWN && m != wm::WM_KEYUP) continue;
    const bool down = m == wm::WM_KEYDOWN;
    if (e.message.wParam == vk::VK_LEFT)
      held.left = down;
    else if (e.message.wParam == vk::VK_RIGHT)
      held.right = down;
    else if (e.message.wParam == vk::VK_UP)
      held.jump = down;
    else
      continue;
    changes[e.tick] = held;
  }
  InputSequence out;
  Held now;
  int64_t at = firstTick;
  for (const auto& [tick, set] : changes) {
    if (tick <= firstTick) {
      now = set;
      continue;
    }
    if (!(set == now)) {
      out.push_back({now, static_cast<int32_t>(2 * (tick - at))});
      now = set;
      at = tick;
    }
  }
  return out;
}

std::string GameScript(const std::string& comment, const InputSequence& inputs, int64_t tailTicks) {
  std::string out = "# " + comment + "\n";
  out += "# Enter answers the title screen, ends the credits and answers the first\n";
  out += "# screens of a new game; the route starts at tick " + std::to_string(kRouteTick) + ".\n";
  for (int64_t tick = 10; tick + 2 < kRouteTick - 30; tick += 12)
    out += std::to_string(tick) + " keydown RETURN\n" + std::to_string(tick + 1) + " keyup RETURN\n";
  int64_t end = 0;
  out += ScriptLines(inputs, kRouteTick, end);
  out += std::to_string(end + tailTicks) + " close\n";
  return out;
}

}  // namespace routecheck
