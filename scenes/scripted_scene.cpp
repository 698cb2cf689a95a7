#include "scenes/scripted_scene.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "base/failed_files.h"
#include "base/language.h"
#include "base/report_error.h"
#include "base/text_encoding.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/sprite.h"
#include "render/constants.h"
#include "render/mesh.h"
#include "render/sound_sets.h"
#include "render/text_drawing.h"

namespace {

constexpr size_t kPageBytes = 511;
constexpr float kPlaceX[4] = {0, 320, 640, 935};
enum EventSoundNumber { kEventNextPage = 0, kEventShowAll = 1 };

// The ending's own pictures: the two meet on the western bank, then cross
// the bridge of stars.
constexpr const char* kEndingBackdrops[] = {"Resource_Orvelune/Event/Ending/meeting.png",
                                            "Resource_Orvelune/Event/Ending/bridge.png", nullptr};

// Applies one line's portrait commands to a page.
void PlacePortraits(const std::string& commands, ScriptPage* page) {
  bool left = false, right = false, inner = false, outer = false;
  int place = 0;
  for (size_t i = 0; i < commands.size(); ++i) {
    const char c = commands[i];
    if (c == 'l')
      left = true;
    else if (c == 'r')
      right = true;
    else if (c == 'i')
      inner = true;
    else if (c == 'o')
      outer = true;
    else if (c == '/')
      left = right = inner = outer = false;
    else if (c == '.' && i + 1 < commands.size()) {
      const char who = commands[++i];
      if (outer && left)
        place = 0;
      else if (inner && left)
        place = 1;
      else if (outer && right)
        place = 3;
      else if (inner && right)
        place = 2;
      const int portrait = who == 'h' ? 0 : who == 'o' ? 1 : who == 't' ? 2 : -1;
      if (portrait >= 0) page->place[portrait] = place;
      if (who == 'm') page->backdrop = 0;
      if (who == 'b') page->backdrop = 1;
    }
  }
}

}  // namespace

std::vector<ScriptPage> ParseScript(const std::string& bytes) {
  std::vector<ScriptPage> pages;
  std::istringstream in(bytes);
  std::string line;
  int backdrop = -1;  // a picture stays from the page that asks for it
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find("scane_end") != std::string::npos) break;
    if (line.empty()) continue;
    const char kind = line[0];
    if (kind != 'n' && kind != 'h' && kind != 'o' && kind != 't') continue;
    ScriptPage page;
    page.speaker = kind == 'h' ? 0 : kind == 'o' ? 1 : kind == 't' ? 2 : 3;
    const std::string rest = line.size() > 2 ? line.substr(2) : std::string();
    const size_t comma = rest.find(',');
    page.backdrop = backdrop;
    PlacePortraits(rest.substr(0, comma), &page);
    backdrop = page.backdrop;
    page.text = comma == std::string::npos ? std::string() : rest.substr(comma + 1);
    page.text += '\n';
    if (page.text.size() > kPageBytes) page.text.resize(kPageBytes);
    for (char& c : page.text)
      if (c == ',') c = '\n';
    pages.push_back(std::move(page));
  }
  return pages;
}

ScriptedScene::ScriptedScene(const char* scriptPath, int music, int textMode,
                             const char* const* backdropList)
    : scriptPath_(scriptPath), backdropPaths_(backdropList), music_(music), textMode_(textMode) {}

ScriptedScene::~ScriptedScene() {
  Release();
}

Opening::Opening() : ScriptedScene("Resource_Orvelune/Event/Opening/Opening.csv", 2, 0) {}
Ending::Ending()
    : ScriptedScene("Resource_Orvelune/Event/Ending/Ending.csv", 3, 2, kEndingBackdrops) {}

int ScriptedScene::Start() {
  for (int i = 0; i < 6; ++i) {
    if (textures[i]) continue;
    textures[i] = LoadTexture(kScenePicturePaths[i]);
    if (!textures[i]) {
      if (!reported_) ReportError("テクスチャの読み込みに失敗 -Scene-");
      reported_ = true;
      return 0;
    }
  }
  for (int i = 0; backdropPaths_ && backdropPaths_[i] && i < kMaxBackdrops; ++i) {
    if (backdrops[i]) continue;
    backdrops[i] = LoadTexture(backdropPaths_[i]);
    if (!backdrops[i]) {
      if (!reported_) ReportError("テクスチャの読み込みに失敗 -Scene-", backdropPaths_[i]);
      reported_ = true;
      return 0;
    }
  }
  if (!scriptRead_) {
    const std::string path = LocalizedPath(scriptPath_);
    if (FailedBefore(path)) return 0;  // unchanged since it failed
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      if (!reported_) {
        ReportError("ファイルオープンに失敗 -Scene-", path);
        ReportErrorDetail(path.c_str());
      }
      reported_ = true;
      RememberFailure(path);
      return 0;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    // A damaged script is refused rather than drawn as characters it never had.
    if (RefuseUnreadableText(bytes.str(), "ファイル読み込み失敗 -Scene-", path, !reported_)) {
      reported_ = true;
      RememberFailure(path);
      return 0;
    }
    pages = ParseScript(bytes.str());
    scriptRead_ = true;
    pageIndex = 0;
    shown = 0;
    currentPage = pages.empty() ? nullptr : &pages[0];
    length = currentPage ? static_cast<int>(currentPage->text.size()) : 0;
    lastPageIndex = static_cast<int>(pages.size()) - 1;
  }
  if (!soundsLoaded_) {
    if (!sounds_.Load()) return 0;
    soundsLoaded_ = true;
  }
  return 1;
}

