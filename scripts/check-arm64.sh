#!/usr/bin/env bash
# The aarch64 checks of CI, after ./scripts/test.sh has built build-test/:
# the cross build with its processor-dependent tests under qemu-user, the
# data set and the decoded music compared with the x86-64 ones.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
# Under emulation the whole suite takes too long for CI; these are the
# tests whose results depend on the processor's arithmetic (the random
# source, the recorded game played to its ending), the kernels with a form
# of their own on aarch64 (NEON's saturating bytes, the tabled flash ring,
# the packed 24-bit rows' byte shuffle, the lights', ripples' and row
# spans' plain loops that the compiler vectorises, a level's darkening
# straight into its packed picture)
# and the start of child processes through the emulator. Then the data set that the aarch64
# vxdata wrote must be the x86-64 one, byte for byte.
arm_start=$SECONDS
# Only the files of those tests are compiled.
VX_ARM64_TESTS='random/;maths/byte_lanes_test;effects/effects_flashes_test;effects/effects_lights_test;effects/effects_shimmer_drift_test;gfx/blit_test;gfx/image_slots_test;game/level_build_test;platform/process_start_test;e2e/playthrough_test;e2e/demo_checked_in_test' ./scripts/build-arm64.sh
traces=$(mktemp -d)
(cd "$top/build-arm64" && VX_PLAYTHROUGH_TRACE="$traces/arm64.txt" \
  ctest --output-on-failure -j2 --timeout 900 -R '^(RandomSource|RandomPaths|SoftExtended|StirRandomTest|ByteLanes|EffectsFlashesTest|RingPathTest|EffectsLightsTest|EffectsShimmerTest|EffectsDriftTest|DrawBlitTest|ImageSlotTest|LevelBuildTest|ProcessStart|Playthrough|CheckedInDemo)\.')
# The recorded game's whole trace, every frame, the same as on x86-64.
(cd "$top/build-test" && VX_PLAYTHROUGH_TRACE="$traces/x86.txt" \
  ./tests/vxtests --gtest_filter='Playthrough.TheRecordedRunWinsEveryFightAndReachesTheEnding' >/dev/null)
if ! cmp -s "$traces/x86.txt" "$traces/arm64.txt"; then
  echo "the recorded game goes differently on aarch64; the first differing frames:"
  diff "$traces/x86.txt" "$traces/arm64.txt" | head -n 20
  exit 1
fi
echo "aarch64: the recorded game's trace is the x86-64 one, $(wc -l <"$traces/x86.txt") lines"
rm -rf "$traces"
# The decoder programs copied into music/ are builds for each processor;
# everything else must be the same bytes.
same_set() { grep -v ' music/dec[0-9]*\.exe$' "$1/dataset/manifest.txt"; }
if ! diff <(same_set "$top/build-test") <(same_set "$top/build-arm64") >/dev/null; then
  echo "the aarch64 data set differs from the x86-64 one:"
  diff <(same_set "$top/build-test") <(same_set "$top/build-arm64") | head -n 40
  exit 1
fi
# The music the decoder makes on the first start, each track on both.
music=$(mktemp -d)
mkdir -p "$music/x86" "$music/arm64"
for n in 1 2 3; do
  "$top/build-test/tools/musicdec/musicdec" --track $n --in "$top/tools/musicdec/tracks/track$n.vxm" --out "$music/x86" >/dev/null
  qemu-aarch64-static -L / "$top/build-arm64/tools/musicdec/musicdec" --track $n \
    --in "$top/tools/musicdec/tracks/track$n.vxm" --out "$music/arm64" >/dev/null &
done
wait
for n in 1 2 3; do
  cmp "$music/x86/floor$n.wav" "$music/arm64/floor$n.wav" || { echo "track $n decodes differently on aarch64"; exit 1; }
done
rm -rf "$music"
echo "aarch64: the same data set as on x86-64; stage took $((SECONDS - arm_start)) s"

