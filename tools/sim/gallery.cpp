#include "tools/sim/gallery.h"

#include <memory>
#include <vector>

#include "base/text_encoding.h"
#include "platform/graphics.h"
#include "platform/png_image.h"
#include "render/constants.h"
#include "render/lighting.h"
#include "render/preload.h"
#include "render/primitives.h"
#include "render/text_drawing.h"
#include "render/view.h"
#include "world/enemies.h"
#include "world/field_chip.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/run_state.h"
#include "world/stage_meshes.h"
#include "world/world_values.h"

namespace {

void SetLights(GraphicsDevice* d) {
  D3DLIGHT9 key{};
  key.Type = D3DLIGHT_DIRECTIONAL;
  key.Diffuse = {0.75f, 0.8f, 1.0f, 1};
  key.Direction = {0.4f, -0.8f, 0.6f};
  d->SetLight(0, key);
  d->LightEnable(0, true);
  D3DLIGHT9 fill{};
  fill.Type = D3DLIGHT_DIRECTIONAL;
  fill.Diffuse = {0.45f, 0.35f, 0.25f, 1};
  fill.Direction = {-0.6f, -0.2f, -0.3f};
  d->SetLight(1, fill);
  d->LightEnable(1, true);
}

void DrawAt(GraphicsDevice* d, Mesh* mesh, const Vec3& p, float yawDegrees, float scale = 1.0f) {
  d->SetTransform(D3DTS_WORLD, MatrixScaling(scale, scale, scale) *
                                   MatrixRotationY(yawDegrees * kDegToRad) *
                                   MatrixTranslation(p.x, p.y, p.z));
  mesh->Draw();
}

}  // namespace

bool DrawGallery(const std::string& pngPath, std::string* error) {
  GraphicsDevice* d = GetDevice();
  Sprite* sprite = GetSprite();
  // Per-class models are loaded here as their classes will load them.
  const char* classModels[] = {kEnemyMeshPath,    kScorpionMeshPath,   kPolluxMeshPath,
                               kCastorMeshPath,   kFishMeshPaths[0],   kFishMeshPaths[1],
                               kAquariusMeshPath, kProvidenceMeshPath, kRightHandMeshPath,
                               kLeftHandMeshPath};
  std::vector<std::unique_ptr<Mesh>> models;
  for (const char* path : classModels) {
    auto m = std::make_unique<Mesh>();
    if (!m->Load(path)) {
      *error = std::string("cannot load ") + path;
      return false;
    }
    models.push_back(std::move(m));
  }
  d->BeginScene();
  d->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
  d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  const Vec3 eye{0, 7, -17};
  d->SetTransform(D3DTS_VIEW, MatrixLookAtLH(eye, {0, 1.5f, 0}, kUp));
  d->SetTransform(D3DTS_PROJECTION,
                  MatrixPerspectiveFovLH(60 * kDegToRad, 1280.0f / 720.0f, 0.1f, 500.0f));
  SetLights(d);
  // The sky around everything.
  d->SetTransform(D3DTS_WORLD, MatrixTranslation(0, -80, 0));
  GetObjectMesh(kMeshSpaceBall)->Draw();
  // Back row: the stage pieces.
  DrawAt(d, GetObjectMesh(kMeshBox), {-9, 0, 4}, 30);
  DrawAt(d, GetObjectMesh(kMeshBox), {-8, 0, 4}, 0);
  d->SetTransform(D3DTS_WORLD, MatrixTranslation(-7, 0, 4));
  GetObjectMesh(kMeshBox)->DrawWithTexture(GetSharedTexture(kTexWood));
  d->SetTransform(D3DTS_WORLD, MatrixTranslation(-6, 0, 4));
  GetObjectMesh(kMeshBox)->DrawWithTexture(GetSharedTexture(kTexRock));
  DrawAt(d, GetObjectMesh(kMeshStar), {-4.5f, 1.2f, 4}, 20, 1.5f);
  DrawAt(d, GetWallMesh(0), {0, 1.25f, 6}, 0);
  DrawAt(d, GetObjectMesh(kMeshGate1), {4, -0.5f, 6}, 0);
  DrawAt(d, GetObjectMesh(kMeshGate2), {10.5f, -0.5f, 6}, 0);
  DrawAt(d, GetObjectMesh(kMeshInfoBoard), {-2.5f, -0.5f, 2}, 20);
  DrawAt(d, GetItemMesh(0), {-3.8f, -0.5f, 2}, 30);
  for (int k = 0; k < 3; ++k)
    DrawAt(d, GetObjectMesh(k == 2 ? kMeshBridgeB : kMeshBridgeA), {6.0f + k, -0.5f, 1}, 90);
  DrawAt(d, GetObjectMesh(kMeshHandrailA), {6, -0.5f, 1.3f}, 90);
  DrawAt(d, GetObjectMesh(kMeshHandrailB), {7, -0.5f, 1.3f}, 90);
  // Front row: the characters.
  DrawAt(d, GetObjectMesh(kMeshPlayer), {-8, 0, -3}, 200);
  DrawAt(d, models[0].get(), {-6.3f, 0, -3}, 200);
  DrawAt(d, models[1].get(), {-3, 0, -1}, 210);
  DrawAt(d, models[2].get(), {0.3f, 0, -2}, 190);
  DrawAt(d, models[3].get(), {2.6f, 0, -2}, 170);
  DrawAt(d, models[4].get(), {4.6f, 1.2f, -3.5f}, 120);
  DrawAt(d, models[6].get(), {7.2f, 0, -1}, 180);
  DrawAt(d, models[7].get(), {11.5f, 0, 1}, 200, 0.8f);
  DrawAt(d, models[8].get(), {10.5f, 0, -4}, 160, 0.6f);
  // The HUD where the screens put it.
  Texture* atlas = GetSharedTexture(kTexHudAtlas);
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(Matrix::Identity());
  const RECT gauge{1086, 0, 1086 + 457, 171};  // life 5
  const Vec3 gaugePos{11, 12, 0}, markPos{64, 62, 0}, labelPos{201, 62, 0};
  sprite->Draw(atlas, &gauge, nullptr, &gaugePos, 0xFFFFFFFF);
  const RECT mark{293, 212, 293 + 90, 212 + 56};
  sprite->Draw(atlas, &mark, nullptr, &markPos, 0xFFFFFFFF);
  const RECT label{293, 268, 293 + 142, 268 + 39};
  sprite->Draw(atlas, &label, nullptr, &labelPos, 0xFFFFFFFF);
  const Vec3 framePos{1168, 334, 0};
  sprite->Draw(GetSharedTexture(kTexFieldFrame), nullptr, nullptr, &framePos, 0xFFFFFFFF);
  sprite->SetTransform(MatrixScaling(0.3f, 0.7f, 1) * MatrixTranslation(1196, 358, 0));
  const RECT bar{155, 0, 293, 471};
  sprite->Draw(atlas, &bar, nullptr, nullptr, 0xFFFFFFFF);
  sprite->SetTransform(Matrix::Identity());
  const Vec3 markerPos{1208, 358 + 471 * 0.7f * 0.4f - 32, 0};
  sprite->Draw(GetSharedTexture(kTexMapPlayer), nullptr, nullptr, &markerPos, 0xFFFFFFFF);
  const RECT panel{293, 0, 629, 212};
  const Vec3 panelPos{kBoardTextPos.x, kBoardTextPos.y, 0};
  sprite->Draw(atlas, &panel, nullptr, &panelPos, 0xFFFFFFFF);
  const RECT picture{128, 0, 256, 128};
  const Vec3 picturePos{kBoardTextPos.x + 200, kBoardTextPos.y + 84, 0};
  sprite->Draw(GetSharedTexture(kTexButtons), &picture, nullptr, &picturePos, 0xFFFFFFFF);
  const std::string text = Utf8ToSjis("スペースキーで\n足元のかけらを\n持ち上げる");
  DrawBoardText(text.c_str(), kBoardTextPos);
  sprite->End();
  d->EndScene();
  d->Present();
  Image image;
  if (!d->ReadLastFrame(&image.width, &image.height, &image.argb)) {
    *error = "the device draws no pictures (the gallery needs OpenGL)";
    return false;
  }
  return SavePng(pngPath, image, error);
}

