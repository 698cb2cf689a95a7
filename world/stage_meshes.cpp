#include "world/stage_meshes.h"

#include "base/report_error.h"
#include "render/constants.h"

namespace {

int LoadOne(Mesh& mesh, const char* path, const char* failure) {
  if (mesh.mesh) return 1;
  if (!mesh.Load(path)) {
    ReportError(failure);
    return 0;
  }
  return 1;
}

int LoadEnemy(StageMeshes& m) {
  return LoadOne(m.enemy, kEnemyMeshPath, "メッシュの読み込みに失敗 -mob-");
}
int LoadScorpion(StageMeshes& m) {
  return LoadOne(m.scorpion, kScorpionMeshPath, "メッシュの読み込みに失敗 -Scorpion-");
}
int LoadTwins(StageMeshes& m) {
  return LoadOne(m.pollux, kPolluxMeshPath, "メッシュの読み込みに失敗 -hutago1-") &&
         LoadOne(m.castor, kCastorMeshPath, "メッシュの読み込みに失敗 -hutago2-");
}
int LoadFish(StageMeshes& m) {
  for (int i = 0; i < 2; ++i)
    if (!LoadOne(m.fish[i], kFishMeshPaths[i], "メッシュの読み込みに失敗 -JumpFish-")) return 0;
  return 1;
}

}  // namespace

int StageMeshes::Load(int stageNumber) {
  switch (stageNumber) {
    case 0:
      return LoadScorpion(*this) && LoadEnemy(*this);
    case 1:
      return LoadTwins(*this) && LoadEnemy(*this);
    case 2:
      return LoadFish(*this);
    default:
      return 1;
  }
}

int StageMeshes::LoadAll() {
  return LoadEnemy(*this) && LoadScorpion(*this) && LoadTwins(*this) && LoadFish(*this);
}

void StageMeshes::Release() {
  for (Mesh* m : {&enemy, &scorpion, &pollux, &castor, &fish[0], &fish[1]}) m->Release();
}
