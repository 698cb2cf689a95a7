// The models and textures many stage objects share, loaded once at start-up
// and kept until the program ends. Objects borrow them by number.
#pragma once

#include "platform/graphics_device.h"
#include "render/mesh.h"

// Object mesh numbers.
enum ObjectMeshNumber {
  kMeshBox = 0,
  kMeshPlayer = 1,
  kMeshSpaceBall = 2,
  kMeshRotatingBaseHalf = 3,
  kMeshRotatingBase = 4,
  kMeshGate1 = 5,
  kMeshGate2 = 6,
  kMeshBridgeA = 7,
  kMeshBridgeB = 8,
  kMeshHandrailA = 9,
  kMeshHandrailB = 10,
  kMeshInfoBoard = 11,
  kMeshStar = 12,
  kMeshRiverWave = 13,
};

// Shared texture numbers.
enum SharedTextureNumber {
  kTexWood = 0,
  kTexRock = 1,
  kTexFade = 2,
  kTexGaugeUi = 3,
  kTexShadow = 4,
  kTexStun = 5,
  kTexStunRotation = 6,
  kTexRiver1 = 7,
  kTexRiver2 = 8,
  kTexHudAtlas = 9,
  kTexMapPlayer = 10,
  kTexButtons = 11,
  kTexFieldFrame = 12,
  kTexPause = 13,
};

// 1 when everything loaded; the first failure stops and reports.
int LoadSharedAssets();
// Releases whatever was loaded; safe after a partial load and when called twice.
void ReleaseSharedAssets();

Mesh* GetObjectMesh(int number);
Mesh* GetWallMesh(int number);
Mesh* GetItemMesh(int number);
Texture* GetSharedTexture(int number);
