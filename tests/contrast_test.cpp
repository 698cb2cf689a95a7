// The texts the game draws in full colour, measured on its own screenshots
// against what lies right behind them: the HUD's side mark and label on both
// sides of the field, the stage gauge's words, a guide board's panel, the
// pause menu's heading, selected item and hints, and the game-over caption
// with its chosen answer. Each must read at 4.5 : 1 or better (the web's
// accessibility formula). Pieces the design dims on purpose (an unselected
// item, the blinking PAUSE) are left out.
//
// Where a text lies in a picture comes from the content generator
// (text_marks.txt: the box of its letters' full coverage and its colour);
// where the game puts the picture's pieces on the screen is the layout of the
// screens. The letters' own pixels are those of the fill colour; what lies
// behind them is the ring of pixels two to three pixels outside the letters
// (an outline drawn round the letters counts, as it is what the eye reads
// them against).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/language.h"
#include "platform/graphics.h"
#include "platform/png_image.h"
#include "render/text_drawing.h"
#include "tests/test_support.h"
#include "tools/sim/simulation.h"

namespace {

struct TextMark {
  std::string picture;
  int x0, y0, x1, y1;
  uint32_t rgb;
  std::string text;
};

std::vector<TextMark> ReadMarks() {
  std::vector<TextMark> marks;
  std::ifstream in(RunDirectory() + "/text_marks.txt");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    TextMark m;
    std::string box, colour;
    if (!std::getline(fields, m.picture, '\t') || !std::getline(fields, box, '\t') ||
        !std::getline(fields, colour, '\t') || !std::getline(fields, m.text))
      continue;
    std::istringstream(box) >> m.x0 >> m.y0 >> m.x1 >> m.y1;
    m.rgb = static_cast<uint32_t>(std::stoul(colour, nullptr, 16));
    marks.push_back(m);
  }
  return marks;
}

double Luminance(uint32_t rgb) {
  auto channel = [](int c) {
    const double v = c / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel((rgb >> 16) & 0xFF) + 0.7152 * channel((rgb >> 8) & 0xFF) +
         0.0722 * channel(rgb & 0xFF);
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

// A piece of a picture as a screen draws it: its source rectangle, where its
// top-left corner goes, and the colour the sprite multiplies it by.
struct Piece {
  const char* what;
  const char* picture;  // below Resource_Orvelune/, the Japanese path
  int left, top, right, bottom;
  float x, y;
  uint32_t tint = 0xFFFFFF;
};

struct Measure {
  std::string text;
  double ratio = 0;
  int letters = 0;
  double drawnOff = 0;  // how far the letters' pixels are from the colour drawn
};

uint32_t Multiply(uint32_t a, uint32_t b) {
  uint32_t out = 0;
  for (int s : {0, 8, 16}) out |= (((a >> s) & 0xFF) * ((b >> s) & 0xFF) / 255) << s;
  return out;
}

int Distance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int s : {0, 8, 16})
    d = std::max(d,
                 std::abs(static_cast<int>((a >> s) & 0xFF) - static_cast<int>((b >> s) & 0xFF)));
  return d;
}