bool DrawStageView(int stageIndex, const std::string& pngPath, std::string* error) {
  GraphicsDevice* d = GetDevice();
  ResetDrawView();
  // The stage stands in a run of its own.
  RunState run;
  run.game.stageNumber = stageIndex < 4 ? stageIndex : 0;
  StageMeshes meshes;
  run.stageMeshes = &meshes;
  if (!meshes.LoadAll()) {
    *error = "cannot load the enemy models";
    return false;
  }
  CharacterList characters;
  auto* player = new Player(run);
  characters.push_back(player);
  GimmickNode* head = nullptr;
  FieldChip reader(run);
  if (!reader.Load(head, characters, stageIndex)) {
    *error = "cannot read the stage";
    return false;
  }
  bool ok = true;
  for (GimmickNode* n = head; n; n = n->next) ok = ok && n->object->Init(run);
  for (CharacterBase* c : characters) ok = ok && c->Init(run);
  if (!ok) *error = "an object failed to initialise";
  // One action each, so every gimmick has built its matrix.
  for (GimmickNode* n = head; ok && n; n = n->next) n->object->Action(run, player);
  if (ok) {
    Light lights;
    ok = lights.Load() != 0;
    if (!ok) *error = "cannot read the light files";
    lights.Apply(0);
  }
  if (ok) {
    d->BeginScene();
    d->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    const Vec3 p = player->position;
    d->SetTransform(D3DTS_VIEW, MatrixLookAtLH(p + Vec3{-9, 9, -7}, p + Vec3{9, 0, -1}, kUp));
    d->SetTransform(D3DTS_PROJECTION,
                    MatrixPerspectiveFovLH(60 * kDegToRad, 1280.0f / 720.0f, 0.1f, 500.0f));
    for (GimmickNode* n = head; n; n = n->next) n->object->Draw(run);
    for (CharacterBase* c : characters) {
      c->groundPoint = {c->position.x, c->upsideDown ? -0.5f : 0.5f, c->position.z};
      c->Draw(run);
    }
    d->EndScene();
    d->Present();
    Image image;
    if (!d->ReadLastFrame(&image.width, &image.height, &image.argb)) {
      *error = "the device draws no pictures";
      ok = false;
    } else {
      ok = SavePng(pngPath, image, error);
    }
  }
  DeleteGimmickList(head);
  for (CharacterBase* c : characters) c->Release();  // the list deletes them
  return ok;
}
