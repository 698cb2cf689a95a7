#include "scenes/event.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

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

constexpr const char* kEventTextPath = "Resource_Orvelune/Event/Event_Text/event.csv";
constexpr float kHiddenY = 720;
constexpr float kOpenY = 461;
constexpr float kBobTop = 589;
constexpr float kBobBottom = 599;
constexpr Vec3 kButtonBase{1142, 605, 0};
// A page holds at most this many bytes of text.
constexpr size_t kPageBytes = 511;

bool ConfirmPressed(const InputFrame& input) {
  return input.KeyPressed(DIK_RETURN) || input.PadPressed(XINPUT_GAMEPAD_A);
}

}  // namespace

Event::~Event() {
  Release();
}

int Event::LoadTextures() {
  for (int i = 0; i < 2; ++i) {
    if (textures[i]) continue;
    textures[i] = LoadTexture(kEventPicturePaths[i]);
    if (!textures[i]) {
      ReportError("テクスチャの読み込みに失敗 -Event-");
      return 0;
    }
  }
  return 1;
}

std::vector<EventPage> Event::ParsePages(const std::string& bytes, int wanted, int* allEndOut) {
  std::vector<EventPage> result;
  *allEndOut = 0;
  std::istringstream in(bytes);
  std::string line;
  bool found = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!found) {
      if (line.find("all_end") != std::string::npos) {
        *allEndOut = 1;
        return result;
      }
      if (std::atoi(line.c_str()) == wanted) found = true;
      continue;
    }
    if (line.find("scane_end") != std::string::npos) break;
    if (line.empty() || (line[0] != 'p' && line[0] != 'e' && line[0] != 't')) continue;
    EventPage page;
    page.kind = line[0] == 'p' ? 0 : line[0] == 'e' ? 1 : 2;
    page.text = line.size() > 2 ? line.substr(2) : std::string();
    page.text += '\n';
    if (page.text.size() > kPageBytes) page.text.resize(kPageBytes);
    for (char& c : page.text)
      if (c == ',') c = '\n';
    result.push_back(std::move(page));
  }
  if (!found) *allEndOut = 1;
  return result;
}

int Event::LoadFrom(const std::string& path, int wanted) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  if (in && state != kNoEvent) bytes << in.rdbuf();
  if (!in) {
    ReportError("ファイルオープンに失敗 -Event-", path);
    ReportErrorDetail(path.c_str());
  }
  // A damaged file is refused rather than drawn as characters it never had.
  if (!in || RefuseUnreadableText(bytes.str(), "ファイル読み込み失敗 -Event-", path)) {
    // An event asked for in play shows no page and closes on a confirm, so
    // the game never waits on a file it cannot read.
    ClearPages();
    number = wanted;
    pageIndex = 0;
    shown = length = 0;
    if (state != kNoEvent) state = kLastPage;
    return 0;
  }
  if (state != kNoEvent) {
    ClearPages();
    pages = ParsePages(bytes.str(), wanted, &allEnd);
  }
  number = wanted;
  pageIndex = 0;
  currentPage = pages.empty() ? nullptr : &pages[0];
  shown = 0;
  length = currentPage ? static_cast<int>(currentPage->text.size()) : 0;
  // An event of one page (or none, when the number is missing) is on its
  // last page from the start, so a confirm can always close the window.
  state = pages.size() <= 1 ? kLastPage : kLoaded;
  return 1;
}

int Event::Load(int wanted) {
  return LoadFrom(LocalizedPath(kEventTextPath), wanted);
}

void Event::ClearPages() {
  pages.clear();
  currentPage = nullptr;
}

void Event::Release() {
  ClearPages();
  for (Texture*& t : textures) {
    if (t) t->Release();
    t = nullptr;
  }
  windowPhase = kSlidingIn;
}

