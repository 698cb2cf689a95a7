#include "world/enemies.h"

#include <cmath>

#include "app/random.h"
#include "app/report_error.h"
#include "platform/graphics.h"
#include "render/constants.h"
#include "render/mesh.h"
#include "render/preload.h"
#include "scenes/game_state.h"

namespace {

// Meshes shared by every object of a class, loaded with the stage that uses it.
Mesh g_enemyMesh;
Mesh g_scorpionMesh;
Mesh g_polluxMesh;
Mesh g_castorMesh;
Mesh g_fishMeshes[2];

int LoadShared(Mesh& mesh, const char* path, const char* failure) {
  if (mesh.mesh) return 1;
  if (!mesh.Load(path)) {
    ReportError(failure);
    return 0;
  }
  return 1;
}

void DrawCharacterMesh(CharacterBase& c, Mesh& mesh) {
  GetDevice()->SetTransform(D3DTS_WORLD, c.world);
  mesh.Draw();
}

void DrawCharacterShadow(const CharacterBase& c) { DrawShadow(c.rotation.z, c.groundPoint, c.size); }

}  // namespace

// ---- EnemyBase ----------------------------------------------------------------

void EnemyBase::Act(CharacterList&) {}
void EnemyBase::Search(CharacterBase*) {}
void EnemyBase::Move() {}
void EnemyBase::CountStun() {}
void EnemyBase::HitCharacters(CharacterList&) {}
void EnemyBase::CountWait() {}

// ---- Enemy ----------------------------------------------------------------------

Enemy::Enemy() {
  size = {1, 1, 1};
  isMob = 1;
}

void Enemy::Draw() {
  DrawCharacterMesh(*this, g_enemyMesh);
  DrawCharacterShadow(*this);
}

int LoadEnemyMesh() { return LoadShared(g_enemyMesh, kEnemyMeshPath, "メッシュの読み込みに失敗 -mob-"); }
void ReleaseEnemyMesh() { g_enemyMesh.Release(); }

// ---- Boss and Scorpion ----------------------------------------------------------

void Boss::Draw() {}

Scorpion::Scorpion() {
  size = {4, 3, 3};
  position = {0, 7, -10};
  rotation = {0, -90, 0};
}

void Scorpion::Draw() {
  DrawCharacterMesh(*this, g_scorpionMesh);
  Boss::Draw();
  if (state == kStateNormal) DrawCharacterShadow(*this);
}

int LoadScorpionMesh() {
  return LoadShared(g_scorpionMesh, kScorpionMeshPath, "メッシュの読み込みに失敗 -Scorpion-");
}
void ReleaseScorpionMesh() { g_scorpionMesh.Release(); }

// ---- The twins ----------------------------------------------------------------------

CastorsWeapon::CastorsWeapon() {
  size = {1, 1, 1};
  rotation = {0, 0, 90};
}

Castor::Castor() {
  size = {2, 3, 2};
  position = {0, 7, -10};
  rotation = {0, -90, 0};
  enemyFlag = kEnemyActive;
  twin = 1;
}

void Castor::Draw() {
  DrawCharacterMesh(*this, g_castorMesh);
  if (state == kStateNormal) DrawCharacterShadow(*this);
}

Pollux::Pollux() {
  size = {2, 3, 2};
  position = {0, 7, -10};
  rotation = {0, -90, 0};
  twin = 2;
}

void Pollux::Draw() {
  DrawCharacterMesh(*this, g_polluxMesh);
  if (state == kStateNormal) DrawCharacterShadow(*this);
}

int LoadTwinMeshes() {
  return LoadShared(g_polluxMesh, kPolluxMeshPath, "メッシュの読み込みに失敗 -hutago1-") &&
         LoadShared(g_castorMesh, kCastorMeshPath, "メッシュの読み込みに失敗 -hutago2-");
}
void ReleaseTwinMeshes() {
  g_polluxMesh.Release();
  g_castorMesh.Release();
}

// ---- Aquarius and Pisces ------------------------------------------------------------

