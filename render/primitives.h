// Flat geometry drawn in the 3D scene: the unit quad (blob shadows, the stun
// mark's billboard) and the six-vertex fan with a soft rim (the river
// surface), the shared shadow, and the stun effect over a dazed boss.
#pragma once

#include "base/math.h"
#include "platform/graphics_device.h"

class OnePolygon {
 public:
  OnePolygon() = default;
  OnePolygon(const OnePolygon&) = delete;
  OnePolygon& operator=(const OnePolygon&) = delete;
  ~OnePolygon() { Release(); }

  // The 4-vertex quad in the plane z = 0, corners at +-1.
  int CreateQuad();
  // The fan: a centre in the full colour and a rim whose alpha is the colour's
  // alpha ANDed with rimAlpha.
  int CreateFan(int rimAlpha);
  void Release();
  // The quad with lighting off; the caller sets the world and any blending.
  void Draw(Texture* texture);
  // The fan with its texture coordinates shifted by offset.
  void DrawScrolled(Texture* texture, const Vec2& offset);

  D3DCOLOR color = 0xFFFFFFFF;  // set by the owner before creation

 private:
  int Create(const void* vertices, uint32_t vertexBytes, const uint16_t* indices,
             uint32_t indexCount);
  void Bind(Texture* texture);

  VertexBuffer* vertexBuffer_ = nullptr;
  VertexDeclaration* declaration_ = nullptr;
  IndexBuffer* indexBuffer_ = nullptr;
};

// The shared blob shadow, created with the game scene.
int InitShadow();
void ReleaseShadow();
// Draws the shadow at position (the ground point under the owner), sized by
// the owner's box, rolled over for owners on the underside (roll 180).
void DrawShadow(float roll, const Vec3& position, const Vec3& size);

// The shared quad of the stun mark, created with the game scene.
int InitEffect();
void ReleaseEffect();
void SetEffectViewpoint(const Vec3& position);
// The world matrix that turns a half-size quad at p towards the viewpoint.
Matrix BillboardMatrix(const Vec3& p);

// One stun star over a dazed boss: it circles the boss's head and draws the
// dazed mark. A boss owns three.
struct StunEffect {
  float angle = 0;  // degrees, grows by 5 per orbit step
  Matrix orbit;     // the last orbit matrix
  Vec3 lastPoint;   // the boss position when the mark was last drawn
  int hidden = 0;   // the effect-off flag: draws nothing while set

  // The orbit point (x + cos t, y + height + 0.5 or y - height - 0.5 upside
  // down, z + sin t) as a translation; then t += 5 degrees.
  Matrix EffectOrbitMatrix(int upsideDown, float height, const Vec3& position);
  // The mark at the boss: shared texture 6 for variant != 0, else 5.
  void DrawStunEffect(int variant, float height, const Vec3& position);
};
