#include "world/devices.h"

#include "app/json_writer.h"
#include "platform/graphics.h"
#include "render/constants.h"
#include "render/preload.h"
#include "scenes/game_state.h"
#include "world/world_values.h"

namespace {
const char* const kBridgeMeshNames[4] = {"bridge_a.x", "bridge_b.x", "handrail_a.x", "handrail_b.x"};
}

Gate::Gate() : leaf1(GetObjectMesh(kMeshGate1)), leaf2(GetObjectMesh(kMeshGate2)) { size = {6, 6, 6}; }

Bridge::Bridge(int number) : mesh(GetObjectMesh(number)), meshNumber(number) {
  gimmickKind = kKindBridge;
  alpha = 0;
  SetBridgeFront(0);
  SetBridgeTimer(0);
  SetBridgeAdvance(0);
}

int Bridge::Init() {
  if (GetBridgeFront() == 0) SetBridgeFront(position.x);
  UpdateMatrix();
  return 1;
}

void Bridge::Draw() {
  if (alpha == 0) return;
  GetDevice()->SetTransform(D3DTS_WORLD, world);
  BeginTranslucent(alpha);
  mesh->Draw();
  EndTranslucent();
  GraphicsDevice* d = GetDevice();
  d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
}

void Bridge::DumpParameters(JsonWriter& json) const {
  json.Key("mesh").String(meshNumber >= kMeshBridgeA && meshNumber <= kMeshHandrailB
                              ? kBridgeMeshNames[meshNumber - kMeshBridgeA]
                              : "?");
}

MoveBlock::MoveBlock(int blockGroup, float time, const Vec3& travel)
    : mesh(GetObjectMesh(kMeshBox)), group(blockGroup), travelTime(time), offset(travel) {
  World().riddenGroup = 0;
}

void MoveBlock::DumpParameters(JsonWriter& json) const {
  json.Key("group").Int(group);
  json.Key("travel_time").Number(travelTime);
  json.Key("offset").Vec(offset);
}
