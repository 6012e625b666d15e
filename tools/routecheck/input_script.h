#pragma once
// A found route as a headless input script: the keys of the first control
// scheme (LEFT, RIGHT, UP to jump) pressed and released at timer ticks, two
// game frames to a tick; and the way back from such a script to the route.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/headless/input_script.h"
#include "routecheck/route_world.h"

namespace routecheck {

// Key lines holding `inputs` from tick `firstTick` on, every key released
// at the end; sets `endTick` to the tick of that release.
std::string ScriptLines(const InputSequence& inputs, int64_t firstTick, int64_t& endTick);

// The held keys of a parsed script from tick `firstTick` on, as a route
// (LEFT, RIGHT and UP only; other events are ignored).
InputSequence SequenceFromScript(const std::vector<platform::ScriptEvent>& events, int64_t firstTick);

// The tick at which a new game's route begins in a whole-game script: the
// loading screen, the title, the credits and the first screens of a new
// game are answered before it.
inline constexpr int64_t kRouteTick = 200;

// A script for the whole program: Enter taps that answer the title and the
// first screens of a new game (any key ends the credits), then the route
// from kRouteTick, then closing the window after `tailTicks` more ticks.
std::string GameScript(const std::string& comment, const InputSequence& inputs, int64_t tailTicks);

}  // namespace routecheck
