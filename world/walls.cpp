#include "world/walls.h"

#include "app/json_writer.h"
#include "platform/graphics.h"
#include "render/preload.h"

Wall::Wall(int wallPiece) : mesh(GetWallMesh(wallPiece)), piece(wallPiece) {
  size = {6, 5, 6};
  gravity = 0.001f;
}

void Wall::DumpParameters(JsonWriter& json) const { json.Key("piece").Int(piece); }

void Wall::Draw() {
  GetDevice()->SetTransform(D3DTS_WORLD, world);
  if (state < kStateGone || state > kStateBlownAway) {
    mesh->Draw();
  } else if (alpha > 0) {
    BeginTranslucent(alpha);
    mesh->Draw();
    EndTranslucent();
  }
}

RotaWall::RotaWall() : mesh(GetObjectMesh(kMeshRotatingBaseHalf)) { size = {11, 1, 11}; }

RotaWallHalf::RotaWallHalf() {
  mesh = GetObjectMesh(kMeshRotatingBase);
  turnState = 2;
  turnSpeed = 4.0f;
}
