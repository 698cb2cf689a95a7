#include "scenes/placeholder_scene.h"

#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/text_encoding.h"

PlaceholderScene::PlaceholderScene(const char* name, const char* caption)
    : name_(name),
      text_(Utf8ToSjis(std::string(caption) + "\n" + name + "\nReturnキーで次の場面へ")) {}

int PlaceholderScene::Update() {
  if (IsKeyPressed(DIK_RETURN) || IsPadPressed(XINPUT_GAMEPAD_A)) return 0;
  return 1;
}

void PlaceholderScene::Draw() {
  Sprite* sprite = GetSprite();
  if (!sprite) return;
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  DrawScriptText(text_.c_str(), 3, 0, Vec2{120, 200});
  sprite->End();
}
