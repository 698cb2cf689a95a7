// Every model of the game, built from simple solids. Geometry contracts the
// game code relies on (tests check them):
// - box.x is a unit cube centred on its origin.
// - wall.x fills the wall's collision box: 6 along x, 2.5 high, 1 thick,
//   centred; the 36 wall_breakNN.x pieces (6 columns x 6 rows) tile it exactly.
// - gate01.x spans x 0..3 and gate02.x x -3..0: each leaf's hinge is 3 units
//   from its origin, where the gate's drawing turns it.
// - bridge and handrail pieces are one cell long (along model z, which the
//   bridge's yaw of 90 degrees turns towards +x); bridge decks top out at 0.5.
// - characters stand with their origin at their feet and face +z.
// - hoshi.x is a five-pointed star about one unit across.
// - the river wave is long along +x (300 units) with its crest facing +z.
#include <cmath>
#include <functional>
#include <string>

#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/mesh_builder.h"

namespace {

const std::string kRoot = "Resource_Orvelune/";

ModelMaterial Mat(uint32_t rgb, const std::string& texture = "", float emissive = 0.0f,
                  float power = 0.0f, float specular = 0.0f) {
  ModelMaterial m;
  m.diffuse = RgbaHex(rgb);
  m.texture = texture.empty() ? "" : kRoot + texture;
  m.emissive = Scale(RgbaHex(rgb), emissive);
  m.emissive.a = 1;
  m.power = power;
  m.specular = {specular, specular, specular, 1};
  return m;
}

ModelMaterial Glow(uint32_t rgb, float strength = 0.9f) {
  ModelMaterial m = Mat(rgb, "", strength);
  return m;
}

// A surface of revolution about y through (radius, y) points, bottom first.
// The first and last rings are closed with flat caps.
void Lathe(MeshBuilder& mb, const Vec3& base, const std::vector<Vec2>& profile, int sides) {
  for (size_t k = 0; k + 1 < profile.size(); ++k) {
    const bool ends = k == 0 || k + 2 == profile.size();
    mb.Cylinder(base + Vec3{0, profile[k].y, 0}, base.y + profile[k + 1].y, profile[k].x,
                profile[k + 1].x, sides, ends);
  }
}

void Save(AssetSet& out, const std::string& path, const MeshBuilder& mb, const char* what) {
  out.Add(path, mb.ToX(what));
}

// A small creature's leg: from the hip out and down to the ground.
void Leg(MeshBuilder& mb, const Vec3& hip, const Vec3& knee, const Vec3& foot, float r) {
  mb.Tube({hip, knee, foot}, {r, r * 0.85f, r * 0.6f}, 6);
}

// The scorpion, ordinary (scale 1, about 1 long) or the boss (scale 3.6).
void BuildScorpion(MeshBuilder& mb, float s, uint32_t shell, uint32_t belly, uint32_t glowColor,
                   const std::string& texture) {
  const int shellMat = mb.Material(Mat(shell, texture, 0.18f, 20, 0.5f));
  const int bellyMat = mb.Material(Mat(belly, "", 0.1f));
  const int glowMat = mb.Material(Glow(glowColor, 1.0f));
  auto P = [s](float x, float y, float z) { return Vec3{x * s, y * s, z * s}; };
  mb.Use(shellMat);
  // Body: three overlapping plates from the head back.
  mb.Sphere(P(0, 0.24f, 0.05f), P(0.27f, 0.14f, 0.34f), 14, 8);
  mb.Sphere(P(0, 0.27f, 0.33f), P(0.21f, 0.12f, 0.17f), 12, 8);
  mb.Sphere(P(0, 0.26f, -0.26f), P(0.2f, 0.12f, 0.16f), 12, 8);
  // Tail: segments curling up and over the back, the stinger pointing forward.
  const std::vector<Vec3> tail = {P(0, 0.28f, -0.36f), P(0, 0.36f, -0.52f), P(0, 0.56f, -0.6f),
                                  P(0, 0.78f, -0.52f), P(0, 0.9f, -0.32f),  P(0, 0.88f, -0.14f)};
  mb.Tube(tail, {0.1f * s, 0.09f * s, 0.08f * s, 0.07f * s, 0.06f * s, 0.05f * s}, 8);
  mb.Use(glowMat);
  mb.Cylinder(P(0, 0.86f, -0.12f), 0.6f * s, 0.05f * s, 0.0f, 8);  // stinger, pointing down
  // Claws on arms reaching forward.
  mb.Use(shellMat);
  for (float side : {-1.0f, 1.0f}) {
    mb.Tube(
        {P(side * 0.18f, 0.24f, 0.38f), P(side * 0.34f, 0.26f, 0.5f), P(side * 0.3f, 0.24f, 0.66f)},
        {0.05f * s, 0.05f * s, 0.05f * s}, 6);
    mb.Sphere(P(side * 0.3f, 0.25f, 0.74f), P(0.1f, 0.07f, 0.12f), 10, 6);
    mb.Use(bellyMat);
    mb.Sphere(P(side * 0.24f, 0.25f, 0.85f), P(0.04f, 0.04f, 0.08f), 6, 4);
    mb.Sphere(P(side * 0.35f, 0.25f, 0.84f), P(0.04f, 0.04f, 0.08f), 6, 4);
    mb.Use(shellMat);
    // Four legs a side.
    for (int k = 0; k < 4; ++k) {
      const float z = 0.2f - k * 0.15f;
      Leg(mb, P(side * 0.2f, 0.22f, z), P(side * 0.42f, 0.3f, z + 0.02f),
          P(side * 0.5f, 0.0f, z - 0.04f), 0.035f * s);
    }
  }
  // Eyes.
  mb.Use(glowMat);
  mb.Sphere(P(-0.07f, 0.37f, 0.43f), P(0.035f, 0.035f, 0.035f), 6, 4);
  mb.Sphere(P(0.07f, 0.37f, 0.43f), P(0.035f, 0.035f, 0.035f), 6, 4);
  // Star spots on the back.
  for (int k = 0; k < 3; ++k)
    mb.Sphere(P(0, 0.37f, 0.15f - k * 0.18f), P(0.03f, 0.02f, 0.03f), 6, 4);
  mb.StandOnOrigin();
}

// A twin: a robed celestial warrior, 3 units tall.
void BuildTwin(MeshBuilder& mb, uint32_t robe, uint32_t trim, uint32_t glowColor, bool withBow) {
  const int robeMat = mb.Material(Mat(robe, "Character/Enemy/hutago_t.png", 0.15f, 10, 0.3f));
  const int trimMat = mb.Material(Mat(trim, "", 0.2f, 30, 0.7f));
  const int skinMat = mb.Material(Mat(0xF2D7C4, "", 0.15f));
  const int hairMat = mb.Material(Mat(0x1C1B33, "", 0.05f));
  const int glowMat = mb.Material(Glow(glowColor, 1.0f));
  mb.Use(robeMat);
  Lathe(mb, {0, 0, 0}, {{0.82f, 0.0f}, {0.7f, 0.7f}, {0.52f, 1.4f}, {0.46f, 1.85f}, {0.28f, 2.05f}},
        18);
  mb.Use(trimMat);
  mb.Cylinder({0, 1.05f, 0}, 1.2f, 0.62f, 0.6f, 18);  // belt
  mb.Cylinder({0, 0.0f, 0}, 0.12f, 0.84f, 0.8f, 18);  // hem
  for (float side : {-1.0f, 1.0f}) {                  // shoulder guards
    mb.Sphere({side * 0.5f, 1.85f, 0}, {0.24f, 0.14f, 0.22f}, 10, 6);
  }
  mb.Use(robeMat);
  for (float side : {-1.0f, 1.0f}) {
    mb.Tube({{side * 0.5f, 1.8f, 0}, {side * 0.7f, 1.4f, 0.15f}, {side * 0.6f, 1.05f, 0.35f}},
            {0.16f, 0.15f, 0.13f}, 8);
    mb.Use(skinMat);
    mb.Sphere({side * 0.58f, 0.98f, 0.42f}, {0.11f, 0.11f, 0.11f}, 8, 6);
    mb.Use(robeMat);
  }
  mb.Use(skinMat);
  mb.Sphere({0, 2.35f, 0}, {0.36f, 0.4f, 0.36f}, 16, 10);
  mb.Use(hairMat);
  mb.Sphere({0, 2.45f, -0.05f}, {0.39f, 0.36f, 0.38f}, 16, 10);
  mb.Use(trimMat);
  mb.Cylinder({0, 2.68f, 0}, 2.78f, 0.3f, 0.26f, 12);  // crown band
  mb.Use(glowMat);
  mb.Star({0, 2.98f, 0.0f}, 0.24f, 0.1f, 0.08f);   // crest star
  mb.Star({0, 1.5f, 0.5f}, 0.18f, 0.075f, 0.06f);  // chest star
  mb.Sphere({-0.13f, 2.38f, 0.32f}, {0.05f, 0.06f, 0.03f}, 6, 4);
  mb.Sphere({0.13f, 2.38f, 0.32f}, {0.05f, 0.06f, 0.03f}, 6, 4);
  if (withBow) {
    // Castor holds a ring of stars on his back.
    mb.Use(trimMat);
    std::vector<Vec3> ring;
    std::vector<float> radii;
    for (int k = 0; k <= 24; ++k) {
      const float a = 2 * kPi * k / 24;
      ring.push_back({std::cos(a) * 0.85f, 1.9f + std::sin(a) * 0.85f, -0.45f});
      radii.push_back(0.05f);
    }
    mb.Tube(ring, radii, 6);
    mb.Use(glowMat);
    for (int k = 0; k < 6; ++k) {
      const float a = 2 * kPi * k / 6 + 0.3f;
      mb.Star({std::cos(a) * 0.85f, 1.9f + std::sin(a) * 0.85f, -0.5f}, 0.13f, 0.055f, 0.05f);
    }
  } else {
    // Pollux carries a spear along his side.
    mb.Use(trimMat);
    mb.Tube({{0.9f, 0.1f, 0.35f}, {0.9f, 2.9f, 0.35f}}, {0.05f, 0.05f}, 6);
    mb.Use(glowMat);
    mb.Cylinder({0.9f, 2.9f, 0.35f}, 3.35f, 0.12f, 0.0f, 8);
  }
}

void BuildFish(MeshBuilder& mb, uint32_t body, uint32_t fin, uint32_t spots) {
  const int bodyMat = mb.Material(Mat(body, "Character/Enemy/sakana_t.png", 0.25f, 40, 0.8f));
  const int finMat = mb.Material(Mat(fin, "", 0.3f));
  const int eyeMat = mb.Material(Mat(0x101018, "", 0.0f, 60, 1.0f));
  const int spotMat = mb.Material(Glow(spots, 0.8f));
  mb.Use(bodyMat);
  mb.Sphere({0, 0, 0.1f}, {0.32f, 0.5f, 1.0f}, 16, 10);
  mb.Use(finMat);
  // Tail fin: a flat fan behind the body.
  mb.SetTransform(MatrixRotationY(-kPi / 2) * MatrixTranslation(0, 0, -0.85f));
  mb.Extrude({{0, 0}, {0.75f, 0.6f}, {0.5f, 0.0f}, {0.75f, -0.6f}}, 0.0f, 0.06f);
  mb.SetTransform(MatrixRotationY(-kPi / 2) * MatrixTranslation(0, 0.45f, 0.1f));
  mb.Extrude({{-0.4f, 0}, {0.0f, 0.35f}, {0.45f, 0}}, 0.0f, 0.05f);  // dorsal fin
  mb.SetTransform(Matrix{});
  for (float side : {-1.0f, 1.0f}) {
    mb.SetTransform(MatrixRotationZ(side * 0.6f) * MatrixTranslation(side * 0.3f, -0.15f, 0.35f));
    mb.Extrude({{0, 0}, {0.3f, -0.1f}, {0.25f, -0.3f}}, 0.0f, 0.04f);
    mb.SetTransform(Matrix{});
    mb.Use(eyeMat);
    mb.Sphere({side * 0.24f, 0.12f, 0.75f}, {0.07f, 0.07f, 0.07f}, 8, 6);
    mb.Use(spotMat);
    mb.Sphere({side * 0.27f, 0.2f, 0.2f}, {0.06f, 0.06f, 0.06f}, 6, 4);
    mb.Sphere({side * 0.29f, -0.05f, -0.2f}, {0.05f, 0.05f, 0.05f}, 6, 4);
    mb.Use(finMat);
  }
}

void BuildHand(MeshBuilder& mb, float thumbSide) {
  const int skinMat = mb.Material(Mat(0xE8C27A, "Character/Boss/tentei_t.png", 0.2f, 40, 0.8f));
  const int nailMat = mb.Material(Mat(0xFFF2C8, "", 0.4f, 60, 1.0f));
  const int glowMat = mb.Material(Glow(0x9FE8FF, 1.0f));
  mb.Use(skinMat);
  // Palm down, fingers pointing +z, resting on the ground.
  mb.Sphere({0, 0.55f, -0.1f}, {0.95f, 0.38f, 0.9f}, 16, 10);
  mb.Cylinder({0, 0.3f, -1.0f}, 0.8f, 0.55f, 0.5f, 14);  // wrist
  for (int f = 0; f < 4; ++f) {
    const float x = -0.6f + f * 0.4f;
    const float len = f == 0 || f == 3 ? 0.75f : 0.95f;
    mb.Tube({{x, 0.55f, 0.6f}, {x, 0.5f, 0.6f + len * 0.55f}, {x, 0.3f, 0.6f + len}},
            {0.17f, 0.15f, 0.13f}, 8);
    mb.Use(nailMat);
    mb.Sphere({x, 0.38f, 0.6f + len}, {0.11f, 0.06f, 0.09f}, 6, 4);
    mb.Use(skinMat);
  }
  mb.Tube({{thumbSide * 0.8f, 0.55f, 0.0f},
           {thumbSide * 1.15f, 0.45f, 0.35f},
           {thumbSide * 1.2f, 0.3f, 0.7f}},
          {0.19f, 0.17f, 0.14f}, 8);
  mb.Use(glowMat);
  mb.Star({0, 0.95f, -0.1f}, 0.3f, 0.12f, 0.06f);
  mb.StandOnOrigin();
}

}  // namespace

