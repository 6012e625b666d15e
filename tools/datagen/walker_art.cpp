// The small monsters that walk. Each stands in a square frame facing right,
// centred on the frame, with its soles about 22 rows below the centre: the
// game keeps a walker 10 to 15 pixels above the ground line and lifts the
// drawing until its lower body rests on it, so soles there always sink into
// the ground a little and are lifted back onto the line, never left floating.
// Bodies stay within about 30 pixels of the centre, where the walker feels
// for walls, and reach about 45 pixels above the soles, the height at which
// it feels for them.
#include <cmath>

#include "datagen/creature_art.h"
#include "maths/repro_math.h"

namespace datagen {
namespace {

constexpr float kPi = 3.14159265f;

// The row under the soles. The lift is measured on every second row from
// five eighths of the frame down, so the lowest row of the feet (the one
// above this) is put on such a row: otherwise the drawing rests a pixel
// too deep.
float SoleRow(int side) {
  int lowest = side / 2 + 21;
  if ((lowest - 5 * side / 8) % 2 != 0) --lowest;
  return static_cast<float>(lowest + 1);
}

const Rgb kEmber = Hex(0xffa040);

// A leg from the hip to a foot of the walk cycle, with a clawed foot that
// lies flat on the sole row while it carries the body.
void Leg(Sprite& s, Pt hip, Pt foot, float thigh, float shin, float bend, float r, const Skin& skin,
         float shade, float sole) {
  const Pt ankle{hip.x + foot.x, sole - r - 2.5f + foot.y};
  const Pt knee = Knee(hip, ankle, thigh, shin, bend);
  s.Part(Union(Limb(hip, knee, r * 1.4f, r), Limb(knee, ankle, r, r * 0.75f)), skin, r * 1.5f, shade);
  const float fy = sole - 2.5f + foot.y;
  s.Part(Union(Limb({ankle.x - 2, fy}, {ankle.x + 5, fy}, 2.5f, 1.8f),
               Limb(ankle, {ankle.x + 1, fy}, r * 0.8f, 2.4f)),
         skin, 3, shade);
  s.Part(Limb({ankle.x + 5, fy}, {ankle.x + 8, fy + 1.2f}, 1.3f, 0.5f), BoneSkin(7), 2, shade);
}

// An arm from the shoulder, swung by `swing` (-1 back .. +1 forward).
void Arm(Sprite& s, Pt shoulder, float swing, float upper, float lower, float r, const Skin& skin,
         float shade) {
  const Pt elbow = Polar(shoulder, 95 - 38 * swing, upper);
  const Pt hand = Polar(elbow, 60 - 40 * swing, lower);
  s.Part(Union(Limb(shoulder, elbow, r * 1.3f, r), Limb(elbow, hand, r, r * 0.8f)), skin, r * 1.5f, shade);
  for (int i = -1; i <= 1; ++i)
    s.Part(Limb(hand, Polar(hand, 70 + 25.0f * i - 30 * swing, 3.5f), 1.1f, 0.4f), BoneSkin(9), 1.5f, shade);
}

// --- The imp: a small hunched horned demon (kind 0) ----------------------

Sprite Imp(float u) {
  const int h = 72;
  Sprite s(h);
  const float cx = 36, sole = SoleRow(h);
  const float bob = rmath::Cos(4 * kPi * u);
  const Skin skin = DemonSkin(Hex(0x3a1416), Hex(0x7a2c24), 1200);
  const Pt hip{cx - 4, 39 + bob}, chest{cx + 3, 27 + bob}, head{cx + 9, 18 + bob};
  const float swing = rmath::Cos(2 * kPi * u);
  // Far side first, darker.
  Arm(s, chest + Pt{-2, -1}, swing, 9, 8, 2.2f, skin, 0.5f);
  Leg(s, hip, WalkFoot(u + 0.5f, 15, 4), 11, 11, 1, 3.2f, skin, 0.55f, sole);
  s.Part(Horn(head + Pt{0, -5}, -80, -60, 12, 2.6f), BoneSkin(3), 3, 0.55f);
  // Tail with a barbed tip.
  const float sway = rmath::Sin(2 * kPi * u) * 2;
  s.Part(Chain({hip + Pt{-3, 3},
                {cx - 15, 45 + bob},
                {cx - 21 + sway * 0.3f, 40 + bob},
                {cx - 23 + sway, 32 + bob}},
               {3, 2.2f, 1.5f, 1.0f}),
         skin, 2.5f);
  s.Part(Polygon({cx - 23 + sway, 27 + bob, cx - 27 + sway, 33 + bob, cx - 19 + sway, 33 + bob}), skin, 2);
  // Body, near leg, head.
  s.Part(Union(Limb(hip, chest, 8.5f, 10), Ellipse({cx - 1, 36 + bob}, 9, 7)), skin, 9);
  s.Tint(Ellipse({cx + 2, 40 + bob}, 6, 5), Rgb{0.75f, 0.6f, 0.55f}, 4);
  Leg(s, hip + Pt{2, 1}, WalkFoot(u, 15, 4), 11, 11, 1, 3.4f, skin, 1.0f, sole);
  s.Part(Union(Circle(head, 8), Ellipse(head + Pt{6, 3.5f}, 6, 4)), skin, 7);
  s.Part(Ellipse(head + Pt{5, 7.5f}, 5, 2.2f), skin, 2, 0.8f);
  s.Tint(Limb(head + Pt{3, 6}, head + Pt{11, 5.5f}, 0.8f, 0.6f), Rgb{0.2f, 0.1f, 0.1f}, 1);
  s.Part(Limb(head + Pt{8, 5.8f}, head + Pt{8.6f, 8.5f}, 0.9f, 0.3f), BoneSkin(4), 1);
  s.Part(Horn(head + Pt{3, -6}, -75, -65, 13, 2.8f), BoneSkin(5), 3);
  s.Eye(head + Pt{5, -1}, 2.2f, 1.4f, kEmber);
  Arm(s, chest + Pt{1, 0}, -swing, 9, 8, 2.4f, skin, 1.0f);
  return s;
}

// --- The caster: a robed horned demon with a burning third eye (kind 1) ---

Sprite Caster(float u) {
  const int h = 80;
  Sprite s(h);
  const float cx = 40, sole = SoleRow(h);
  const float bob = rmath::Cos(4 * kPi * u) * 0.8f;
  const float sway = rmath::Sin(2 * kPi * u) * 3;
  const Skin skin = DemonSkin(Hex(0x3a1416), Hex(0x7a2c24), 1210);
  const Skin robe = DemonSkin(Hex(0x1e1628), Hex(0x44345a), 1211);
  // Feet stepping out under the hem.
  for (float ph : {0.5f, 0.0f}) {
    const Pt f = WalkFoot(u + ph, 14, 3);
    const float fy = sole - 2.5f + f.y;
    s.Part(Union(Limb({cx - 3 + f.x, fy}, {cx + 4 + f.x, fy}, 2.5f, 1.8f),
                 Limb({cx + f.x, fy - 5}, {cx + f.x, fy}, 2.6f, 2.3f)),
           skin, 3, ph > 0 ? 0.55f : 1.0f);
    s.Part(Limb({cx + 4 + f.x, fy}, {cx + 7 + f.x, fy + 1.2f}, 1.2f, 0.5f), BoneSkin(8), 2,
           ph > 0 ? 0.55f : 1.0f);
  }
  // The robe, its hem swinging with the stride.
  const float top = 29 + bob;
  const Shape robeShape = Polygon({cx - 9, top, cx + 8, top, cx + 15 + sway, 52, cx + 7 + sway, 56,
                                   cx - 1 + sway, 54, cx - 9 + sway, 56, cx - 17 + sway, 53});
  s.Part(robeShape, robe, 10);
  s.Tint(Limb({cx - 3 + sway * 0.5f, top + 6}, {cx - 6 + sway, 53}, 1.2f, 1.6f), Rgb{0.55f, 0.55f, 0.6f}, 2);
  s.Tint(Limb({cx + 4 + sway * 0.5f, top + 6}, {cx + 6 + sway, 53}, 1.0f, 1.4f), Rgb{0.6f, 0.6f, 0.65f}, 2);
  // Hood and head; the third eye sits a quarter of the frame from its top.
  const Pt head{cx - 1, 23 + bob};
  s.Part(Horn(head + Pt{-4, -6}, -95, -55, 15, 2.6f), BoneSkin(11), 3, 0.55f);
  s.Part(Union(Ellipse(head + Pt{-3, 1}, 10, 11), Limb(head + Pt{-6, 4}, {cx - 10, top + 4}, 7, 6)), robe, 8);
  s.Part(Union(Ellipse(head + Pt{2, 1}, 7, 7.5f), Ellipse(head + Pt{6, 4}, 5, 3.5f)), skin, 6);
  s.Tint(Ellipse(head + Pt{-4, 0}, 5, 9), Rgb{0.45f, 0.4f, 0.45f}, 3);  // the hood's shadow
  s.Part(Horn(head + Pt{2, -6}, -100, 40, 17, 3.0f), BoneSkin(12), 3);
  s.Eye(head + Pt{6, 1}, 1.5f, 1.0f, kEmber, 0.5f);
  s.Tint(Limb(head + Pt{5, 6.5f}, head + Pt{10, 6}, 0.7f, 0.5f), Rgb{0.2f, 0.1f, 0.1f}, 1);
  s.Eye({cx + 1, 20}, 2.2f, 2.2f, Hex(0xffc060), 0.55f);
  // Sleeves held forward, claws open: it casts from the eye.
  const Pt shoulder{cx + 1, top + 4};
  const Pt hand{cx + 13 + rmath::Cos(2 * kPi * u) * 2, 36 + bob - rmath::Sin(2 * kPi * u) * 3};
  s.Part(Limb(shoulder, hand, 4.5f, 3.5f), robe, 5);
  for (int i = -1; i <= 1; ++i)
    s.Part(Limb(hand + Pt{2, 0}, Polar(hand + Pt{2, 0}, -30 + 30.0f * i, 4.5f), 1.1f, 0.4f), BoneSkin(13),
           1.5f);
  s.BodyGlow(hand + Pt{4, -1}, 7, Rgb{0.35f, 0.15f, 0.02f});
  return s;
}

// --- The hound: a fast four-legged beast with a spined back (kind 2) -----

Sprite Hound(float u) {
  const int h = 80;
  Sprite s(h);
  const float cx = 40, sole = SoleRow(h);
  const float bob = rmath::Cos(4 * kPi * u) * 1.2f;
  const Skin skin = DemonSkin(Hex(0x2a1012), Hex(0x64241e), 1220);
  const Pt shoulder{cx + 10, 40 + bob}, hip{cx - 13, 40 + bob};
  const Pt head{cx + 19, 25 + bob - rmath::Sin(2 * kPi * u)};
  const float stride = 18, lift = 6;
  // Far legs (a trot: diagonal pairs move together).
  Leg(s, shoulder + Pt{-2, -2}, WalkFoot(u + 0.5f, stride, lift), 10, 10, 1, 2.8f, skin, 0.5f, sole);
  Leg(s, hip + Pt{2, -2}, WalkFoot(u, stride, lift), 10, 10, -1, 3.2f, skin, 0.5f, sole);
  // Tail.
  const float wag = rmath::Sin(2 * kPi * u) * 3;
  s.Part(Chain({hip + Pt{-4, -3}, {cx - 24, 31 + bob + wag * 0.3f}, {cx - 29, 24 + bob + wag}}, {3, 2, 0.8f}),
         skin, 2.5f);
  // Body: a deep chest and a lean belly.
  s.Part(Union(Ellipse({cx - 3, 36 + bob}, 15, 7.5f), Ellipse({cx + 8, 35 + bob}, 10, 10)), skin, 9);
  s.Tint(Ellipse({cx - 2, 41 + bob}, 12, 3), Rgb{0.7f, 0.6f, 0.55f}, 3);
  // Bone spines along the back.
  for (int i = 0; i < 5; ++i) {
    const float x = cx - 14 + i * 6.0f;
    const float y = 30 + bob - (i == 3 || i == 4 ? 3.0f : 0.0f) + std::fabs(i - 3.0f) * 0.4f;
    s.Part(Horn({x, y}, -100, -30, 10 + (i % 2) * 3, 2.4f), BoneSkin(20 + i), 2);
  }
  // Neck and head with open jaws.
  s.Part(Limb(shoulder + Pt{0, -7}, head, 7, 5.5f), skin, 6);
  s.Part(Union(Ellipse(head, 6.5f, 5.5f), Limb(head, head + Pt{9, 2}, 4.5f, 3)), skin, 5);
  s.Part(Limb(head + Pt{1, 4}, head + Pt{8, 7.5f}, 2.6f, 1.6f), skin, 2, 0.8f);
  s.Emit(Polygon({head.x + 3, head.y + 4, head.x + 10, head.y + 4.2f, head.x + 8, head.y + 6.5f}),
         Hex(0x8a2a10));
  s.Part(Limb(head + Pt{6, 4}, head + Pt{6.5f, 6}, 0.8f, 0.3f), BoneSkin(31), 1);
  s.Part(Horn(head + Pt{-3, -4}, -135, -15, 11, 2.2f), BoneSkin(32), 2.5f);
  s.Eye(head + Pt{3, -1.5f}, 1.8f, 1.2f, kEmber);
  // Near legs.
  Leg(s, shoulder, WalkFoot(u, stride, lift), 10, 10, 1, 3.0f, skin, 1.0f, sole);
  Leg(s, hip, WalkFoot(u + 0.5f, stride, lift), 10, 10, -1, 3.6f, skin, 1.0f, sole);
  return s;
}

// --- The spitter: a bloated waddling demon with a glowing maw (kind 5) ---

// Its mouth, where the game spits from: 0.72 of the frame across and 0.47
// down (for the 84-pixel frame: column 60, row 39).
Sprite Spitter(float u) {
  const int h = 84;
  Sprite s(h);
  const float cx = 42, sole = SoleRow(h);
  const float bob = rmath::Cos(4 * kPi * u);
  const float sway = rmath::Sin(2 * kPi * u) * 1.2f;
  const Skin skin = DemonSkin(Hex(0x26161f), Hex(0x5c3844), 1250);
  const Pt hip{cx - 4 + sway * 0.4f, 52 + bob};
  Leg(s, hip + Pt{-3, 0}, WalkFoot(u + 0.5f, 10, 3), 7, 7, 1, 3.2f, skin, 0.55f, sole);
  // Spines on the hump.
  for (int i = 0; i < 4; ++i) {
    const Pt root{cx - 14 + i * 6.5f + sway * 0.5f, 27 + bob + std::fabs(i - 1.8f) * 2};
    s.Part(Horn(root, -95 - 8.0f * (1.5f - i), -20, 20 - std::fabs(i - 1.5f) * 3, 2.8f), BoneSkin(50 + i),
           2.5f, i % 2 ? 1.0f : 0.8f);
  }
  // A bony fin along the hump.
  s.Part(Polygon({34 + sway * 0.5f, 28 + bob, 41 + sway * 0.5f, 3 + bob, 46 + sway * 0.5f, 7 + bob,
                  44 + sway * 0.5f, 28 + bob}),
         BoneSkin(55), 3, 0.85f);
  const Pt belly{cx - 3 + sway * 0.5f, 42 + bob};
  s.Part(Union(Ellipse(belly, 20, 17), Ellipse({cx + 11, 38 + bob}, 10, 9)), skin, 14);
  s.Tint(Ellipse(belly + Pt{2, 7}, 13, 8), Rgb{0.8f, 0.7f, 0.6f}, 5);
  s.Veins(9, 1251, 0.93f, Rgb{0.25f, 0.1f, 0.02f});
  // Pustules glowing through the skin.
  for (Pt p : {Pt{cx - 12, 34}, Pt{cx - 4, 31}, Pt{cx - 15, 44}, Pt{cx - 6, 40}})
    s.Emit(Circle(p + Pt{sway * 0.5f, bob}, 1.6f), Hex(0xe0902a));
  // The maw: lips around a glowing throat at (60, 39).
  const Pt mouth{60, 39 + bob * 0.3f};
  s.Emit(Ellipse(mouth + Pt{-1, 0}, 4.5f, 3.2f), Hex(0x6a1a08));
  s.Emit(Ellipse(mouth + Pt{-2, 0}, 2.5f, 1.6f), Hex(0xffa030));
  s.BodyGlow(mouth, 12, Rgb{0.45f, 0.18f, 0.02f});
  s.Part(Limb(mouth + Pt{-10, -5}, mouth + Pt{3, -3}, 3, 2), skin, 3);
  s.Part(Limb(mouth + Pt{-10, 5}, mouth + Pt{3, 3.5f}, 3.2f, 2), skin, 3);
  for (int i = 0; i < 3; ++i)
    s.Part(Limb(mouth + Pt{-5.0f + 3 * i, -2.2f}, mouth + Pt{-5.0f + 3 * i, -0.2f}, 0.8f, 0.3f),
           BoneSkin(60 + i), 1);
  s.Eye({cx + 13, 30 + bob}, 1.8f, 1.5f, Hex(0xffc050));
  s.Eye({cx + 7, 29 + bob}, 1.4f, 1.2f, Hex(0xffc050), 0.7f);
  // A drip of glowing spit under the lip.
  const float drip = 2 + 2 * (0.5f + 0.5f * rmath::Sin(2 * kPi * u));
  s.Emit(Limb(mouth + Pt{-1, 3}, mouth + Pt{-1, 3 + drip}, 1.0f, 1.3f), Hex(0xffb040));
  Leg(s, hip + Pt{4, 0}, WalkFoot(u, 10, 3), 7, 7, 1, 3.4f, skin, 1.0f, sole);
  return s;
}

// --- The lobber: a basalt brute with a burning crater on its back (kind 7)

// It lobs from the crater, 0.55 of the frame across and 0.23 down (column
// 46, row 19 of the 84-pixel frame), in its first three poses: there the
// crater swells with a blob of fire, afterwards it smoulders.
Sprite Lobber(int pose) {
  const int h = 84;
  Sprite s(h);
  const float u = pose / 6.0f;
  const float cx = 42, sole = SoleRow(h);
  const float bob = rmath::Cos(4 * kPi * u) * 0.8f;
  const float swing = rmath::Cos(2 * kPi * u);
  const Skin skin = DemonSkin(Hex(0x24201f), Hex(0x5e554c), 1270);
  const Pt hip{cx - 5, 47 + bob};
  const float heat = pose < 3 ? 1.0f : 0.45f;
  // Far arm and leg.
  const Pt farShoulder{cx + 3, 31 + bob};
  const Pt farHand{cx + 12 - 5 * swing, sole - 4};
  const Pt farElbow = Knee(farShoulder, farHand, 13, 13, 1);
  s.Part(Union(Limb(farShoulder, farElbow, 4, 3.2f), Limb(farElbow, farHand, 3.2f, 3.6f)), skin, 4, 0.5f);
  Leg(s, hip, WalkFoot(u + 0.5f, 13, 4), 9, 9, 1, 3.6f, skin, 0.5f, sole);
  // Hunched body and the crater's cone.
  s.Part(Union(Ellipse({cx - 1, 36 + bob}, 16, 14), Ellipse({cx + 3, 27 + bob}, 12, 9)), skin, 12);
  s.Part(Polygon({37, 28 + bob, 55, 28 + bob, 51, 20, 41, 20}), skin, 5);
  s.Veins(7, 1271, 0.86f, Rgb{0.75f, 0.25f, 0.03f} * (0.5f + 0.5f * heat));
  s.Emit(Ellipse({46, 21}, 5.5f, 2.2f), Mix(Hex(0x5a1a06), Hex(0xffa030), heat));
  s.BodyGlow({46, 21}, 16, Rgb{0.5f, 0.2f, 0.03f} * heat);
  if (pose < 3) {
    // The blob of fire rising out of the crater.
    const float rise = 1.5f * pose;
    s.Emit(Union(Circle({46, 17 - rise}, 4.2f + 0.4f * pose), Limb({46, 16 - rise}, {44, 8 - rise}, 3, 0.8f)),
           Hex(0xff8a20));
    s.Emit(Circle({46.5f, 16.5f - rise}, 1.8f), Hex(0xffe0a0));
  } else {
    s.Emit(Circle({45 + pose - 4.0f, 17}, 1.4f), Hex(0x7a3010));  // a last cinder
  }
  // Head hung low in front, with short horns.
  const Pt head{cx + 17, 37 + bob};
  s.Part(Union(Ellipse(head, 7, 6.5f), Ellipse(head + Pt{4, 3}, 5, 3.5f)),
         DemonSkin(Hex(0x3a2622), Hex(0x7a5a4a), 1273), 6);
  s.Part(Horn(head + Pt{-1, -5}, -60, -70, 8, 2.2f), BoneSkin(71), 2.5f);
  s.Part(Horn(head + Pt{5, 4}, -80, -40, 5, 1.4f), BoneSkin(74), 2);
  s.Tint(Limb(head + Pt{2, 4.5f}, head + Pt{8, 4.5f}, 0.7f, 0.5f), Rgb{0.2f, 0.1f, 0.1f}, 1);
  s.Eye(head + Pt{4, -1}, 1.7f, 1.2f, kEmber);
  // Near leg and the long arm that swings down to the ground.
  Leg(s, hip + Pt{3, 1}, WalkFoot(u, 13, 4), 9, 9, 1, 3.8f, skin, 1.0f, sole);
  const Pt shoulder{cx + 7, 32 + bob};
  const Pt hand{cx + 14 + 5 * swing, sole - 5 - 2 * std::max(0.0f, swing)};
  const Pt elbow = Knee(shoulder, hand, 13, 13, 1);
  s.Part(Union(Limb(shoulder, elbow, 4.6f, 3.6f), Limb(elbow, hand, 3.8f, 5.0f)), skin, 5);
  s.Veins(6, 1272, 0.9f, Rgb{0.6f, 0.2f, 0.02f} * heat);
  for (int i = -1; i <= 1; ++i)
    s.Part(Limb(hand + Pt{2, 1}, Polar(hand + Pt{2, 1}, 40 + 25.0f * i, 4), 1.2f, 0.4f), BoneSkin(72), 1.5f);
  return s;
}

Strip Walk(int frames, Sprite (*frame)(float)) {
  std::vector<Sprite> f;
  for (int i = 0; i < frames; ++i) f.push_back(frame(static_cast<float>(i) / frames));
  return MakeStrip(f);
}

}  // namespace

std::vector<NamedStrip> WalkerStrips() {
  std::vector<Sprite> lobber;
  for (int i = 0; i < 6; ++i) lobber.push_back(Lobber(i));
  return {{"data/daemon3.vx1", Walk(6, Imp)},
          {"data/daemon2.vx1", Walk(6, Caster)},
          {"data/daemon4.vx1", Walk(9, Hound)},
          {"data/daemon5.vx1", Walk(6, Spitter)},
          {"data/daemon6.vx1", MakeStrip(lobber)}};
}

}  // namespace datagen