int ScriptedScene::Update(const InputFrame& input) {
  if (sounds_.GetRequest(music_) == 0) sounds_.Request(music_, 2);
  sounds_.Update();
  if (!finished) {
    if (fade < 255) {
      fade = std::min(fade + 4, 255);
    } else if (input.PadPressed(XINPUT_GAMEPAD_A) || input.KeyPressed(DIK_RETURN)) {
      if (shown < length) {
        shown = length;
        sounds_.PlayOnce(kEventShowAll);
      } else {
        sounds_.PlayOnce(kEventNextPage);
        shown = 0;
        pageIndex += 1;
        if (pageIndex <= lastPageIndex) {
          currentPage = &pages[pageIndex];
          length = static_cast<int>(std::min<size_t>(currentPage->text.size(), 512));
        } else {
          finished = 1;
        }
      }
    }
  }
  if (finished && fade > 0) {
    fade -= 4;
    if (fade < 1) {
      for (int i = 0; i < 4; ++i) sounds_.Request(i, 0);
      sounds_.Update();
      return 0;
    }
  }
  if (bobDown == 0) {
    buttonPosition.y -= 0.5f;
    if (std::fabs(buttonPosition.y - 589) <= 0.5f) {
      buttonPosition.y = 589;
      bobDown = 1;
    }
  } else {
    buttonPosition.y += (599 - buttonPosition.y) / 10;
    if (std::fabs(buttonPosition.y - 599) <= 0.5f) {
      buttonPosition.y = 599;
      bobDown = 0;
    }
  }
  return 1;
}

int ScriptedScene::NextShown(const std::string& text, int count, int total, int* delay) {
  if (count >= total) {
    *delay = 0;
    return total;
  }
  if (*delay > 2) {
    *delay = 0;
    // Never stop inside a double-byte character.
    int boundary = count;
    count += 2;
    while (boundary < count && boundary < total)
      boundary += IsSjisLeadByte(static_cast<unsigned char>(text[boundary])) ? 2 : 1;
    count = std::min(boundary, total);
  } else {
    *delay += 1;
  }
  if (count < total && text[count] == '\n') count += 1;
  return count;
}

void ScriptedScene::Draw() {
  Sprite* sprite = GetSprite();
  const uint32_t colour = 0xFF000000u | static_cast<uint32_t>(std::clamp(fade, 0, 255)) * 0x010101u;
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(Matrix::Identity());
  const RECT background{0, 0, 1280, 720};
  sprite->Draw(textures[3], &background, nullptr, nullptr, colour);
  if (currentPage && currentPage->backdrop >= 0 && currentPage->backdrop < kMaxBackdrops &&
      backdrops[currentPage->backdrop])
    sprite->Draw(backdrops[currentPage->backdrop], &background, nullptr, nullptr, colour);
  if (currentPage) {
    const RECT portrait{0, 0, 320, 720};
    for (int slot = 0; slot < 3; ++slot) {
      const int place = currentPage->place[slot];
      if (place < 0 || place > 3) continue;
      const Vec3 at{kPlaceX[place], 0, 0};
      sprite->Draw(textures[slot], &portrait, nullptr, &at, colour);
    }
  }
  const RECT window{0, 0, 1280, 240};
  const Vec3 windowAt{textPosition.x, textPosition.y, 0};
  sprite->Draw(textures[4], &window, nullptr, &windowAt, colour);
  if (fade == 255 && currentPage) {
    shown = NextShown(currentPage->text, shown, length, &typingDelay);
    const std::string text = currentPage->text.substr(0, static_cast<size_t>(shown));
    DrawScriptText(text.c_str(), currentPage->speaker, textMode_, textPosition);
    sprite->SetTransform(Matrix::Identity());  // the text leaves its own offset
  }
  const RECT left{0, 0, 64, 64}, right{64, 0, 128, 64};
  const Vec3 base{1142, 605, 0}, bob{1142, buttonPosition.y, 0};
  sprite->Draw(textures[5], &left, nullptr, &base, colour);
  sprite->Draw(textures[5], &right, nullptr, &bob, colour);
  sprite->End();
}

void ScriptedScene::Release() {
  if (soundsLoaded_) {
    sounds_.StopAll();
    sounds_.Release();
  }
  soundsLoaded_ = false;
  for (Texture*& t : textures) {
    if (t) t->Release();
    t = nullptr;
  }
  for (Texture*& t : backdrops) {
    if (t) t->Release();
    t = nullptr;
  }
  pages.clear();
  currentPage = nullptr;
  scriptRead_ = false;
}
