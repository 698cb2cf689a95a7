#include "render/preload.h"

#include "base/report_error.h"
#include "render/constants.h"

namespace {

Mesh g_objectMeshes[kObjectMeshCount];
Mesh g_wallMeshes[kWallMeshCount];
Mesh g_itemMeshes[kItemMeshCount];
Texture* g_sharedTextures[kSharedTextureCount] = {};

}  // namespace

int LoadSharedAssets() {
  for (int i = 0; i < kObjectMeshCount; ++i) {
    if (!g_objectMeshes[i].Load(kAssetPaths[kObjectMeshFirst + i])) {
      ReportError("メッシュの初期化に失敗 -MaterialLoad-");
      return 0;
    }
  }
  for (int i = 0; i < kWallMeshCount; ++i) {
    if (!g_wallMeshes[i].Load(kAssetPaths[kWallMeshFirst + i])) {
      ReportError("ウォールメッシュの初期化に失敗 -MaterialLoad-");
      return 0;
    }
  }
  for (int i = 0; i < kItemMeshCount; ++i) {
    if (!g_itemMeshes[i].Load(kAssetPaths[kItemMeshFirst + i])) {
      ReportError("ITEMの初期化に失敗 -MaterialLoad-");
      return 0;
    }
  }
  for (int i = 0; i < kSharedTextureCount; ++i) {
    g_sharedTextures[i] = LoadTexture(kAssetPaths[kSharedTextureFirst + i]);
    if (!g_sharedTextures[i]) {
      ReportError("テクスチャの読み込みに失敗 -MaterialLoad-");
      return 0;
    }
  }
  return 1;
}

void ReleaseSharedAssets() {
  for (Texture*& t : g_sharedTextures) {
    if (t) {
      t->Release();
      t = nullptr;
    }
  }
  for (Mesh& m : g_itemMeshes) m.Release();
  for (Mesh& m : g_wallMeshes) m.Release();
  for (Mesh& m : g_objectMeshes) m.Release();
}

Mesh* GetObjectMesh(int number) {
  return &g_objectMeshes[number];
}
Mesh* GetWallMesh(int number) {
  return &g_wallMeshes[number];
}
Mesh* GetItemMesh(int number) {
  return &g_itemMeshes[number];
}
Texture* GetSharedTexture(int number) {
  return g_sharedTextures[number];
}
