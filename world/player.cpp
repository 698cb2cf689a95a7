#include "world/player.h"

#include "platform/graphics.h"
#include "render/preload.h"
#include "render/primitives.h"
#include "scenes/game_state.h"

Player::Player() : mesh(GetObjectMesh(kMeshPlayer)) {
  rotation = {0, 90, 0};
  size = {1, 2, 1};
  kind = 1;
  ResetLife();
}

int Player::Init() {
  UpdateMatrix();
  return 1;
}

void Player::Update() { CharacterBase::Update(); }

void Player::Draw() {
  GetDevice()->SetTransform(D3DTS_WORLD, world);
  mesh->Draw();
  if (state == kStateNormal && GetFadeAlpha() == 0) DrawShadow(rotation.z, groundPoint, size);
}