// The letters' pixels against the ring two to three pixels out from them;
// drawn is the colour the letters should show.
Measure MeasureLetters(const Image& shot, const std::vector<uint8_t>& letter,
                       const std::vector<std::pair<int, int>>& pixels, uint32_t drawn,
                       const std::string& text) {
  Measure r;
  r.text = text;
  r.letters = static_cast<int>(pixels.size());
  std::vector<double> inside, behind;
  std::vector<int> offs;
  for (auto [x, y] : pixels) {
    const uint32_t c = shot.argb[static_cast<size_t>(y) * shot.width + x] & 0xFFFFFF;
    inside.push_back(Luminance(c));
    offs.push_back(Distance(c, drawn));
  }
  // The ring two to three pixels out from the letters.
  std::vector<uint8_t> seen(letter.size(), 0);
  for (auto [x, y] : pixels)
    for (int dy = -3; dy <= 3; ++dy)
      for (int dx = -3; dx <= 3; ++dx) {
        const int px = x + dx, py = y + dy;
        if (px < 0 || py < 0 || px >= shot.width || py >= shot.height) continue;
        const size_t i = static_cast<size_t>(py) * shot.width + px;
        if (letter[i] || seen[i]) continue;
        bool near = false;  // within a pixel of a letter: the letters' soft edge
        for (int ey = -1; ey <= 1 && !near; ++ey)
          for (int ex = -1; ex <= 1 && !near; ++ex) {
            const int qx = px + ex, qy = py + ey;
            near = qx >= 0 && qy >= 0 && qx < shot.width && qy < shot.height &&
                   letter[static_cast<size_t>(qy) * shot.width + qx];
          }
        if (near) continue;
        seen[i] = 1;
        behind.push_back(Luminance(shot.argb[i] & 0xFFFFFF));
      }
  const double a = Median(inside), b = Median(behind);
  r.ratio = (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
  std::sort(offs.begin(), offs.end());
  r.drawnOff = offs.empty() ? 255 : offs[offs.size() / 2];
  return r;
}

// Every text of the piece, measured on the screenshot.
std::vector<Measure> MeasurePiece(const Image& shot, const Piece& piece, Language lang,
                                  const std::vector<TextMark>& marks) {
  const std::string file = std::string("Resource_Orvelune/") +
                           (lang == Language::kEnglish ? std::string("en/") : std::string()) +
                           piece.picture;
  Image picture;
  std::string why;
  EXPECT_TRUE(LoadPng(RunDirectory() + "/" + file, &picture, &why)) << why;
  std::vector<Measure> out;
  for (const TextMark& m : marks) {
    if (m.picture != file || m.x0 < piece.left || m.y0 < piece.top || m.x1 > piece.right ||
        m.y1 > piece.bottom)
      continue;
    // The letters: texels of the fill colour, opaque, inside the text's box.
    std::vector<uint8_t> letter(static_cast<size_t>(shot.width) * shot.height, 0);
    std::vector<std::pair<int, int>> pixels;
    for (int ty = m.y0; ty < m.y1; ++ty)
      for (int tx = m.x0; tx < m.x1; ++tx) {
        const uint32_t t = picture.argb[static_cast<size_t>(ty) * picture.width + tx];
        if ((t >> 24) != 0xFF || Distance(t & 0xFFFFFF, m.rgb) > 2) continue;
        const int sx = static_cast<int>(std::lround(piece.x)) + tx - piece.left;
        const int sy = static_cast<int>(std::lround(piece.y)) + ty - piece.top;
        if (sx < 0 || sy < 0 || sx >= shot.width || sy >= shot.height) continue;
        letter[static_cast<size_t>(sy) * shot.width + sx] = 1;
        pixels.push_back({sx, sy});
      }
    out.push_back(MeasureLetters(shot, letter, pixels, Multiply(m.rgb, piece.tint), m.text));
  }
  return out;
}

// Text the game draws with its font at run time (a board's words on the
// panel): its letters are the pixels of its colour inside its rectangle.
Measure MeasureFontText(const Image& shot, int left, int top, int right, int bottom, uint32_t rgb,
                        const std::string& what) {
  std::vector<uint8_t> letter(static_cast<size_t>(shot.width) * shot.height, 0);
  std::vector<std::pair<int, int>> pixels;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      const size_t i = static_cast<size_t>(y) * shot.width + x;
      if (Distance(shot.argb[i] & 0xFFFFFF, rgb) > 12) continue;
      letter[i] = 1;
      pixels.push_back({x, y});
    }
  return MeasureLetters(shot, letter, pixels, rgb, what);
}

// The tour of stage 1 in tests/data/inputs/contrast_tour.txt: its "# shot
// NAME FRAME" lines name the frames to take.
std::map<std::string, int> TourShots(const std::string& path) {
  std::map<std::string, int> shots;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    char name[32];
    int frame;
    if (std::sscanf(line.c_str(), "# shot %31s %d", name, &frame) == 2) shots[name] = frame;
  }
  return shots;
}

// The pieces of each shot of the tour.
std::map<std::string, std::vector<Piece>> PiecesOfShots() {
  const char* hud = "Texture/UI/OrveluneChip.png";
  const char* pause = "Texture/UI/Pause.png";
  const Piece gaugeWords{"the stage gauge", "Texture/UI/FieldFrame.png", 0, 0, 96, 384, 1168, 334};
  return {
      {"top",
       {{"the side mark (upper side)", hud, 293, 212, 383, 268, 64, 62},
        {"the life label", hud, 293, 268, 435, 307, 201, 62},
        {"the life gauge at 5", hud, 1086, 0, 1543, 171, 11, 12},
        gaugeWords}},
      {"below",
       {{"the side mark (underside)", hud, 383, 212, 473, 268, 64, 62},
        {"the life label", hud, 293, 268, 435, 307, 201, 62}}},
      {"board",
       {{"the guide panel's title", hud, 293, 0, 629, 212, 11, 508},
        {"the guide panel's picture", "Infomation/Button.png", 128, 0, 256, 128, 211, 592}}},
      {"pause",
       {{"the pause heading", pause, 0, 0, 391, 106, 444.5f, 256},
        {"the selected item (retry)", pause, 0, 108, 391, 167, 124.5f, 362, 0xFF0B0B},
        {"the hint: resume", pause, 0, 230, 391, 298, 889, 580},
        {"the hint: confirm", pause, 0, 298, 391, 370, 889, 632},
        {"the key: resume", pause, 0, 370, 72, 428, 889, 585},
        {"the key: confirm", pause, 0, 428, 65, 476, 889, 648}}},
      {"over",
       {{"the game-over caption", "Event/game_over.png", 0, 0, 640, 128, 320, 200},
        {"the game-over question", "Event/game_over.png", 0, 128, 384, 256, 448, 400},
        {"the chosen answer (retry)", "Event/game_over.png", 380, 192, 516, 256, 480, 528}}},
  };
}

}  // namespace

