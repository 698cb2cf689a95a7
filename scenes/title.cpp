#include "scenes/title.h"

namespace {
// Until the menu exists, successive titles choose start, credits, end in turn
// so that the whole scene sequence can be walked.
int g_nextResult = 0;
}  // namespace

Title::Title() : placeholder_("Title", "オルヴェルーン タイトル"), result_(g_nextResult) {
  g_nextResult = (g_nextResult + 1) % 3;
}

int Title::Start() { return placeholder_.Start(); }
int Title::Update() { return placeholder_.Update(); }
void Title::Draw() { placeholder_.Draw(); }
void Title::Release() {}
int Title::GetResult() { return result_; }

void ResetTitleResultCycle() { g_nextResult = 0; }
