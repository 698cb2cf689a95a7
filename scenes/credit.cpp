#include "scenes/credit.h"

Credit::Credit() : placeholder_("Credit", "スタッフロール") {}
int Credit::Start() { return placeholder_.Start(); }
int Credit::Update() { return placeholder_.Update(); }
void Credit::Draw() { placeholder_.Draw(); }
void Credit::Release() {}
