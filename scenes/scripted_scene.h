// The picture-and-text scenes before the first stage and after the last: up
// to three portraits in four places over a starry background, and a text
// window that shows a script page by page. Script lines:
//   h,<portrait commands>,<text>     the speaker (h, o, t, or n narration)
// where the commands place portraits: letters l r i o choose a place
// (outer-left, inner-left, inner-right, outer-right), "/" clears them and
// ".h" ".o" ".t" put a portrait there. "scane_end" ends the script.
// A scene may also have pictures of its own behind the portraits (the
// ending: the meeting, then the bridge): ".m" or ".b" among a line's
// commands shows the first or the second from that page on.
#pragma once

#include <string>
#include <vector>

#include "base/math.h"
#include "render/sound_sets.h"

class Texture;
struct InputFrame;

struct ScriptPage {
  std::string text;                 // Shift-JIS, commas turned into line breaks
  int speaker = 0;                  // 0 h, 1 o, 2 t, 3 narration
  int place[4] = {-1, -1, -1, -1};  // per portrait: its place 0 to 3, or -1
  int backdrop = -1;                // the scene's own picture shown, or -1
};

// Reads a script's pages from its bytes.
std::vector<ScriptPage> ParseScript(const std::string& bytes);

class ScriptedScene {
 public:
  // backdrops: the scene's own pictures, drawn behind the portraits of the
  // pages that ask for them (nullptr-terminated; null for none).
  ScriptedScene(const char* scriptPath, int music, int textMode,
                const char* const* backdrops = nullptr);
  virtual ~ScriptedScene();
  ScriptedScene(const ScriptedScene&) = delete;
  ScriptedScene& operator=(const ScriptedScene&) = delete;

  int Start();
  // 0 when the scene has finished.
  int Update(const InputFrame& input);
  void Draw();
  void Release();

  // Typing: two more bytes every fourth frame, never half a character.
  // shown is 0 or what the last call returned (a character boundary).
  static int NextShown(const std::string& text, int shown, int length, int* delay);

  Vec2 textPosition{11, 461};
  Texture* textures[6] = {};
  static constexpr int kMaxBackdrops = 2;
  Texture* backdrops[kMaxBackdrops] = {};
  int fade = 0;
  int finished = 0;
  int typingDelay = 0;
  int pageIndex = 0;
  int lastPageIndex = -1;
  const ScriptPage* currentPage = nullptr;
  int shown = 0;
  int length = 0;
  std::vector<ScriptPage> pages;
  int bobDown = 1;
  Vec2 buttonPosition{1126, 589};

 private:
  const char* scriptPath_;
  const char* const* backdropPaths_;
  int music_;
  int textMode_;
  // The scene's own sounds, loaded at its start and released at its end.
  SoundSetCore sounds_ = EventSoundSet();
  bool soundsLoaded_ = false;
  bool scriptRead_ = false;
  bool reported_ = false;
};

class Opening : public ScriptedScene {
 public:
  Opening();
};

class Ending : public ScriptedScene {
 public:
  Ending();
};