void GenerateModels(AssetSet& out) {
  // Floor chip: a unit cube of warm wood.
  {
    MeshBuilder mb;
    mb.Material(Mat(0xFFFFFF, "Object/Box/box_t.png", 0.22f, 8, 0.15f));
    mb.Box({0, 0, 0}, {1, 1, 1});
    Save(out, kRoot + "Object/Box/box.x", mb, "floor chip: unit cube centred on the origin");
  }
  // Star: five points, about one unit across, glowing gold.
  {
    MeshBuilder mb;
    ModelMaterial gold = Mat(0xFFD25A, "Object/Box/hoshi_t.png", 0.55f, 40, 0.9f);
    mb.Material(gold);
    mb.Star({0, 0, 0}, 0.55f, 0.23f, 0.36f);
    Save(out, kRoot + "Object/Box/hoshi.x", mb, "star: five points, about one unit across");
  }
  // Player: the young herdsman, 1.8 tall, origin at the feet, facing +z.
  {
    MeshBuilder mb;
    const int robe = mb.Material(Mat(0x3F6FD8, "Character/Player/player_t.png", 0.2f, 12, 0.2f));
    const int hakama = mb.Material(Mat(0x24305E, "", 0.12f));
    const int sash = mb.Material(Mat(0xF2C14E, "", 0.3f, 30, 0.6f));
    const int skin = mb.Material(Mat(0xF4D9C2, "", 0.18f));
    const int hair = mb.Material(Mat(0x22203A, "", 0.05f, 20, 0.3f));
    const int dark = mb.Material(Mat(0x3A2A20, "", 0.05f));
    const int glow = mb.Material(Glow(0xFFE27A, 1.0f));
    mb.Use(dark);
    mb.Box({-0.14f, 0.05f, 0.04f}, {0.16f, 0.1f, 0.28f});
    mb.Box({0.14f, 0.05f, 0.04f}, {0.16f, 0.1f, 0.28f});
    mb.Use(hakama);
    Lathe(mb, {0, 0.08f, 0}, {{0.34f, 0.0f}, {0.3f, 0.35f}, {0.25f, 0.68f}}, 16);
    mb.Use(robe);
    Lathe(mb, {0, 0.7f, 0}, {{0.3f, 0.0f}, {0.27f, 0.3f}, {0.24f, 0.55f}, {0.12f, 0.66f}}, 16);
    mb.Use(sash);
    mb.Cylinder({0, 0.74f, 0}, 0.86f, 0.305f, 0.3f, 16);
    mb.Use(robe);
    for (float side : {-1.0f, 1.0f}) {
      mb.Tube({{side * 0.24f, 1.22f, 0}, {side * 0.36f, 1.0f, 0.05f}, {side * 0.36f, 0.82f, 0.14f}},
              {0.1f, 0.11f, 0.12f}, 8);
      mb.Use(skin);
      mb.Sphere({side * 0.35f, 0.76f, 0.17f}, {0.06f, 0.06f, 0.06f}, 8, 6);
      mb.Use(robe);
    }
    mb.Use(skin);
    mb.Cylinder({0, 1.3f, 0}, 1.38f, 0.08f, 0.08f, 10);
    mb.Sphere({0, 1.52f, 0.01f}, {0.21f, 0.23f, 0.21f}, 16, 10);
    mb.Use(hair);
    mb.Sphere({0, 1.6f, -0.03f}, {0.23f, 0.19f, 0.23f}, 16, 8);
    mb.Sphere({0, 1.8f, -0.08f}, {0.08f, 0.08f, 0.08f}, 10, 6);  // topknot
    mb.Use(dark);
    mb.Sphere({-0.075f, 1.53f, 0.19f}, {0.03f, 0.04f, 0.02f}, 6, 4);
    mb.Sphere({0.075f, 1.53f, 0.19f}, {0.03f, 0.04f, 0.02f}, 6, 4);
    mb.Use(glow);
    mb.Star({0, 1.14f, 0.25f}, 0.09f, 0.04f, 0.04f);  // pendant
    Save(out, kRoot + "Character/Player/player.x", mb, "player: origin at the feet, facing +z");
  }
  // Sky: a starry dome seen from inside, unlit.
  {
    MeshBuilder mb;
    ModelMaterial sky;
    sky.diffuse = {0, 0, 0, 1};
    sky.emissive = {1, 1, 1, 1};
    sky.texture = kRoot + "Object/Sky/spaceball_t.png";
    mb.Material(sky);
    mb.Sphere({0, 0, 0}, {300, 300, 300}, 32, 16, true);
    Save(out, kRoot + "Object/Sky/spaceball.x", mb, "sky: a dome of radius 300 facing inwards");
  }
  // Rotating wall hinged at its edge: a 6 x 6 slab, 1 thick, that extends
  // along -z from the hinge (upright when pitched 90 degrees).
  {
    MeshBuilder mb;
    mb.Material(Mat(0xFFFFFF, "Object/Rota/rota_t.png", 0.2f, 10, 0.2f));
    mb.WorldBox({0, 0, -3}, {6, 1, 6}, 3.0f);
    mb.Material(Mat(0xFFD25A, "", 0.5f, 40, 0.8f));
    mb.SetTransform(MatrixRotationZ(kPi / 2));
    mb.Cylinder({0, -3.2f, 0}, 3.2f, 0.45f, 0.45f, 12);  // the hinge rod along x
    Save(out, kRoot + "Object/Rota/rotatingbase_half.x", mb,
         "rotating wall: 6 x 1 x 6 slab hinged at its z = 0 edge");
  }
  // Rotating wall turning about its middle: a 6 x 1 x 6 slab centred 0.6 up.
  {
    MeshBuilder mb;
    mb.Material(Mat(0xFFFFFF, "Object/Rota/rota_t.png", 0.2f, 10, 0.2f));
    mb.WorldBox({0, 0.6f, 0}, {6, 1, 6}, 3.0f);
    mb.Material(Mat(0xFFD25A, "", 0.5f, 40, 0.8f));
    mb.SetTransform(MatrixRotationZ(kPi / 2) * MatrixTranslation(0, 0.6f, 0));
    mb.Cylinder({0, -3.2f, 0}, 3.2f, 0.35f, 0.35f, 12);
    Save(out, kRoot + "Object/Rota/rotatingbase.x", mb,
         "rotating wall: 6 x 1 x 6 slab turning about (0, 0.6, 0)");
  }
  // Gate leaves: 3 wide, 5 high, hinged 3 units from the origin.
  for (int leaf = 0; leaf < 2; ++leaf) {
    const float sign = leaf == 0 ? 1.0f : -1.0f;  // leaf 1 spans x 0..3, leaf 2 x -3..0
    MeshBuilder mb;
    mb.Material(Mat(0xFFFFFF, "Object/Gate/gate_t.png", 0.2f, 20, 0.3f));
    mb.Box({sign * 1.5f, 2.5f, 0}, {3, 5, 0.3f});
    mb.Material(Mat(0xF2C14E, "", 0.35f, 40, 0.9f));
    mb.Box({sign * 1.5f, 5.05f, 0}, {3.1f, 0.2f, 0.45f});   // top rail
    mb.Box({sign * 1.5f, 0.1f, 0}, {3.1f, 0.2f, 0.45f});    // bottom rail
    mb.Box({sign * 2.95f, 2.55f, 0}, {0.2f, 5.1f, 0.45f});  // hinge post
    mb.Material(Glow(0xFFF0A8, 1.0f));
    mb.Star({sign * 1.5f, 3.3f, -0.17f}, 0.55f, 0.22f, 0.08f);
    mb.Star({sign * 1.5f, 3.3f, 0.17f}, 0.55f, 0.22f, 0.08f);
    Save(out, kRoot + (leaf == 0 ? "Object/Gate/gate01.x" : "Object/Gate/gate02.x"), mb,
         "gate leaf: hinge 3 units from the origin");
  }
  // Bridge decks (one cell, top at 0.5) and handrails.
  {
    MeshBuilder a;
    a.Material(Mat(0xFFFFFF, "Object/Bridge/bridge_t.png", 0.25f, 6, 0.1f));
    a.Box({0, 0.36f, 0}, {1.0f, 0.28f, 1.0f});
    a.Material(Mat(0x6B3F26, "", 0.1f));
    a.Box({0, 0.16f, 0}, {0.9f, 0.14f, 0.2f});  // cross beam
    Save(out, kRoot + "Object/Bridge/bridge_a.x", a, "bridge deck: one cell, top at 0.5");
    MeshBuilder b;
    b.Material(Mat(0xFFFFFF, "Object/Bridge/bridge_t.png", 0.25f, 6, 0.1f));
    b.Box({0, 0.36f, 0}, {1.0f, 0.28f, 1.0f});
    b.Material(Mat(0xF2C14E, "", 0.45f, 40, 0.8f));
    b.Box({0, 0.53f, -0.44f}, {1.0f, 0.06f, 0.12f});  // gilded threshold at the end
    Save(out, kRoot + "Object/Bridge/bridge_b.x", b, "bridge end deck: one cell, top at 0.5");
    for (int end = 0; end < 2; ++end) {
      MeshBuilder r;
      r.Material(Mat(0xC8372D, "", 0.25f, 20, 0.3f));
      r.Box({0, 0.95f, 0}, {0.1f, 0.9f, 0.1f});    // post
      r.Box({0, 1.3f, 0}, {0.08f, 0.08f, 1.0f});   // top rail
      r.Box({0, 0.95f, 0}, {0.06f, 0.06f, 1.0f});  // middle rail
      r.Material(Mat(0xF2C14E, "", 0.5f, 40, 0.9f));
      r.Sphere({0, 1.43f, 0}, {0.08f, 0.08f, 0.08f}, 8, 6);
      if (end == 1) {
        r.Box({0, 1.0f, -0.4f}, {0.16f, 1.1f, 0.16f});
        r.Material(Glow(0xFFE9A0, 1.0f));
        r.Sphere({0, 1.66f, -0.4f}, {0.1f, 0.1f, 0.1f}, 10, 6);  // lantern
      }
      Save(out, kRoot + (end == 0 ? "Object/Bridge/handrail_a.x" : "Object/Bridge/handrail_b.x"), r,
           "handrail: one cell long");
    }
  }
  // Sign board: a post and a board, origin at the foot of the post.
  {
    MeshBuilder mb;
    mb.Material(Mat(0x6B4A2E, "", 0.15f));
    mb.Cylinder({0, 0, 0}, 1.05f, 0.07f, 0.06f, 10);
    mb.Material(Mat(0xFFFFFF, "Object/InfoBoard/kanban_t.png", 0.3f, 6, 0.1f));
    mb.Box({0, 1.28f, 0}, {1.1f, 0.66f, 0.08f});
    mb.Material(Mat(0xF2C14E, "", 0.4f, 40, 0.8f));
    mb.Box({0, 1.64f, 0}, {1.22f, 0.08f, 0.14f});
    Save(out, kRoot + "Object/InfoBoard/kanban.x", mb,
         "sign board: origin at the foot of the post");
  }
  // The great wave: a curling crest 300 long along +x, facing +z.
  {
    MeshBuilder mb;
    ModelMaterial water = Mat(0xFFFFFF, "Object/Wave/nami_t.png", 0.55f, 30, 0.6f);
    mb.Material(water);
    const std::vector<Vec2> profile = {{-1.6f, -0.1f}, {-0.9f, 0.35f}, {-0.2f, 0.95f},
                                       {0.35f, 1.25f}, {0.85f, 1.15f}, {1.05f, 0.9f},
                                       {0.9f, 0.6f},   {0.6f, 0.3f},   {0.55f, -0.1f}};
    const float segment = 10;
    for (int k = 0; k < 30; ++k) {
      const float x0 = k * segment, x1 = x0 + segment;
      for (size_t i = 0; i + 1 < profile.size(); ++i) {
        const Vec2 p = profile[i], q = profile[i + 1];
        const Vec3 a{x0, p.y, p.x}, b{x1, p.y, p.x}, c{x1, q.y, q.x}, d{x0, q.y, q.x};
        // Outward: away from the inside of the curl.
        const Vec3 n = Vec3Normalize(Vec3{0, q.x - p.x, -(q.y - p.y)});
        const float v0 = static_cast<float>(i) / (profile.size() - 1);
        const float v1 = static_cast<float>(i + 1) / (profile.size() - 1);
        const Vec2 ta{x0 / 20, v0}, tb{x1 / 20, v0}, tc{x1 / 20, v1}, td{x0 / 20, v1};
        mb.Quad(a, b, c, d, -n, ta, tb, tc, td);
        mb.Quad(a, b, c, d, n, ta, tb, tc, td);  // both sides show
      }
    }
    Save(out, kRoot + "Object/Wave/amanokawa_nami.x", mb,
         "river wave: 300 long along +x, crest facing +z");
  }
  // Recovery item: a wish strip hanging from a twig, a star on top.
  {
    MeshBuilder mb;
    mb.Material(Mat(0x5B8C3A, "", 0.15f));
    mb.Tube({{-0.3f, 1.02f, 0}, {0.0f, 1.05f, 0}, {0.32f, 1.0f, 0}}, {0.03f, 0.035f, 0.025f}, 6);
    mb.Material(Mat(0xFFFFFF, "Object/Item/Recovery/tanzaku_t.png", 0.45f, 6, 0.1f));
    mb.Box({0, 0.55f, 0}, {0.36f, 0.8f, 0.04f});
    mb.Material(Mat(0xE8E0D0, "", 0.3f));
    mb.Tube({{0, 1.03f, 0}, {0, 0.95f, 0}}, {0.01f, 0.01f}, 4);
    mb.Material(Glow(0xFFE27A, 1.0f));
    mb.Star({0, 1.22f, 0}, 0.16f, 0.07f, 0.08f);
    Save(out, kRoot + "Object/Item/Recovery/tanzakun.x", mb, "recovery item: origin at its base");
  }
  // Walls: the whole wall and its 36 pieces, sharing one tiling of stone.
  {
    const Vec3 box{6, 2.5f, 1};
    MeshBuilder whole;
    whole.Material(Mat(0xFFFFFF, "Object/Wall/wall_t.png", 0.18f, 4, 0.05f));
    whole.WorldBox({0, 0, 0}, box, 2.0f);
    Save(out, kRoot + "Object/Wall/wall.x", whole, "wall: 6 x 2.5 x 1 centred, extends along x");
    const float rowHeight = box.y / 6;
    for (int i = 1; i <= 36; ++i) {
      const int col = (i - 1) % 6, row = (i - 1) / 6;
      MeshBuilder piece;
      piece.Material(Mat(0xFFFFFF, "Object/Wall/wall_t.png", 0.18f, 4, 0.05f));
      piece.WorldBox({-box.x / 2 + col + 0.5f, -box.y / 2 + (row + 0.5f) * rowHeight, 0},
                     {1, rowHeight, box.z}, 2.0f);
      char name[64];
      std::snprintf(name, sizeof name, "Object/Wall/wall_break%02d.x", i);
      Save(out, kRoot + name, piece, "wall piece: column and row of the wall, in place");
    }
  }
  // Enemies and bosses.
  {
    MeshBuilder mb;
    BuildScorpion(mb, 1.0f, 0x8A2E5C, 0x3A1030, 0xFFD36B, "Character/Enemy/sasori_t.png");
    Save(out, kRoot + "Character/Enemy/sasori.x", mb, "scorpion: about 1 long, origin at the feet");
  }
  {
    MeshBuilder mb;
    BuildScorpion(mb, 3.6f, 0xB8323C, 0x40101A, 0xFFE066, "Character/Enemy/sasori_t.png");
    Save(out, kRoot + "Character/Enemy/sasori_boss.x", mb,
         "great scorpion: about 3.6 long, origin at the feet");
  }
  {
    MeshBuilder mb;
    BuildTwin(mb, 0xC44A3A, 0xF2C14E, 0xFFB36B, false);
    Save(out, kRoot + "Character/Enemy/hutago1.x", mb, "twin (spear): 3 tall, origin at the feet");
  }
  {
    MeshBuilder mb;
    BuildTwin(mb, 0x3A6AC4, 0xDDE6F2, 0x9FE3FF, true);
    Save(out, kRoot + "Character/Enemy/hutago2.x", mb, "twin (stars): 3 tall, origin at the feet");
  }
  {
    MeshBuilder mb;
    BuildFish(mb, 0x7FB8E8, 0xC8E6FF, 0xFFFFFF);
    Save(out, kRoot + "Character/Enemy/sakana1.x", mb, "fish: about 2 long, centred");
  }
  {
    MeshBuilder mb;
    BuildFish(mb, 0xF08A3C, 0xFFD29A, 0xFFF4C0);
    Save(out, kRoot + "Character/Enemy/sakana2.x", mb, "fish: about 2 long, centred");
  }
  // The water jar: an amphora with handles and a stream at its lip.
  {
    MeshBuilder mb;
    mb.Material(Mat(0xFFFFFF, "Character/Enemy/mizugame_t.png", 0.22f, 30, 0.5f));
    Lathe(mb, {0, 0, 0},
          {{0.7f, 0.0f},
           {1.15f, 0.45f},
           {1.4f, 1.05f},
           {1.3f, 1.6f},
           {0.85f, 2.1f},
           {0.55f, 2.45f},
           {0.72f, 2.7f},
           {0.78f, 2.82f}},
          24);
    mb.Material(Mat(0xF2C14E, "", 0.4f, 40, 0.9f));
    for (float side : {-1.0f, 1.0f})
      mb.Tube({{side * 0.6f, 2.3f, 0},
               {side * 1.25f, 2.45f, 0},
               {side * 1.45f, 1.9f, 0},
               {side * 1.3f, 1.45f, 0}},
              {0.09f, 0.09f, 0.09f, 0.09f}, 8);
    mb.Material(Glow(0x86E1FF, 0.9f));
    mb.Tube({{0, 2.78f, 0.5f}, {0, 3.05f, 0.9f}, {0, 2.7f, 1.35f}, {0, 2.1f, 1.55f}},
            {0.12f, 0.16f, 0.14f, 0.08f}, 8);
    mb.Cylinder({0, 2.78f, 0}, 2.8f, 0.7f, 0.7f, 20);
    Save(out, kRoot + "Character/Enemy/mizugame.x", mb, "water jar: 2.8 tall, origin at its foot");
  }
  // The emperor's head, floating: a stern face under a crown board.
  {
    MeshBuilder mb;
    const int face = mb.Material(Mat(0xE8C27A, "Character/Boss/tentei_t.png", 0.22f, 40, 0.7f));
    const int beard = mb.Material(Mat(0xE8EEF5, "", 0.3f));
    const int crown = mb.Material(Mat(0x1E1A3A, "", 0.1f, 20, 0.4f));
    const int gold = mb.Material(Mat(0xF2C14E, "", 0.45f, 50, 1.0f));
    const int eyes = mb.Material(Glow(0x9FE8FF, 1.0f));
    mb.Use(face);
    mb.Sphere({0, 2.4f, 0}, {1.35f, 1.7f, 1.25f}, 20, 14);
    mb.Sphere({0, 2.3f, 1.15f}, {0.22f, 0.38f, 0.25f}, 10, 8);  // nose
    for (float side : {-1.0f, 1.0f})
      mb.Sphere({side * 1.32f, 2.4f, 0.1f}, {0.2f, 0.42f, 0.28f}, 10, 8);
    mb.Use(beard);
    mb.Cylinder({0, 0.35f, 0.45f}, 1.75f, 0.1f, 0.95f, 16);
    mb.Tube({{-0.55f, 1.95f, 1.05f}, {-0.95f, 1.7f, 0.95f}, {-1.2f, 1.2f, 0.7f}},
            {0.12f, 0.1f, 0.06f}, 6);
    mb.Tube({{0.55f, 1.95f, 1.05f}, {0.95f, 1.7f, 0.95f}, {1.2f, 1.2f, 0.7f}}, {0.12f, 0.1f, 0.06f},
            6);
    for (float side : {-1.0f, 1.0f})
      mb.Tube(
          {{side * 0.15f, 2.95f, 1.12f}, {side * 0.5f, 3.1f, 1.05f}, {side * 0.85f, 3.05f, 0.85f}},
          {0.08f, 0.08f, 0.05f}, 6);  // eyebrows
    mb.Use(eyes);
    mb.Sphere({-0.45f, 2.7f, 1.05f}, {0.17f, 0.1f, 0.08f}, 10, 6);
    mb.Sphere({0.45f, 2.7f, 1.05f}, {0.17f, 0.1f, 0.08f}, 10, 6);
    mb.Use(crown);
    mb.Cylinder({0, 3.7f, 0}, 4.15f, 0.95f, 0.85f, 18);
    mb.Box({0, 4.25f, 0}, {2.6f, 0.12f, 1.8f});  // the crown board
    mb.Use(gold);
    mb.Cylinder({0, 3.68f, 0}, 3.8f, 1.0f, 1.0f, 18);
    for (int k = 0; k < 9; ++k) {  // bead strings at front and back
      const float x = -1.2f + k * 0.3f;
      for (float z : {0.85f, -0.85f}) {
        mb.Tube({{x, 4.2f, z}, {x, 3.45f, z}}, {0.02f, 0.02f}, 4);
        mb.Sphere({x, 3.4f, z}, {0.06f, 0.06f, 0.06f}, 6, 4);
      }
    }
    mb.Use(eyes);
    mb.Star({0, 3.95f, 0.95f}, 0.3f, 0.12f, 0.08f);
    Save(out, kRoot + "Character/Boss/tentei.x", mb,
         "emperor's head: 4.3 tall, origin below the beard");
  }
  {
    MeshBuilder mb;
    BuildHand(mb, -1.0f);
    Save(out, kRoot + "Character/Boss/tentei_righthand.x", mb, "right hand: palm down, fingers +z");
  }
  {
    MeshBuilder mb;
    BuildHand(mb, 1.0f);
    Save(out, kRoot + "Character/Boss/tentei_lefthand.x", mb, "left hand: palm down, fingers +z");
  }
}
