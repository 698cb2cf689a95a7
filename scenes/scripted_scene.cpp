#include "scenes/scripted_scene.h"

Opening::Opening() : placeholder_("Opening", "オープニング") {}
int Opening::Start() { return placeholder_.Start(); }
int Opening::Update() { return placeholder_.Update(); }
void Opening::Draw() { placeholder_.Draw(); }
void Opening::Release() {}

Ending::Ending() : placeholder_("Ending", "エンディング") {}
int Ending::Start() { return placeholder_.Start(); }
int Ending::Update() { return placeholder_.Update(); }
void Ending::Draw() { placeholder_.Draw(); }
void Ending::Release() {}
