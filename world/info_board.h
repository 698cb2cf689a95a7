// A sign board on the field: while the player stands at it, a panel with the
// board's help text slides up from the bottom of the screen.
//
// The texts of all boards live in one file, one entry per line:
//   text number, picture number (one digit, or -1 for none), text
// where every further comma of the text is a line break. A second file in
// the same form holds the texts that name keys as they read with a pad;
// while the pad is the player's last device its entries stand in for
// those of the same number, and the picture comes from the pad's row.
#pragma once

#include <string>
#include <vector>

#include "base/math.h"
#include "platform/input.h"
#include "world/object_base.h"

class Mesh;

class InfoBoard : public GimmickBase {
 public:
  InfoBoard(RunState& run, int textNumber);
  void Action(RunState& run, CharacterBase* player) override;
  void Draw(RunState& run) override;
  const char* ClassName() const override { return "InfoBoard"; }
  void DumpParameters(JsonWriter& json) const override;

  Mesh* mesh;
  int touching = 0;
  int textNumber;
};

// Where a help text's picture (128 x 128) is drawn, from the panel's top-left.
constexpr Vec2 kBoardPictureOffset{200, 84};

// One help text.
struct InfoEntry {
  int number = 0;
  std::string text;  // Shift-JIS, commas turned into line breaks
  int picture = -1;  // -1: none
};

// The panel the boards share, part of the run being played
// (world/run_state.h).
struct InfoPanel {
  enum Phase { kClosed = 0, kSlidingIn = 1, kOpen = 2, kSlidingOut = 3 };
  Vec2 position{11, 720};
  int phase = kClosed;
  std::vector<InfoEntry> entries;
  std::vector<InfoEntry> padEntries;  // the texts as they read with a pad
  int currentText = 0;
};

// The board that asked for the panel this frame (drawn over the world).
struct PanelRequest {
  bool pending = false;
  int textNumber = 0;
};

// Parses one line of the text file into an entry.
InfoEntry ParseInfoLine(const std::string& line);
// Reads the two text files into the panel's entries; 0 (with a report naming
// the file) when one cannot be opened or read.
int LoadInfoTexts(InfoPanel& panel);
// Reads one text file's entries into *entries.
int LoadInfoTextsFrom(const std::string& path, std::vector<InfoEntry>* entries);
void ClearInfoTexts(InfoPanel& panel);
// The entry the panel shows for text n with prompts for this device, or null.
const InfoEntry* FindInfoEntry(const InfoPanel& panel, int textNumber, InputDevice prompts);
// Slides the panel one frame and draws it with text n (0: keep the shown one),
// naming the controls of the device given.
void DrawInfoPanel(InfoPanel& panel, int textNumber, InputDevice prompts);
// Draws the panel a board asked for in this frame's world drawing, if any;
// the game scene calls it after the world.
void FlushInfoPanel(InfoPanel& panel, PanelRequest& request, InputDevice prompts);
