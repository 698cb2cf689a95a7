// The in-game event window: a short conversation in a text window that slides
// up from the bottom of the screen while the stage is frozen (the boss
// encounter, the boss's defeat, the goal). All events live in one file, each
// under its number:
//   <number>
//   p,<text>        a page; p, e or t picks the speaker's colour
//   scane_end
// and a line "all_end" closes the file.
#pragma once

#include <string>
#include <vector>

#include "base/math.h"

class SoundSetCore;
class Texture;
struct InputFrame;

struct EventPage {
  std::string text;  // Shift-JIS, commas turned into line breaks
  int kind = 0;      // 0 p, 1 e, 2 t
};

class Event {
 public:
  enum State {
    kIdle = 0,
    kLoadAsked = 2,
    kLoaded = 3,
    kLastPage = 4,
    kEnded = 5,
    kNoEvent = 6,  // the number was not in the file
  };
  enum Phase { kClosed = 0, kSlidingIn = 1, kOpen = 2, kSlidingOut = 3 };

  Event() = default;
  ~Event();
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  int LoadTextures();
  // Reads the pages of event `number`; 0 when the file cannot be opened.
  int Load(int number);
  int LoadFrom(const std::string& path, int number);
  // The window's sounds play from the game's.
  void Update(SoundSetCore& sounds, const InputFrame& input);
  void Draw();
  void ClearPages();
  void Release();
  // True once the event has ended, normally or because it did not exist.
  bool Ended() const { return state == kEnded || state == kNoEvent; }

  // Reads event `number` from the file's bytes: its pages, or allEnd = 1.
  static std::vector<EventPage> ParsePages(const std::string& bytes, int number, int* allEnd);
  // Advances a typing count by two bytes without splitting a double-byte
  // character, then over a line break. shown is 0 or what the last call
  // returned, so it lies on a character boundary and the scan starts there.
  static int NextShown(const std::string& text, int shown, int length);

  int allEnd = 0;
  int windowPhase = kSlidingIn;
  int number = 1;
  int state = kIdle;
  int shown = 0;
  int length = 0;
  int pageIndex = 0;
  const EventPage* currentPage = nullptr;
  std::vector<EventPage> pages;
  Vec2 windowPosition{11, 720};
  Texture* textures[2] = {nullptr, nullptr};
  Vec2 buttonPosition{1142, 589};
  int bobDown = 1;

 private:
  void AnimateWindow(SoundSetCore& sounds);
  void AdvancePage(SoundSetCore& sounds);
};
