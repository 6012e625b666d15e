#include "game/level_scripts.h"

#include "game/levels.h"

namespace {

// Row 0: the open sky over the shared background.
constexpr TwinkleArea kSkyTwinkles[] = {{0, 0, 1024, 360, 350, 600, 1, 85, 40},
                                        {0, 0, 1024, 768, 350, 800, 1, 70, 100}};
constexpr FogGroup kSkyFogFirst[] = {{26, 100, 900, 600, 770}};
constexpr FogGroup kSkyFog[] = {{41, 100, 900, 600, 770}};

constexpr ShimmerSpot kShimmer0[] = {{0, 0, 1024, 360, 6}, {0, 350, 1024, 459, 8}, {0, 459, 315, 768, 8}};
constexpr ShimmerSpot kShimmer1[] = {
    {0, 0, 450, 360, 6}, {770, 0, 1024, 360, 6}, {0, 350, 500, 454, 8}, {735, 350, 1024, 454, 8}};
constexpr ShimmerSpot kShimmer2[] = {{0, 0, 300, 310, 6}, {635, 540, 1024, 768, 8}};
constexpr ShimmerSpot kShimmer3[] = {{0, 0, 400, 160, 6}, {680, 550, 1024, 768, 8}, {0, 550, 240, 768, 8}};
constexpr ShimmerSpot kShimmer4[] = {
    {390, 204, 1024, 356, 6}, {0, 550, 492, 768, 8}, {492, 444, 1024, 768, 8}};
constexpr LampSpot kLamps1[] = {{232, 572}, {242, 570}, {268, 572}, {276, 570},
                                {440, 672}, {444, 670}, {450, 674}, {454, 674}};
constexpr LampSpot kLamps2[] = {{120, 490}, {125, 486}, {153, 486}, {158, 490}};
constexpr LampSpot kLamps4[] = {{220, 254}, {254, 254}};

// Row 1: the closed halls.
constexpr TwinkleArea kTwinkles5[] = {{0, 0, 1024, 768, 150, 250, 1, 100, 110},
                                      {230, 580, 390, 768, 50, 800, 1, 100, 80}};
constexpr ShimmerSpot kShimmer5[] = {{230, 580, 390, 768, 8}};
constexpr FogGroup kFog5[] = {{14, 300, 900, 350, 450}};
constexpr TwinkleArea kTwinkles6[] = {{0, 0, 565, 768, 150, 250, 1, 100, 110},
                                      {665, 0, 1024, 768, 150, 250, 1, 100, 110},
                                      {0, 0, 1024, 768, 200, 800, 1, 70, 35}};
constexpr FogGroup kFog6[] = {{11, 100, 450, 350, 440}};
constexpr TwinkleArea kTwinkles7[] = {{0, 0, 1024, 768, 150, 250, 1, 100, 115}};
constexpr FogGroup kFog7[] = {{11, 100, 900, 350, 450}};
constexpr TwinkleArea kTwinkles8[] = {{0, 0, 370, 768, 150, 250, 1, 100, 110},
                                      {460, 0, 1024, 768, 150, 250, 1, 100, 110},
                                      {0, 0, 1024, 768, 200, 800, 1, 70, 35}};
constexpr FogGroup kFog8[] = {{11, 100, 900, 350, 440}};
constexpr TwinkleArea kTwinkles9[] = {{0, 0, 1024, 768, 150, 250, 1, 100, 110}};
constexpr FogGroup kFog9[] = {{11, 100, 900, 350, 450}};

// The shaft (10), row 3 (15..19) and the ending (24).
constexpr TwinkleArea kDeepTwinkles[] = {{0, 0, 1024, 768, 300, 600, 1, 100, 96},
                                         {0, 0, 1024, 768, 150, 250, 1, 20, 180}};
constexpr FogGroup kFog10[] = {{31, 300, 400, 0, 768}};
constexpr FogGroup kFogRow3[] = {{61, 100, 900, 350, 600}, {31, 100, 900, 400, 550}};
constexpr TwinkleArea kTwinkles24[] = {{0, 0, 1024, 768, 300, 600, 1, 100, 96},
                                       {0, 0, 1024, 768, 150, 250, 1, 50, 120}};
constexpr ShimmerSpot kShimmer24[] = {{0, 420, 1024, 768, 8}};
constexpr FogGroup kFog24[] = {{31, 100, 900, 420, 600}, {16, 100, 900, 480, 550}};

constexpr LevelScript kRow0[5] = {
    {kSkyTwinkles, kShimmer0, kSkyFogFirst, 6, 2, 300, {}},
    {kSkyTwinkles, kShimmer1, kSkyFog, 4, 2, 300, kLamps1},
    {kSkyTwinkles, kShimmer2, kSkyFog, 4, 2, 300, kLamps2},
    {kSkyTwinkles, kShimmer3, kSkyFog, 4, 2, 300, {}},
    {kSkyTwinkles, kShimmer4, kSkyFog, 6, 2, 300, kLamps4},
};
constexpr LevelScript kRow1[5] = {
    {kTwinkles5, kShimmer5, kFog5, 0, 2, 200, {}}, {kTwinkles6, {}, kFog6, 0, 2, 200, {}},
    {kTwinkles7, {}, kFog7, 0, 2, 200, {}},        {kTwinkles8, {}, kFog8, 0, 2, 200, {}},
    {kTwinkles9, {}, kFog9, 0, 2, 200, {}},
};
constexpr LevelScript kShaft = {kDeepTwinkles, {}, kFog10, 0, 3, 200, {}};
constexpr LevelScript kRow3 = {kDeepTwinkles, {}, kFogRow3, 0, 3, 200, {}};
constexpr LevelScript kEnding = {kTwinkles24, kShimmer24, kFog24, 0, 3, 200, {}};

}  // namespace

const LevelScript* FindLevelScript(int32_t level) {
  if (InRow(level, 0)) return &kRow0[level];
  if (InRow(level, 1)) return &kRow1[level - FirstOfRow(1)];
  if (level == kShaftLevel) return &kShaft;
  if (InRow(level, 3)) return &kRow3;
  if (level == kEndingLevel) return &kEnding;
  return nullptr;
}
