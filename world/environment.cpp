#include "world/environment.h"

#include <cmath>

#include "base/det_math.h"
#include "base/report_error.h"
#include "platform/graphics.h"
#include "render/preload.h"
#include "world/camera.h"
#include "world/game_state.h"
#include "world/run_state.h"
#include "world/world_values.h"

Sky::Sky() : mesh(GetObjectMesh(kMeshSpaceBall)) {}

void Sky::UpdateAndDraw(RunState& run, const CharacterBase& player) {
  const Vec3& p = player.position;
  const Vec3 target{p.x, player.upsideDown ? p.y + 80 : p.y - 80, p.z};
  rotation.y += 0.025f;
  if (rotation.y >= 360) rotation.y = 0;
  if (run.camera.mode != kCameraFlip) position = target;
  UpdateMatrix();
  GetDevice()->SetTransform(D3DTS_WORLD, world);
  mesh->Draw();
}

int RiverSurface::Create() {
  polygon_.color = 0xFFFFFFFF;
  if (!polygon_.CreateFan(0)) {
    ReportError("ポリゴンの作成に失敗 -Wave-");
    return 0;
  }
  return 1;
}

void RiverSurface::Scroll() {
  offset1_.x -= 0.0008f;
  if (offset1_.x < 0) offset1_.x = 1.0f;
  offset2_.x -= 0.001f;
  if (offset2_.x < 0) offset2_.x = 1.0f;
}

void RiverSurface::DrawLayers(const Matrix& base, float y1, float y2) {
  GraphicsDevice* d = GetDevice();
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  d->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  Matrix m = base;
  m[3][1] = y1;
  d->SetTransform(D3DTS_WORLD, m);
  polygon_.DrawScrolled(GetSharedTexture(kTexRiver1), offset1_);
  m[3][1] = y2;
  d->SetTransform(D3DTS_WORLD, m);
  polygon_.DrawScrolled(GetSharedTexture(kTexRiver2), offset2_);
  d->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
  d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
}

void RiverSurface::Draw(RunState& run, const CharacterBase& player, float h) {
  int side = player.upsideDown;
  if (player.state == kStateNormal && run.camera.mode == kCameraFlip) side = !side;
  const float zMin = run.world.frontEdgeZ;
  Matrix m = MatrixRotationYawPitchRoll(kPi / 2, side ? 3 * kPi / 2 : kPi / 2, 0);
  const float r = 50 - zMin;
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 4; ++col) m[row][col] *= r;
  m[3][0] = player.position.x;
  m[3][2] = zMin / 2;
  DrawLayers(m, side ? 0.03f - h : h - 0.03f, side ? 0.02f - h : h - 0.02f);
}

void RiverSurface::DrawTitle() {
  Matrix m = MatrixRotationYawPitchRoll(kPi / 2, kPi / 2, 0);
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 4; ++col) m[row][col] *= 50;
  m[3][0] = 0;
  m[3][2] = 0;
  DrawLayers(m, -5.03f, -5.02f);
}

BreakWave::BreakWave() : mesh(GetObjectMesh(kMeshRiverWave)) {
  position = {-10, -15, 50};
}

int BreakWave::Init(RunState& run) {
  UpdateMatrix();
  midZ = run.world.frontEdgeZ / 2;
  baseX = position.x;
  return 1;
}

void BreakWave::UpdateMatrix() {
  world = MatrixRotationYawPitchRoll(rotation.y * kDegToRad, rotation.x * kDegToRad,
                                     rotation.z * kDegToRad);
  for (int c = 0; c < 4; ++c) {
    world[0][c] *= scale.x;
    world[1][c] *= scale.y;
    world[2][c] *= scale.z;
  }
  world[3][0] = position.x;
  world[3][1] = position.y;
  world[3][2] = position.z;
}

void BreakWave::Action(RunState& run, const CharacterBase& player) {
  if (finished) return;
  const float goalX = run.world.goalX;
  const float zMin = run.world.frontEdgeZ;
  if (goalX <= position.x + stepX && phase == 3) phase = 1;
  if (phase == 3) return;
  if (run.game.gameMode == kModeBossBattle && phase != 1) {
    position.x = goalX - stepX;
    position.z = 50;
    phase = 1;
  }
  rotation = {0, 180, player.upsideDown ? 180.0f : 0.0f};
  const float t = std::fabs((midZ - position.z) / (50 - midZ));
  if (phase == 0 || phase == 1) {
    const int mode = run.game.gameMode;
    position.z -= mode == kModeBlownAway ? 0.4f : mode == kModeBossBattle ? 0.5f : 0.1f;
    scale.y = scale.z = 5 - 4 * t;
    if (!player.upsideDown) {
      position.y = dmath::Sin(rotation.x * kDegToRad) * 0.01f - 15;
      rotation.x = 20 * t;
    } else {
      position.y = 15 - dmath::Sin(rotation.x * kDegToRad) * 0.01f;
      rotation.x = -20 * t;
    }
    if (position.z > midZ) rotation.x = -rotation.x;
    if (position.z < zMin - 50) {
      if (position.x == goalX - stepX) {
        if (phase == 1)
          finished = 1;
        else
          phase = 3;
      } else {
        phase = 2;
      }
    }
  } else if (phase == 2) {
    if (position.z >= 50) {
      phase = 0;
      baseX += stepX;
      rotation.x = player.upsideDown ? 20 * t : -20 * t;
      if (position.z < midZ) rotation.x = -rotation.x;
    } else {
      position.z += 0.5f;
      scale.y = scale.z = 1;
      rotation.x = player.upsideDown ? 20 * t : -20 * t;
      if (position.z < midZ) rotation.x = -rotation.x;
      if (position.x < baseX + stepX) position.x = std::min(position.x + 0.5f, baseX + stepX);
      position.y -= dmath::Sin(rotation.x * kDegToRad) * 0.5f;
    }
  }
  UpdateMatrix();
}

void BreakWave::Draw(RunState&) {
  if (phase == 3 || finished) return;
  Matrix m = world;
  m[3][0] = position.x + stepX - 2;
  GetDevice()->SetTransform(D3DTS_WORLD, m);
  mesh->Draw();
}