// The side mark's word keeps a margin inside its badge in both languages
// ("BELOW" once filled it edge to edge).
TEST(Contrast, TheSideMarksWordKeepsAMarginInsideItsBadge) {
  int seen = 0;
  for (const TextMark& m : ReadMarks()) {
    if (m.picture.find("Texture/UI/OrveluneChip.png") == std::string::npos || m.y0 < 212 ||
        m.y1 > 268 || m.x0 < 293 || m.x1 > 473)
      continue;
    const int left = m.x0 < 383 ? 293 : 383;  // the mark's piece
    EXPECT_GE(m.x0 - (left + 6), 6) << m.picture << " \"" << m.text << "\"";
    EXPECT_GE(left + 84 - m.x1, 6) << m.picture << " \"" << m.text << "\"";
    EXPECT_GE(m.y0 - (212 + 4), 4) << m.picture << " \"" << m.text << "\"";
    EXPECT_GE(212 + 52 - m.y1, 4) << m.picture << " \"" << m.text << "\"";
    ++seen;
  }
  EXPECT_EQ(seen, 4) << "two marks in two languages";
}

TEST(Contrast, EveryTextDrawnInFullColourReadsAtFourAndAHalfToOne) {
  const std::vector<TextMark> marks = ReadMarks();
  ASSERT_FALSE(marks.empty()) << "no text_marks.txt from the content generator";
  const std::string tour = std::string(ORVELUNE_TEST_DATA_DIR) + "/inputs/contrast_tour.txt";
  const std::map<std::string, int> shots = TourShots(tour);
  const auto pieces = PiecesOfShots();
  ASSERT_EQ(shots.size(), pieces.size()) << tour;
  TempDirectory dir;
  for (Language lang : {Language::kJapanese, Language::kEnglish}) {
    const std::string tag = lang == Language::kEnglish ? "en" : "ja";
    SimOptions o = StageOneRun(lang, tour);
    int last = 0;
    for (const auto& [name, frame] : shots) {
      o.screenshots.push_back({frame, dir.Path() + "/" + tag + "_" + name + ".png"});
      last = std::max(last, frame);
    }
    o.frames = last + 1;
    testing::internal::CaptureStderr();
    const int status = RunSimulation(o);
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(status, 0) << err;
    for (const auto& [name, list] : pieces) {
      Image shot;
      std::string why;
      ASSERT_TRUE(LoadPng(dir.Path() + "/" + tag + "_" + name + ".png", &shot, &why)) << why;
      for (const Piece& piece : list) {
        const std::vector<Measure> found = MeasurePiece(shot, piece, lang, marks);
        EXPECT_FALSE(found.empty()) << tag << " " << piece.what << ": no text in the piece";
        for (const Measure& m : found) {
          std::printf("%s %-6s %-28s %-16s %5.2f : 1\n", tag.c_str(), name.c_str(), piece.what,
                      m.text.c_str(), m.ratio);
          EXPECT_GT(m.letters, 8) << tag << " " << piece.what << " \"" << m.text << "\"";
          EXPECT_LT(m.drawnOff, 40) << tag << " " << piece.what << " \"" << m.text
                                    << "\": the letters are not where the screen puts them";
          EXPECT_GE(m.ratio, 4.5) << tag << " " << name << ": " << piece.what << " \"" << m.text
                                  << "\"";
        }
      }
      if (name == "board") {
        // The board's own words, drawn by the game's font on the panel.
        const Measure m = MeasureFontText(
            shot, 11 + kBoardTextLeft, 508 + kBoardTextTop, 11 + kBoardTextLeft + kBoardTextWidth,
            508 + kBoardTextTop + kBoardTextHeight, 0x121212, "the board's words");
        std::printf("%s %-6s %-28s %-16s %5.2f : 1\n", tag.c_str(), name.c_str(), "the panel",
                    m.text.c_str(), m.ratio);
        EXPECT_GT(m.letters, 200) << tag << ": the board's words are not on the panel";
        EXPECT_GE(m.ratio, 4.5) << tag << ": the board's words";
      }
    }
  }
  SetLanguage(Language::kJapanese);
}