Aquarius::Aquarius() : mesh(new Mesh()) {
  size = {4, 3, 3};
  position = {0, 7, -10};
  rotation = {0, -90, 0};
  velocity = {0.1f, 0, 0};
}

Aquarius::~Aquarius() { delete mesh; }

int Aquarius::Init() {
  if (!mesh->Load(kAquariusMeshPath)) return 0;
  UpdateMatrix();
  return 1;
}

void Aquarius::Draw() {
  DrawCharacterMesh(*this, *mesh);
  if (state == kStateNormal) DrawCharacterShadow(*this);
}

void Aquarius::Release() { mesh->Release(); }

Pisces::Pisces() {
  size = {4, 4, 4};
  isMob = 1;
  enemyFlag = kEnemyActive;
  gravityOn = 1;
  mesh = &g_fishMeshes[GameRand() % 2];
  float heading = static_cast<float>(GameRand() % 181);
  if (GameRand() % 2) heading = -heading;
  rotation = {0, heading, 0};
  velocity = {std::sin(heading * kDegToRad) * 0.3f, 0, std::cos(heading * kDegToRad) * 0.3f};
  forwardSpeed = GameRand() % 2 ? 0.2f : 0.1f;
}

void Pisces::Draw() {
  DrawCharacterMesh(*this, *mesh);
  if (state == kStateNormal) DrawCharacterShadow(*this);
}

int LoadFishMeshes() {
  for (int i = 0; i < 2; ++i)
    if (!LoadShared(g_fishMeshes[i], kFishMeshPaths[i], "メッシュの読み込みに失敗 -JumpFish-")) return 0;
  return 1;
}
void ReleaseFishMeshes() {
  for (Mesh& m : g_fishMeshes) m.Release();
}

// ---- Providence and its hands ------------------------------------------------------

Providence::Providence() : mesh(new Mesh()), rightHand(new RightHand()), leftHand(new LeftHand()) {
  size = {4, 5, 4};
  crushRadius = 1.0f;
  velocity = {-0.1f, 0, 0};
}

Providence::~Providence() { delete mesh; }

int Providence::Init() {
  if (!mesh->Load(kProvidenceMeshPath)) {
    ReportError("メッシュの読み込みに失敗-Providence-");
    return 0;
  }
  homePosition = position;
  UpdateMatrix();
  return 1;
}

void Providence::Draw() {
  DrawCharacterMesh(*this, *mesh);
  if (state == kStateNormal || state == kStateSpecial) DrawCharacterShadow(*this);
  for (StarBurst& b : bursts) b.Draw();
}

void Providence::Release() { mesh->Release(); }

RightHand::RightHand() : mesh(new Mesh()) {
  size = {3, 2, 3};
  velocity = {-0.1f, 0, 0};
}

RightHand::~RightHand() { delete mesh; }

int RightHand::Init() {
  if (!mesh->Load(kRightHandMeshPath)) {
    ReportError("メッシュの読み込みに失敗 -RightHand-");
    return 0;
  }
  position.y = 0.5f;
  UpdateMatrix();
  return 1;
}

void RightHand::Draw() {
  DrawCharacterMesh(*this, *mesh);
  if ((state == kStateNormal || state == kStateSpecial) && action != 1) DrawCharacterShadow(*this);
}

void RightHand::Release() { mesh->Release(); }

LeftHand::LeftHand() : mesh(new Mesh()) {
  size = {3, 2, 3};
  crushRadius = 1.0f;
  velocity = {-0.1f, 0, 0};
}

LeftHand::~LeftHand() { delete mesh; }

int LeftHand::Init() {
  if (!mesh->Load(kLeftHandMeshPath)) {
    ReportError("メッシュの読み込みに失敗 -LeftHand-");
    return 0;
  }
  position.y = 0.5f;
  UpdateMatrix();
  return 1;
}

void LeftHand::Draw() {
  DrawCharacterMesh(*this, *mesh);
  if (state == kStateNormal || state == kStateSpecial) DrawCharacterShadow(*this);
  burst.Draw();
}

void LeftHand::Release() { mesh->Release(); }
