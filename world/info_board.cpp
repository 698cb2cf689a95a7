#include "world/info_board.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/json_writer.h"
#include "base/language.h"
#include "base/report_error.h"
#include "base/text_encoding.h"
#include "platform/graphics.h"
#include "platform/sprite.h"
#include "render/preload.h"
#include "render/sound_sets.h"
#include "render/text_drawing.h"
#include "world/game_state.h"
#include "world/run_state.h"
#include "world/world_values.h"

namespace {

constexpr const char* kInfoTextPath = "Resource_Orvelune/Infomation/infomation.csv";
constexpr const char* kPadInfoTextPath = "Resource_Orvelune/Infomation/infomation_pad.csv";
constexpr float kPanelHiddenY = 720;
constexpr float kPanelOpenY = 508;
constexpr RECT kPanelSource{293, 0, 629, 212};
// Room for a text: what the panel holds, whatever the file says.
constexpr size_t kTextCapacity = 1023;

}  // namespace

void FlushInfoPanel(InfoPanel& panel, PanelRequest& request, InputDevice prompts) {
  if (!request.pending) return;
  request.pending = false;
  DrawInfoPanel(panel, request.textNumber, prompts);
}

InfoEntry ParseInfoLine(const std::string& line) {
  InfoEntry entry;
  entry.number = std::atoi(line.c_str());
  const size_t comma = line.find(',');
  if (comma == std::string::npos) return entry;
  size_t digit = comma + 1;
  bool negative = false;
  if (digit < line.size() && line[digit] == '-') {
    negative = true;
    ++digit;
  }
  if (digit < line.size() && line[digit] >= '0' && line[digit] <= '9') {
    entry.picture = line[digit] - '0';
    if (negative) entry.picture = -entry.picture;
  }
  // The text starts after the digit and the comma that ends it.
  const size_t textStart = digit + 2;
  if (textStart < line.size()) entry.text = line.substr(textStart, kTextCapacity);
  for (char& c : entry.text)
    if (c == ',') c = '\n';
  return entry;
}

int LoadInfoTextsFrom(const std::string& path, std::vector<InfoEntry>* entries) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ReportError("ファイルオープンに失敗 -Infomation-", path);
    ReportErrorDetail(path.c_str());
    return 0;
  }
  entries->clear();
  std::ostringstream bytes;
  bytes << in.rdbuf();
  // Damaged help texts are refused rather than drawn as characters they never had.
  if (RefuseUnreadableText(bytes.str(), "ファイル読み込み失敗 -Infomation-", path)) return 0;
  std::istringstream lines(bytes.str());
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    InfoEntry entry = ParseInfoLine(line);
    entry.text += '\n';
    entries->push_back(std::move(entry));
  }
  return 1;
}

int LoadInfoTexts(InfoPanel& panel) {
  return LoadInfoTextsFrom(LocalizedPath(kInfoTextPath), &panel.entries) &&
         LoadInfoTextsFrom(LocalizedPath(kPadInfoTextPath), &panel.padEntries);
}

void ClearInfoTexts(InfoPanel& panel) {
  panel.entries.clear();
  panel.padEntries.clear();
}

const InfoEntry* FindInfoEntry(const InfoPanel& panel, int n, InputDevice prompts) {
  auto find = [n](const std::vector<InfoEntry>& entries) -> const InfoEntry* {
    for (const InfoEntry& e : entries)
      if (e.number == n) return &e;
    return nullptr;
  };
  const InfoEntry* padEntry = prompts == InputDevice::kPad ? find(panel.padEntries) : nullptr;
  return padEntry ? padEntry : find(panel.entries);
}

void DrawInfoPanel(InfoPanel& p, int n, InputDevice prompts) {
  if (n != 0) p.currentText = n;
  if (p.phase == InfoPanel::kSlidingIn) {
    p.position.y += (kPanelOpenY - p.position.y) / 4;
    if (std::fabs(kPanelOpenY - p.position.y) <= 0.5f) {
      p.position.y = kPanelOpenY;
      p.phase = InfoPanel::kOpen;
    }
  } else if (p.phase == InfoPanel::kSlidingOut) {
    p.position.y += (kPanelHiddenY - p.position.y) / 4;
    if (std::fabs(kPanelHiddenY - p.position.y) <= 0.5f) {
      p.position.y = kPanelHiddenY;
      p.phase = InfoPanel::kClosed;
    }
  }
  Sprite* sprite = GetSprite();
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(Matrix::Identity());
  const Vec3 at{p.position.x, p.position.y, 0};
  sprite->Draw(GetSharedTexture(kTexHudAtlas), &kPanelSource, nullptr, &at, 0xFFFFFFFF);
  const InfoEntry* entry = FindInfoEntry(p, p.currentText, prompts);
  if (entry) {
    DrawBoardText(entry->text.c_str(), p.position);
    sprite->SetTransform(Matrix::Identity());
  }
  if (entry && entry->picture >= 0) {
    // The keyboard's pictures are the texture's top row, the pad's below.
    const int top = prompts == InputDevice::kPad ? 128 : 0;
    const RECT source{128 * entry->picture, top, 128 * entry->picture + 128, top + 128};
    const Vec3 pictureAt{p.position.x + kBoardPictureOffset.x, p.position.y + kBoardPictureOffset.y,
                         0};
    sprite->Draw(GetSharedTexture(kTexButtons), &source, nullptr, &pictureAt, 0xFFFFFFFF);
  }
  sprite->End();
}

InfoBoard::InfoBoard(RunState& run, int number)
    : GimmickBase(run), mesh(GetObjectMesh(kMeshInfoBoard)), textNumber(number) {
  run.world.activeBoard = 0;
}

void InfoBoard::DumpParameters(JsonWriter& json) const {
  json.Key("text").Int(textNumber);
}

void InfoBoard::Action(RunState& run, CharacterBase* player) {
  InfoPanel& p = run.panel;
  const Vec3& pp = player->position;
  const bool touchingNow = std::fabs(position.x - pp.x) < 1 && std::fabs(position.z - pp.z) < 1 &&
                           std::fabs(position.y - pp.y) < 1 && run.game.gameMode != kModeBlownAway;
  if (touchingNow) {
    touching = 1;
    run.world.activeBoard = textNumber;
    if (p.phase == InfoPanel::kClosed || p.phase == InfoPanel::kSlidingOut) {
      p.phase = InfoPanel::kSlidingIn;
      run.sound.PlayOnce(kSeSet);
      run.world.boardReading = 1;
    }
  } else {
    touching = 0;
    if (run.world.activeBoard == textNumber &&
        (p.phase == InfoPanel::kSlidingIn || p.phase == InfoPanel::kOpen)) {
      p.phase = InfoPanel::kSlidingOut;
      run.sound.PlayOnce(kSeSet);
      run.world.boardReading = 0;
    }
  }
  UpdateMatrix();
  FadeWhileDrifting(run);
  GimmickBase::Action(run, player);
}

void InfoBoard::Draw(RunState& run) {
  GetDevice()->SetTransform(D3DTS_WORLD, world);
  if (DriftingAway()) {
    if (alpha > 0) {
      BeginTranslucent(alpha);
      mesh->Draw();
      EndTranslucent();
    }
  } else {
    mesh->Draw();
  }
  // The panel is drawn over the finished world (the sky and the river come
  // after the boards and would cover it), so the board only asks for it.
  if (touching)
    run.panelRequest = {true, textNumber};
  else if (run.world.activeBoard == textNumber && run.panel.phase == InfoPanel::kSlidingOut)
    run.panelRequest = {true, 0};
}