void Event::AnimateWindow(SoundSetCore& sounds) {
  if (windowPhase == kSlidingIn) {
    if (windowPosition.y == kHiddenY) sounds.PlayOnce(kSeSet);
    if (windowPosition.y > kOpenY) {
      windowPosition.y += (kOpenY - windowPosition.y) / 4;
      if (std::fabs(kOpenY - windowPosition.y) <= 0.5f) {
        windowPosition.y = kOpenY;
        windowPhase = kOpen;
      }
    }
  } else if (windowPhase == kSlidingOut) {
    if (windowPosition.y < kHiddenY) {
      windowPosition.y += (kHiddenY - windowPosition.y) / 4;
      if (std::fabs(kHiddenY - windowPosition.y) <= 0.5f) {
        windowPosition.y = kHiddenY;
        if (state == kLastPage) {
          if (allEnd == 0) {
            state = kEnded;
            number += 1;
          } else {
            state = kNoEvent;
          }
          pageIndex = 0;
          ClearPages();
        }
        windowPhase = kClosed;
      }
    }
  } else if (windowPhase == kOpen) {
    if (bobDown == 1) {
      buttonPosition.y += (kBobBottom - buttonPosition.y) / 10;
      if (std::fabs(kBobBottom - buttonPosition.y) <= 0.5f) {
        buttonPosition.y = kBobBottom;
        bobDown = 0;
      }
    } else {
      buttonPosition.y -= 0.5f;
      if (std::fabs(kBobTop - buttonPosition.y) <= 0.5f) {
        buttonPosition.y = kBobTop;
        bobDown = 1;
      }
    }
  }
}

void Event::AdvancePage(SoundSetCore& sounds) {
  if (shown < length) {
    shown = length;
    sounds.PlayOnce(kSeFish);
    return;
  }
  shown = 0;
  sounds.PlayOnce(kSeCharge);
  if (state == kLastPage) {
    windowPhase = kSlidingOut;
    sounds.PlayOnce(kSeSet);
    return;
  }
  sounds.PlayOnce(kSeSystem);
  pageIndex += 1;
  currentPage = &pages[pageIndex];
  length = static_cast<int>(std::min(currentPage->text.size(), size_t{512}));
  if (pageIndex + 1 >= static_cast<int>(pages.size())) state = kLastPage;
}

void Event::Update(SoundSetCore& sounds, const InputFrame& input) {
  AnimateWindow(sounds);
  if (windowPhase == kOpen && ConfirmPressed(input) && (state == kLoaded || state == kLastPage))
    AdvancePage(sounds);
}

int Event::NextShown(const std::string& text, int count, int total) {
  if (count >= total) return total;
  // Never stop inside a double-byte character.
  int boundary = count;
  count += 2;
  while (boundary < count && boundary < total)
    boundary += IsSjisLeadByte(static_cast<unsigned char>(text[boundary])) ? 2 : 1;
  count = std::min(boundary, total);
  if (count < total && text[count] == '\n') count += 1;
  return count;
}

void Event::Draw() {
  Sprite* sprite = GetSprite();
  const bool typing = currentPage && windowPhase != kClosed;
  if (typing) shown = NextShown(currentPage->text, shown, length);
  sprite->Begin(D3DXSPRITE_ALPHABLEND);
  sprite->SetTransform(Matrix::Identity());
  const Vec3 at{windowPosition.x, windowPosition.y, 0};
  if (textures[0]) sprite->Draw(textures[0], nullptr, nullptr, &at, 0xFFFFFFFF);
  if (typing) {
    const std::string text = currentPage->text.substr(0, static_cast<size_t>(shown));
    DrawScriptText(text.c_str(), currentPage->kind, 1, windowPosition);
    sprite->SetTransform(Matrix::Identity());  // the text leaves its own offset
  }
  if (windowPhase == kOpen && textures[1]) {
    const RECT left{0, 0, 64, 64}, right{64, 0, 128, 64};
    const Vec3 bob{1142, buttonPosition.y, 0};
    sprite->Draw(textures[1], &left, nullptr, &kButtonBase, 0xFFFFFFFF);
    sprite->Draw(textures[1], &right, nullptr, &bob, 0xFFFFFFFF);
  }
  sprite->End();
}
