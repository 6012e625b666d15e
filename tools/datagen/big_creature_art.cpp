// The big monsters: two jumpers, two flyers, two hoverers and the ground
// boss. The jumpers are drawn 10 rows lower than their top and stand on
// points 90 to 97 below their position, so in their 180-pixel frames the
// soles end on row 174 and the feet sit about 40 pixels either side of the
// centre; their bodies reach about 80 pixels out, where they feel for walls.
// The ground boss fills its frame, so that its crush box (the frame less 50
// pixels on each side) lies inside the body, and faces left: its gaze sweeps
// the floor from 135 pixels left of its centre.
#include <cmath>

#include "datagen/creature_art.h"
#include "maths/repro_math.h"

namespace datagen {
namespace {

constexpr float kPi = 3.14159265f;
const Rgb kEmber = Hex(0xffa040);

// --- The furnace toad: leaps when the blade comes out (kind 17) ----------

// Pose 0 coiled, pose 1 risen; its belly furnace burns where it spits from
// (the frame's centre, 9 rows below it as drawn).
Sprite FurnaceToad(int pose) {
  const int h = 180;
  Sprite s(h);
  const float rise = pose == 0 ? 0.0f : -7.0f, sole = 175;
  const Skin skin = DemonSkin(Hex(0x2a1412), Hex(0x6e3a2a), 1700);
  const Skin dark = DemonSkin(Hex(0x1e0e0e), Hex(0x4a2620), 1701);
  // Far limbs.
  const Pt farHip{62, 128 + rise * 0.5f}, farShoulder{132, 116 + rise};
  s.Part(Union(Ellipse(farHip, 24, 20), Limb(farHip + Pt{4, 14}, {70, sole - 8}, 10, 7)), dark, 12, 0.5f);
  s.Part(Limb({62, sole - 5}, {86, sole - 5}, 6, 4), dark, 5, 0.5f);
  s.Part(Union(Limb(farShoulder, {150, 150 + rise * 0.3f}, 11, 9),
               Limb({150, 150 + rise * 0.3f}, {146, sole - 8}, 9, 8)),
         dark, 10, 0.5f);
  s.Part(Limb({140, sole - 5}, {162, sole - 4}, 6, 4), dark, 5, 0.5f);
  // Body: a broad squat bulk.
  const Pt body{88, 110 + rise};
  s.Part(Union(Ellipse(body, 70, 46), Ellipse({128, 92 + rise}, 36, 34)), skin, 30);
  // The ridge of bone along its back.
  for (int i = 0; i < 6; ++i) {
    const float x = 34 + i * 15.0f;
    const float y = 78 + rise + rmath::Pow(std::fabs(i - 3.2f), 2.0f) * 1.6f;
    const float length = 16 + (i % 2) * 6 + (i >= 3 && i <= 4 ? 16.0f : 0.0f);
    s.Part(Horn({x, y}, -110 + i * 4.0f, -25, length, 4.5f), BoneSkin(1710 + i), 4);
  }
  // A crest of bone plates over the shoulders.
  s.Part(Polygon({80, 74 + rise, 92, 22 + rise, 102, 18 + rise, 110, 26 + rise, 114, 70 + rise}),
         BoneSkin(1716), 8, 0.9f);
  s.Tint(Ellipse({96, 136 + rise}, 48, 16), Rgb{0.7f, 0.55f, 0.5f}, 10);
  // The furnace: cracks glowing out of the chest.
  const Pt furnace{90, 99};
  const Shape chest = Ellipse(furnace, 30, 24);
  s.Veins(11, 1720, 0.84f, Rgb{0.9f, 0.35f, 0.05f}, &chest);
  s.BodyGlow(furnace, 36, Rgb{0.55f, 0.2f, 0.02f});
  s.Emit(Polygon({84, 88, 94, 86, 98, 99, 94, 112, 85, 110, 82, 99}), Hex(0x8a2a08), 1.5f);
  s.Emit(Polygon({88, 92, 93, 91, 95, 99, 92, 107, 87, 105, 86, 99}), Hex(0xffb040), 1.2f);
  // Head: a wide jaw at the front, eyes on top, horns swept back.
  const Pt head{146, 86 + rise};
  s.Part(Union(Ellipse(head, 28, 22), Ellipse(head + Pt{12, 8}, 20, 13)), skin, 18);
  s.Tint(Limb(head + Pt{-8, 14}, head + Pt{32, 10}, 1.4f, 1.0f), Rgb{0.15f, 0.08f, 0.08f}, 1.5f);
  for (int i = 0; i < 4; ++i)
    s.Part(Limb(head + Pt{6.0f + i * 7, 11.5f}, head + Pt{7.0f + i * 7, 16}, 1.5f, 0.4f), BoneSkin(1730 + i),
           1.5f);
  s.Part(Horn(head + Pt{-6, -18}, -120, -50, 34, 6), BoneSkin(1740), 5, 0.6f);
  s.Part(Circle(head + Pt{2, -17}, 8), skin, 6);
  s.Part(Circle(head + Pt{18, -14}, 7), skin, 6);
  s.Eye(head + Pt{4, -18}, 4, 2.8f, kEmber);
  s.Eye(head + Pt{19, -15}, 3.4f, 2.4f, kEmber);
  s.Part(Horn(head + Pt{-2, -22}, -100, -85, 60, 7), BoneSkin(1741), 5);
  // Near hind leg, folded, and the near arm.
  const Pt hip{50, 124 + rise * 0.5f};
  s.Part(Ellipse(hip, 30, 24 - rise * 0.3f), skin, 18);
  s.Part(Limb(hip + Pt{6, 16}, {56, sole - 9}, 12, 8), skin, 9);
  s.Part(Union(Limb({34, sole - 5}, {74, sole - 5}, 6.5f, 5), Limb({74, sole - 5}, {80, sole - 2}, 3, 1)),
         skin, 5);
  const Pt shoulder{122, 120 + rise};
  const Pt elbow{128, 146 + rise * 0.4f};
  s.Part(Union(Limb(shoulder, elbow, 14, 11), Limb(elbow, {130, sole - 9}, 11, 9)), skin, 12);
  s.Part(Limb({120, sole - 5}, {146, sole - 5}, 6.5f, 5), skin, 5);
  for (int i = 0; i < 3; ++i)
    s.Part(Limb({144.0f - i * 4, sole - 5}, {152.0f - i * 4, sole - 2.5f}, 2, 0.6f), BoneSkin(1750 + i), 2);
  return s;
}

// --- The brood stalker: a long-legged leaper with an egg sac (kind 32) ---

// The sac's mouth, where it lets its brood out, is 35 rows down the frame
// (a quarter of the frame below the top the game measures, less the 10
// rows it is drawn lower).
Sprite BroodStalker(int pose) {
  const int h = 180;
  Sprite s(h);
  const float t = pose / 5.0f;
  const float dip = 5 * (1 - rmath::Cos(2 * kPi * t));  // 0 .. 10: crouch and rise
  const float pulse = 0.5f + 0.5f * rmath::Sin(2 * kPi * t);
  const float sole = 175;
  const Skin chitin = DemonSkin(Hex(0x1a1420), Hex(0x46364e), 3200);
  const Skin sacSkin = DemonSkin(Hex(0x3a1a1a), Hex(0x7a3a30), 3201);
  const Pt thorax{116, 112 + dip};
  // Legs: root on the thorax, knee high above, foot on the ground.
  struct LegSpec {
    float rootX, footX, kneeLift;
    float shade;
  };
  const LegSpec legs[] = {{100, 24, 60, 0.45f},  {108, 64, 58, 0.45f}, {124, 120, 62, 0.45f},
                          {132, 164, 60, 0.45f}, {96, 10, 56, 1.0f},   {104, 50, 62, 1.0f},
                          {128, 130, 66, 1.0f},  {136, 171, 58, 1.0f}};
  auto leg = [&](const LegSpec& l) {
    const Pt root{l.rootX, thorax.y + 4};
    const Pt foot{l.footX, sole - 3};
    const Pt knee{(root.x + foot.x) / 2 + (foot.x - root.x) * 0.15f, root.y - l.kneeLift + dip * 1.5f};
    s.Part(Chain({root, knee, foot}, {6, 4.5f, 1.8f}), chitin, 5, l.shade, 0.5f);
    s.Part(Limb(foot, foot + Pt{foot.x < 90 ? -4.0f : 4.0f, 2}, 2.5f, 0.8f), BoneSkin(3210), 2, l.shade);
  };
  for (int i = 0; i < 4; ++i) leg(legs[i]);
  // The egg sac on its back, its brood glowing through the skin.
  const Pt sac{80, 66 + dip * 0.6f};
  s.Part(Ellipse(sac, 44 + pulse * 2, 36 + pulse * 2), sacSkin, 30);
  for (Pt e : {Pt{64, 60}, Pt{82, 52}, Pt{98, 64}, Pt{70, 80}, Pt{90, 78}, Pt{56, 74}}) {
    const Pt c = e + Pt{0, dip * 0.6f};
    s.BodyGlow(c, 12 + pulse * 3, Rgb{0.3f, 0.1f, 0.02f} * (0.6f + 0.6f * pulse));
    s.Tint(Circle(c, 5.5f), Rgb{1.25f, 1.0f, 0.8f}, 3);
  }
  s.Veins(10, 3202, 0.9f, Rgb{0.35f, 0.1f, 0.02f});
  for (int i = 0; i < 3; ++i)
    s.Part(Horn({66.0f + i * 16, 34 + dip * 0.6f - (i == 1 ? 4.0f : 0.0f)}, -100 + i * 12.0f, -20,
                22 - i * 3.0f, 4),
           BoneSkin(3205 + i), 3);
  // The mouth of the sac.
  const Pt mouth{90, 34 + dip * 0.6f};
  s.Part(Ellipse(mouth + Pt{0, 2}, 11, 6), sacSkin, 5, 1.1f);
  s.Emit(Ellipse(mouth, 6, 2.6f + pulse), Mix(Hex(0x8a2a08), Hex(0xffa030), 0.5f + 0.5f * pulse));
  s.BodyGlow(mouth, 16, Rgb{0.35f, 0.12f, 0.02f} * (0.5f + pulse));
  // Thorax and head with a cluster of eyes and fangs.
  s.Part(Union(Ellipse(thorax, 34, 22), Ellipse(thorax + Pt{30, -6}, 18, 16)), chitin, 16, 1.0f, 0.7f);
  const Pt head = thorax + Pt{38, -8};
  s.Part(Limb(head + Pt{6, 10}, head + Pt{10, 26}, 4, 1.2f), BoneSkin(3220), 3);
  s.Part(Limb(head + Pt{-2, 12}, head + Pt{0, 27}, 4, 1.2f), BoneSkin(3221), 3, 0.7f);
  s.Eye(head + Pt{4, -6}, 3.2f, 2.6f, kEmber);
  s.Eye(head + Pt{10, -1}, 2.6f, 2.2f, kEmber);
  s.Eye(head + Pt{-4, -3}, 2.0f, 1.7f, kEmber, 0.7f);
  s.Eye(head + Pt{3, 2}, 1.8f, 1.5f, kEmber, 0.7f);
  for (int i = 4; i < 8; ++i) leg(legs[i]);
  return s;
}

// --- Wings shared by the flyers -----------------------------------------

// A bat wing from the shoulder: `angle` is where the arm points (degrees,
// 0 right, 90 down), `span` its reach; the membrane hangs between the arm,
// three fingers and the flank point.
void Wing(Sprite& s, Pt shoulder, Pt flank, float angle, float span, float fold, const Skin& membrane,
          const Skin& bone, float shade) {
  const Pt wrist = Polar(shoulder, angle, span * 0.42f);
  const float sweep = angle > 90 && angle < 270 ? -1.0f : 1.0f;  // fingers fan back and down
  std::vector<Pt> tips;
  for (int i = 0; i < 3; ++i)
    tips.push_back(Polar(wrist, angle + sweep * (22.0f + 38 * i) * fold, span * (0.66f - 0.08f * i)));
  std::vector<float> poly{shoulder.x, shoulder.y, wrist.x, wrist.y};
  Pt prev = wrist;
  for (const Pt& tip : tips) {
    // Scallops: the membrane sags between the finger tips.
    const Pt mid = Lerp(prev, tip, 0.5f);
    if (&tip != &tips[0])
      poly.insert(poly.end(), {mid.x + (flank.x - mid.x) * 0.12f, mid.y + (flank.y - mid.y) * 0.12f});
    poly.insert(poly.end(), {tip.x, tip.y});
    prev = tip;
  }
  poly.insert(poly.end(), {flank.x, flank.y});
  s.Part(Polygon(poly), membrane, 4, shade * 0.85f);
  s.Part(Union(Limb(shoulder, wrist, span * 0.035f + 1.2f, span * 0.025f + 0.8f),
               Circle(wrist, span * 0.03f + 0.8f)),
         bone, 3, shade);
  for (const Pt& tip : tips) s.Part(Limb(wrist, tip, span * 0.025f + 0.8f, 0.6f), bone, 2, shade);
  s.Part(Limb(wrist, Polar(wrist, angle - sweep * 40, span * 0.08f + 2), 1.4f, 0.4f), BoneSkin(90), 2, shade);
}

// Flap angles of the five poses: up, going down, down (twice: the game
// holds the downstroke and draws the body higher), coming back up.
constexpr float kFlap[5] = {50, 14, -25, -48, 0};

// --- The night drake: the big bat-winged demon that breeds (kind 19) ----

Sprite NightDrake(int pose) {
  const int h = 160;
  Sprite s(h);
  const float flap = kFlap[pose];
  const Skin skin = DemonSkin(Hex(0x2e1216), Hex(0x72302a), 1900);
  const Skin membrane = DemonSkin(Hex(0x1e0a0e), Hex(0x4a1a1e), 1901);
  const Skin wingBone = DemonSkin(Hex(0x3a1e1a), Hex(0x7a4a3a), 1902);
  const Pt shoulder{74, 74}, flank{70, 102};
  Wing(s, shoulder + Pt{6, -2}, flank + Pt{6, 0}, -35 - flap, 74, 1.0f, membrane, wingBone, 0.5f);
  // Tail and hanging legs.
  s.Part(Chain({{68, 104}, {56, 122}, {40, 128}, {26, 122}}, {5, 3.5f, 2.2f, 1.2f}), skin, 4);
  s.Part(Polygon({26, 115, 17, 124, 28, 128}), skin, 3);
  for (float dx : {-4.0f, 8.0f}) {
    const float shade = dx < 0 ? 1.0f : 0.55f;
    s.Part(Union(Limb({76 + dx, 100}, {82 + dx, 116}, 6, 4), Limb({82 + dx, 116}, {78 + dx, 130}, 4, 3)),
           skin, 5, shade);
    for (int i = -1; i <= 1; ++i)
      s.Part(Limb({78 + dx, 130}, Polar({78 + dx, 130}, 90 + 30.0f * i, 6), 1.4f, 0.4f), BoneSkin(1910), 2,
             shade);
  }
  // Body and head.
  s.Part(Union(Limb({72, 98}, shoulder + Pt{4, 0}, 11, 14), Ellipse({80, 84}, 14, 18)), skin, 14);
  s.Tint(Ellipse({84, 90}, 8, 12), Rgb{0.8f, 0.65f, 0.6f}, 5);
  const Pt head{98, 56};
  s.Part(Horn(head + Pt{-6, -7}, -150, 40, 26, 4), BoneSkin(1920), 4, 0.6f);
  s.Part(Union(Ellipse(head, 11, 10), Limb(head, head + Pt{14, 6}, 7, 4.5f)), skin, 9);
  s.Part(Limb(head + Pt{3, 8}, head + Pt{13, 11}, 3.2f, 2), skin, 3, 0.8f);
  s.Tint(Limb(head + Pt{5, 8.5f}, head + Pt{16, 7.5f}, 0.9f, 0.6f), Rgb{0.2f, 0.1f, 0.1f}, 1);
  s.Part(Limb(head + Pt{12, 7.5f}, head + Pt{12.5f, 11}, 1.1f, 0.3f), BoneSkin(1921), 1);
  s.Part(Horn(head + Pt{-3, -9}, -140, 45, 30, 4.5f), BoneSkin(1922), 4);
  s.Eye(head + Pt{6, -2}, 2.8f, 1.8f, kEmber);
  // The near wing over everything.
  Wing(s, shoulder, flank, 215 + flap, 80, 1.0f, membrane, wingBone, 1.0f);
  return s;
}

// --- The wisp bat: the small cold flyer (kind 20) -----------------------

Sprite WispBat(int pose) {
  const int h = 72;
  Sprite s(h);
  const float flap = kFlap[pose];
  const Skin skin = DemonSkin(Hex(0x1a2230), Hex(0x4e6080), 2000);
  const Skin membrane = DemonSkin(Hex(0x141a28), Hex(0x36445e), 2001);
  const Pt shoulder{33, 33}, flank{33, 47};
  const Rgb cold = Hex(0x70e8ff);
  Wing(s, shoulder + Pt{5, -1}, flank + Pt{4, 0}, -35 - flap, 42, 1.0f, membrane, skin, 0.5f);
  s.Part(Chain({{30, 50}, {22, 58}, {14, 60}}, {3.5f, 2, 0.8f}), skin, 2.5f);
  s.Part(Polygon({14, 55, 8, 61, 15, 63}), skin, 2);
  s.Part(Union(Ellipse({35, 41}, 12, 11), Circle({42, 29}, 10)), skin, 10);
  // Ears and a cold glow behind the eyes.
  s.Part(Polygon({35, 24, 31, 8, 41, 20}), skin, 3, 0.7f);
  s.Part(Polygon({42, 21, 46, 5, 50, 22}), skin, 3);
  s.Tint(Limb({44, 35}, {52, 34.5f}, 0.9f, 0.6f), Rgb{0.3f, 0.3f, 0.4f}, 1);
  s.Part(Limb({48, 34.5f}, {48.4f, 37.5f}, 0.9f, 0.3f), BoneSkin(2010), 1);
  s.Eye({47, 28}, 2.2f, 1.6f, cold, 1.2f);
  s.Eye({40, 28}, 1.7f, 1.4f, cold, 0.8f);
  for (float dx : {-3.0f, 4.0f})
    s.Part(Limb({34 + dx, 50}, {36 + dx, 58}, 2.2f, 1.2f), skin, 2, dx > 0 ? 0.55f : 1.0f);
  s.BodyGlow({35, 41}, 11, Rgb{0.02f, 0.12f, 0.16f});
  Wing(s, shoulder, flank, 215 + flap, 44, 1.0f, membrane, skin, 1.0f);
  return s;
}

// --- The brood eye: a floating eye that breeds and spits (kind 24) ------

// It spits from its maw at the frame's centre, 0.7 of the frame down plus
// 4 rows (row 109 of 150), and lets walkers drop from below it.
Sprite BroodEye(int pose) {
  const int h = 150;
  Sprite s(h);
  const Skin flesh = DemonSkin(Hex(0x2a1220), Hex(0x6a2a3c), 2400);
  const float open = pose == 1 ? 0.35f : 1.0f;
  const float maw = pose == 1 ? 1.0f : (pose == 2 ? 0.5f : 0.15f);
  // Tentacles trailing below, swaying by pose.
  for (int i = 0; i < 5; ++i) {
    const float x = 52 + i * 11.5f, sway = (pose - 1) * 4.0f * (i % 2 ? 1.0f : -1.0f);
    s.Part(Chain({{x, 100},
                  {x + sway, 118},
                  {x - sway * 0.5f + (i - 2) * 3.0f, 134},
                  {x + sway + (i - 2) * 5.0f, 146}},
                 {6, 4, 2.5f, 1}),
           flesh, 5, i % 2 ? 0.6f : 1.0f);
  }
  // Spines crowning the top.
  for (int i = 0; i < 5; ++i)
    s.Part(Horn({50 + i * 12.5f, 32 + std::fabs(i - 2.0f) * 5}, -90 + (i - 2) * 22.0f, -15,
                24 - std::fabs(i - 2.0f) * 3, 5.5f),
           BoneSkin(2410 + i), 3);
  s.Part(Ellipse({75, 72}, 46, 42), flesh, 34);
  s.Veins(12, 2402, 0.9f, Rgb{0.3f, 0.06f, 0.08f});
  // The eye: a glowing iris in a pale sclera, lids closing over it.
  const Pt eye{84, 62};
  s.Emit(Ellipse(eye, 21, 17 * open + 1), Hex(0xb8a070), 1.5f);
  s.BodyGlow(eye, 30, Rgb{0.25f, 0.12f, 0.02f});
  const Pt iris = eye + Pt{pose == 2 ? 5.0f : 3.0f, pose == 2 ? 5.0f : 0.0f};
  s.Emit(Ellipse(iris, 9, std::min(9.0f, 16 * open)), Hex(0xff8a20));
  s.Emit(Ellipse(iris, 2.2f, std::min(7.0f, 14 * open)), Hex(0x1a0804));
  s.Emit(Ellipse(iris + Pt{-4, -4}, 2, 1.5f * open + 0.2f), Hex(0xfff2d0));
  s.Part(Cut(Ellipse(eye, 25, 21), Ellipse(eye, 21, 17 * open + 1)), flesh, 5);
  // The maw with a ring of teeth.
  const Pt mouth{75, 109};
  s.Emit(Ellipse(mouth, 14, 4 + 6 * maw), Hex(0x3a0a06));
  s.Emit(Ellipse(mouth + Pt{0, 1}, 8, 2 + 4 * maw), Mix(Hex(0x8a2a08), Hex(0xffa030), maw));
  s.BodyGlow(mouth, 22, Rgb{0.4f, 0.12f, 0.02f} * (0.4f + maw));
  for (int i = 0; i < 6; ++i) {
    const float x = mouth.x - 11 + i * 4.4f;
    s.Part(Limb({x, mouth.y - 4 - 6 * maw}, {x, mouth.y - 1 - 5 * maw}, 1.4f, 0.3f), BoneSkin(2420 + i), 1);
    s.Part(Limb({x + 2, mouth.y + 4 + 6 * maw}, {x + 2, mouth.y + 1 + 5 * maw}, 1.4f, 0.3f),
           BoneSkin(2430 + i), 1);
  }
  return s;
}

// --- The lantern wraith: the second hoverer (spawn code 26) -------------

// Its lantern hangs where the game fires from (row 109 of 150).
Sprite LanternWraith(int pose) {
  const int h = 150;
  Sprite s(h);
  const Skin cloak = DemonSkin(Hex(0x121824), Hex(0x34405a), 2600);
  const Skin bone = BoneSkin(2601);
  const float sway = (pose - 1) * 5.0f;
  const float flame = pose == 2 ? 1.25f : (pose == 1 ? 0.8f : 1.0f);
  // The cloak with a ragged hem.
  std::vector<float> robe{78, 12, 100, 26, 108, 60, 118, 100};
  for (int i = 0; i <= 8; ++i) {
    const float x = 122 - i * 11.0f + sway * (i / 8.0f);
    const float y = (i % 2 ? 128 : 144) - std::fabs(i - 4.0f) * 2;
    robe.insert(robe.end(), {x, y});
  }
  robe.insert(robe.end(), {36, 96, 48, 50, 58, 22});
  s.Part(Polygon(robe), cloak, 26);
  for (int i = 0; i < 4; ++i)
    s.Tint(Limb({64.0f + i * 12, 60}, {52.0f + i * 16 + sway, 132}, 1.5f, 2.5f), Rgb{0.6f, 0.6f, 0.7f}, 3);
  // The hood's dark opening and the skull in it.
  s.Tint(Ellipse({88, 44}, 16, 20), Rgb{0.25f, 0.25f, 0.3f}, 4);
  s.Part(Union(Ellipse({90, 44}, 10, 11), Ellipse({94, 53}, 6, 4)), bone, 8, 0.75f);
  s.Eye({92, 42}, 2.6f, 2.0f, kEmber, 0.8f);
  s.Eye({100, 43}, 2.0f, 1.8f, kEmber, 0.6f);
  s.Tint(Limb({90, 55}, {99, 55}, 0.8f, 0.8f), Rgb{0.3f, 0.25f, 0.25f}, 1);
  // Bony arms holding the lantern on its chain.
  const Pt lantern{75 + sway * 0.3f, 109};
  s.Part(Chain({{100, 70}, {104, 88}, {lantern.x + 6, 92}}, {4, 3, 2.5f}), cloak, 4);
  s.Part(Union(Limb({lantern.x + 6, 92}, {lantern.x + 2, 95}, 2.2f, 1.8f),
               Limb({lantern.x + 2, 95}, lantern + Pt{0, -9}, 0.8f, 0.8f)),
         bone, 2);
  s.Part(Union(Ellipse(lantern + Pt{0, -9}, 6, 2.2f), Ellipse(lantern + Pt{0, 10}, 7, 2.6f)), bone, 3, 0.8f);
  s.Emit(Ellipse(lantern, 6.5f, 9), Mix(Hex(0x5a1a06), Hex(0xff9a30), std::min(1.0f, flame)));
  s.Emit(Ellipse(lantern + Pt{0, 1}, 3, 5 * flame), Hex(0xffe0a0));
  for (int i = -1; i <= 1; ++i)
    s.Part(Limb(lantern + Pt{i * 5.0f, -8}, lantern + Pt{i * 5.5f, 9}, 0.9f, 0.9f), bone, 1.5f);
  s.BodyGlow(lantern, 40, Rgb{0.4f, 0.15f, 0.02f} * flame);
  return s;
}

// --- The stone warden of the deep: the ground boss (kind 28) ------------

// Five poses of its idle loop: it breathes, its cracks pulse and its eye
// narrows and opens. The eye is at the far left, where its sweeping gaze
// starts (135 left of the centre, 40 above it).
Sprite StoneWarden(int pose) {
  const int h = 288;
  Sprite s(h);
  const float t = pose / 5.0f;
  const float breath = rmath::Sin(2 * kPi * t);
  const float glow = 0.7f + 0.3f * breath;
  const float lift = -2 * breath;
  uint32_t seed = 2800;
  auto slab = [&](const std::vector<float>& pts, float dy, float shade) {
    std::vector<float> p = pts;
    for (size_t i = 1; i < p.size(); i += 2) p[i] += dy;
    s.Part(Polygon(p), StoneSkin(seed++), 14, shade);
  };
  // Far arm and leg behind the bulk.
  slab({220, 150, 262, 160, 272, 286, 214, 286, 206, 200}, 0, 0.55f);
  slab({132, 160, 170, 170, 166, 286, 112, 286, 116, 210}, 0, 0.55f);
  // The bulk: stacked slabs, the shoulders humped high.
  slab({60, 110, 100, 52, 170, 30, 240, 44, 276, 100, 284, 190, 250, 246, 150, 256, 70, 226, 54, 170},
       lift * 0.5f, 1.0f);
  slab({104, 52, 124, 10, 166, 4, 176, 40, 150, 70}, lift, 0.95f);
  slab({96, 64, 150, 24, 214, 20, 250, 52, 226, 86, 140, 90}, lift, 1.05f);
  slab({110, 150, 200, 140, 262, 170, 240, 236, 150, 244, 100, 212}, lift * 0.5f, 0.9f);
  // Near leg and the arm that props it up in front.
  slab({196, 200, 256, 196, 270, 286, 190, 286}, 0, 1.0f);
  slab({70, 150, 124, 156, 130, 240, 128, 286, 52, 286, 58, 230}, 0, 1.0f);
  slab({44, 262, 136, 262, 140, 286, 40, 286}, 0, 0.95f);
  // The head jutting left, low between the shoulders.
  slab({4, 96, 24, 72, 70, 64, 100, 88, 96, 132, 60, 146, 14, 132}, lift, 1.05f);
  slab({16, 128, 60, 140, 92, 130, 86, 156, 44, 164, 20, 148}, lift * 1.4f, 0.9f);
  s.Veins(22, 2890, 0.9f, Rgb{1.0f, 0.42f, 0.1f} * glow);
  // The one eye.
  const Pt eye{22, 104 + lift};
  const float open = pose == 3 ? 0.45f : 1.0f;
  s.Tint(Ellipse(eye, 17, 11), Rgb{0.2f, 0.15f, 0.15f}, 3);
  s.BodyGlow(eye, 44, Rgb{0.6f, 0.22f, 0.02f} * glow);
  s.Emit(Ellipse(eye, 11, 7 * open + 0.5f), Hex(0xffa53a));
  s.Emit(Ellipse(eye + Pt{-2, 0}, 4, 4.5f * open + 0.3f), Hex(0xfff4d6));
  // The mouth: a split in the jaw slab.
  s.Emit(
      Polygon({24, 141 + lift * 1.4f, 72, 146 + lift * 1.4f, 70, 150 + lift * 1.4f, 28, 147 + lift * 1.4f}),
      Mix(Hex(0x3a0c04), Hex(0xc85a18), glow * 0.8f));
  return s;
}

template <class F>
Strip Poses(int count, F frame) {
  std::vector<Sprite> f;
  for (int i = 0; i < count; ++i) f.push_back(frame(i));
  return MakeStrip(f);
}

}  // namespace

std::vector<NamedStrip> BigCreatureStrips() {
  return {{"data/daemon7.vx1", Poses(2, FurnaceToad)},    {"data/daemon8.vx1", Poses(5, NightDrake)},
          {"data/daemon9.vx1", Poses(5, WispBat)},        {"data/daemon10.vx1", Poses(3, BroodEye)},
          {"data/daemon11.vx1", Poses(3, LanternWraith)}, {"data/daemon13.vx1", Poses(5, StoneWarden)},
          {"data/daemon14.vx1", Poses(5, BroodStalker)}};
}

}  // namespace datagen
