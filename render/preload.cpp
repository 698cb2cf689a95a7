#include "render/preload.h"

#include "base/report_error.h"
#include "render/constants.h"
#include "render/shared_content.h"

int LoadSharedAssets() {
  SharedContent& shared = Shared();
  for (int i = 0; i < kObjectMeshCount; ++i) {
    if (!shared.objectMeshes[i].Load(kAssetPaths[kObjectMeshFirst + i])) {
      ReportError("メッシュの初期化に失敗 -MaterialLoad-");
      return 0;
    }
  }
  for (int i = 0; i < kWallMeshCount; ++i) {
    if (!shared.wallMeshes[i].Load(kAssetPaths[kWallMeshFirst + i])) {
      ReportError("ウォールメッシュの初期化に失敗 -MaterialLoad-");
      return 0;
    }
  }
  for (int i = 0; i < kItemMeshCount; ++i) {
    if (!shared.itemMeshes[i].Load(kAssetPaths[kItemMeshFirst + i])) {
      ReportError("ITEMの初期化に失敗 -MaterialLoad-");
      return 0;
    }
  }
  for (int i = 0; i < kSharedTextureCount; ++i) {
    shared.textures[i] = LoadTexture(kAssetPaths[kSharedTextureFirst + i]);
    if (!shared.textures[i]) {
      ReportError("テクスチャの読み込みに失敗 -MaterialLoad-");
      return 0;
    }
  }
  return 1;
}

void ReleaseSharedAssets() {
  SharedContent& shared = Shared();
  for (Texture*& t : shared.textures) {
    if (t) {
      t->Release();
      t = nullptr;
    }
  }
  for (Mesh& m : shared.itemMeshes) m.Release();
  for (Mesh& m : shared.wallMeshes) m.Release();
  for (Mesh& m : shared.objectMeshes) m.Release();
}

Mesh* GetObjectMesh(int number) {
  return &Shared().objectMeshes[number];
}
Mesh* GetWallMesh(int number) {
  return &Shared().wallMeshes[number];
}
Mesh* GetItemMesh(int number) {
  return &Shared().itemMeshes[number];
}
Texture* GetSharedTexture(int number) {
  return Shared().textures[number];
}
