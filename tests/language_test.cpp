// The two languages: how one is chosen, that the English content matches the
// Japanese in structure, and that every line of both fits where it is drawn,
// measured with the game's own fonts.
#include "base/language.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "app/launch.h"
#include "app/settings.h"
#include "base/resource_root.h"
#include "base/text_encoding.h"
#include "platform/graphics.h"
#include "platform/png_image.h"
#include "render/text_drawing.h"
#include "scenes/event.h"
#include "scenes/scripted_scene.h"
#include "test_support.h"
#include "tools/sim/simulation.h"
#include "world/info_board.h"

namespace {

const std::string kRoot = ORVELUNE_RESOURCE_ROOT;

// Restores Japanese after a test that switched the language.
struct LanguageGuard {
  ~LanguageGuard() { SetLanguage(Language::kJapanese); }
};

std::string Japanese(const std::string& file) {
  return RunDirectory() + "/" + kRoot + file;
}
std::string English(const std::string& file) {
  return RunDirectory() + "/" + kRoot + LanguageFolder(Language::kEnglish) + file;
}

// Every event of the event file, by number.
std::map<int, std::vector<EventPage>> Events(const std::string& bytes) {
  std::map<int, std::vector<EventPage>> events;
  for (int number = 1;; ++number) {
    int allEnd = 0;
    std::vector<EventPage> pages = Event::ParsePages(bytes, number, &allEnd);
    if (allEnd) break;
    events[number] = std::move(pages);
  }
  return events;
}

std::vector<InfoEntry> Boards(const std::string& bytes) {
  std::vector<InfoEntry> entries;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) entries.push_back(ParseInfoLine(line));
    start = end + 1;
  }
  return entries;
}

}  // namespace

TEST(Language, TheLocaleTheSettingAndTheCommandLineChooseIt) {
  // The first of LC_ALL, LC_MESSAGES and LANG that is set decides.
  EXPECT_EQ(LanguageFromLocale(nullptr, nullptr, "ja_JP.UTF-8"), Language::kJapanese);
  EXPECT_EQ(LanguageFromLocale("", "", "ja"), Language::kJapanese);
  EXPECT_EQ(LanguageFromLocale(nullptr, nullptr, "ja-JP"), Language::kJapanese);  // Windows' tag
  EXPECT_EQ(LanguageFromLocale(nullptr, nullptr, "jam"), Language::kEnglish);
  EXPECT_EQ(LanguageFromLocale("en_US.UTF-8", nullptr, "ja_JP.UTF-8"), Language::kEnglish);
  EXPECT_EQ(LanguageFromLocale(nullptr, "ja_JP.eucJP", "en_GB.UTF-8"), Language::kJapanese);
  EXPECT_EQ(LanguageFromLocale("C", nullptr, nullptr), Language::kEnglish);
  EXPECT_EQ(LanguageFromLocale(nullptr, nullptr, nullptr), Language::kEnglish);
  // "jav" (Javanese) is not Japanese.
  EXPECT_EQ(LanguageFromLocale(nullptr, nullptr, "jv_ID"), Language::kEnglish);
  EXPECT_EQ(LanguageFromLocale(nullptr, nullptr, "jav"), Language::kEnglish);

  std::vector<std::string> warnings;
  EXPECT_FALSE(ParseSettings("", "s", &warnings).language.has_value());
  EXPECT_EQ(ParseSettings("language = en\n", "s", &warnings).language, Language::kEnglish);
  EXPECT_EQ(ParseSettings("language = JA\n", "s", &warnings).language, Language::kJapanese);
  EXPECT_FALSE(ParseSettings("language = auto\n", "s", &warnings).language.has_value());
  EXPECT_TRUE(warnings.empty());
  EXPECT_FALSE(ParseSettings("language = fr\n", "s", &warnings).language.has_value());
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("language"), std::string::npos);
  // The written settings carry the choice and read back the same.
  Settings chosen;
  chosen.language = Language::kEnglish;
  EXPECT_EQ(ParseSettings(FormatSettings(chosen), "s", &warnings).language, Language::kEnglish);
  EXPECT_FALSE(ParseSettings(FormatSettings(Settings{}), "s", &warnings).language.has_value());

  const char* en[] = {"orvelune", "--lang", "en"};
  EXPECT_EQ(ParseLaunchOptions(3, en).language, Language::kEnglish);
  const char* ja[] = {"orvelune", "--lang=ja"};
  EXPECT_EQ(ParseLaunchOptions(2, ja).language, Language::kJapanese);
  const char* none[] = {"orvelune"};
  EXPECT_FALSE(ParseLaunchOptions(1, none).language.has_value());
  const char* bad[] = {"orvelune", "--lang", "de"};
  EXPECT_EQ(ParseLaunchOptions(3, bad).action, LaunchOptions::Action::kUsageError);

  // The runner plays Japanese unless told otherwise, whatever the locale.
  SimOptions sim;
  std::string error;
  bool help = false;
  char* runnerArgs[] = {const_cast<char*>("orvelune-sim")};
  ASSERT_TRUE(ParseSimArguments(1, runnerArgs, &sim, &error, &help));
  EXPECT_EQ(sim.language, Language::kJapanese);
  char* english[] = {const_cast<char*>("orvelune-sim"), const_cast<char*>("--lang"),
                     const_cast<char*>("en")};
  ASSERT_TRUE(ParseSimArguments(3, english, &sim, &error, &help));
  EXPECT_EQ(sim.language, Language::kEnglish);
}

TEST(Language, OnlyFilesWithWordsAreRedirectedAndOnlyInEnglish) {
  LanguageGuard guard;
  const std::string event = kRoot + "Event/Event_Text/event.csv";
  const std::string stage = kRoot + "Field/stage_1.csv";
  SetLanguage(Language::kJapanese);
  EXPECT_EQ(LocalizedPath(event), event);
  SetLanguage(Language::kEnglish);
  EXPECT_EQ(LocalizedPath(event), kRoot + "en/Event/Event_Text/event.csv");
  EXPECT_EQ(LocalizedPath("/opt/game/" + event),
            "/opt/game/" + kRoot + "en/Event/Event_Text/event.csv");
  EXPECT_EQ(LocalizedPath(stage), stage);
  EXPECT_EQ(LocalizedPath("Event/Event_Text/event.csv"), "Event/Event_Text/event.csv");
}

TEST(Language, EveryLocalizedFileHasAnEnglishCopyOfTheSameShape) {
  for (const std::string& file : LocalizedFiles()) {
    SCOPED_TRACE(file);
    const std::string ja = ReadWholeFile(Japanese(file));
    const std::string en = ReadWholeFile(English(file));
    ASSERT_FALSE(ja.empty());
    ASSERT_FALSE(en.empty());
    if (file.size() > 4 && file.compare(file.size() - 4, 4, ".png") == 0) {
      // The English picture is cut from at the same places.
      Image a, b;
      std::string why;
      ASSERT_TRUE(LoadPng(Japanese(file), &a, &why)) << why;
      ASSERT_TRUE(LoadPng(English(file), &b, &why)) << why;
      EXPECT_EQ(a.width, b.width);
      EXPECT_EQ(a.height, b.height);
      EXPECT_NE(a.argb, b.argb) << "the English picture is the Japanese one";
    } else {
      // English text is plain ASCII: one byte per character, so the typing
      // effect's steps never cut a character in two.
      EXPECT_TRUE(std::all_of(en.begin(), en.end(),
                              [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
    }
  }
  // Nothing outside the list sits in the English folder.
  std::set<std::string> listed(LocalizedFiles().begin(), LocalizedFiles().end());
  const std::string folder = English("");
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    const std::string relative = std::filesystem::relative(entry.path(), folder).generic_string();
    EXPECT_TRUE(listed.count(relative)) << relative << " is in the English folder but never read";
  }
}

TEST(Language, TheEnglishTextsFollowTheJapaneseStructure) {
  const std::string eventFile = "Event/Event_Text/event.csv";
  const auto ja = Events(ReadWholeFile(Japanese(eventFile)));
  const auto en = Events(ReadWholeFile(English(eventFile)));
  ASSERT_EQ(ja.size(), 11u);
  ASSERT_EQ(en.size(), ja.size());
  for (const auto& [number, pages] : ja) {
    SCOPED_TRACE("event " + std::to_string(number));
    ASSERT_EQ(en.at(number).size(), pages.size());
    for (size_t i = 0; i < pages.size(); ++i) EXPECT_EQ(en.at(number)[i].kind, pages[i].kind);
  }

  for (const char* file : {"Event/Opening/Opening.csv", "Event/Ending/Ending.csv"}) {
    SCOPED_TRACE(file);
    const auto jaPages = ParseScript(ReadWholeFile(Japanese(file)));
    const auto enPages = ParseScript(ReadWholeFile(English(file)));
    ASSERT_FALSE(jaPages.empty());
    ASSERT_EQ(enPages.size(), jaPages.size());
    for (size_t i = 0; i < jaPages.size(); ++i) {
      EXPECT_EQ(enPages[i].speaker, jaPages[i].speaker) << "page " << i;
      for (int slot = 0; slot < 4; ++slot)
        EXPECT_EQ(enPages[i].place[slot], jaPages[i].place[slot]) << "page " << i;
      EXPECT_EQ(enPages[i].backdrop, jaPages[i].backdrop) << "page " << i;
    }
  }

  const auto jaBoards = Boards(ReadWholeFile(Japanese("Infomation/infomation.csv")));
  const auto enBoards = Boards(ReadWholeFile(English("Infomation/infomation.csv")));
  ASSERT_EQ(enBoards.size(), jaBoards.size());
  for (size_t i = 0; i < jaBoards.size(); ++i) {
    EXPECT_EQ(enBoards[i].number, jaBoards[i].number);
    EXPECT_EQ(enBoards[i].picture, jaBoards[i].picture) << "board " << jaBoards[i].number;
    EXPECT_FALSE(enBoards[i].text.empty());
  }

  // The pad's texts, in both languages, stand in for boards that exist and
  // keep their picture (the panel takes it from the pad's row).
  for (Language lang : {Language::kJapanese, Language::kEnglish}) {
    const std::string file = "Infomation/infomation_pad.csv";
    const auto padBoards =
        Boards(ReadWholeFile(lang == Language::kEnglish ? English(file) : Japanese(file)));
    const auto& boards = lang == Language::kEnglish ? enBoards : jaBoards;
    EXPECT_FALSE(padBoards.empty());
    for (const InfoEntry& pad : padBoards) {
      const auto same = std::find_if(boards.begin(), boards.end(),
                                     [&](const InfoEntry& e) { return e.number == pad.number; });
      ASSERT_NE(same, boards.end()) << "pad text " << pad.number << " has no board";
      EXPECT_EQ(pad.picture, same->picture) << "pad text " << pad.number;
      EXPECT_NE(pad.text, same->text) << "pad text " << pad.number << " says what the keys' says";
    }
  }
}

namespace {

struct Misfit {
  std::string where, line;
  std::string why;
};

std::string Describe(const std::vector<Misfit>& misfits) {
  std::string out;
  for (const Misfit& m : misfits) out += m.where + ": \"" + m.line + "\" " + m.why + "\n";
  return out;
}

// Where a text may go, relative to the top-left of its first line: a width,
// a number of lines, and a corner (a picture or a button) that lines reaching
// below cornerTop must end before.
struct Room {
  int width, lines;
  int cornerLeft = -1, cornerTop = 0;
};

// Characters a line must not start with: closing punctuation and brackets,
// the long-vowel mark and the small kana. (A speech may open with a pause,
// "……" or "...".)
bool StartsWithClosing(const std::string& utf8line) {
  if (utf8line.rfind("…", 0) == 0 || utf8line.rfind("...", 0) == 0) return false;
  static const char* kClosing[] = {"。", "、", "」", "』", "）", ")",  "]",  "!",  "?",  "！",
                                   "？", "ー", "・", ",",  ".",  ":",  ";",  "ぁ", "ぃ", "ぅ",
                                   "ぇ", "ぉ", "っ", "ゃ", "ゅ", "ょ", "ゎ", "ァ", "ィ", "ゥ",
                                   "ェ", "ォ", "ッ", "ャ", "ュ", "ョ", "ヮ"};
  for (const char* c : kClosing)
    if (utf8line.rfind(c, 0) == 0) return true;
  return false;
}

// Checks one text against its room: every line the writer broke fits whole
// (so the font never has to break it further), the lines fit the height, and
// lines beside the corner end before it.
void CheckFit(Font* font, const std::string& where, const std::string& sjis, const Room& room,
              std::vector<Misfit>* misfits) {
  const std::string utf8 = SjisToUtf8(sjis);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= utf8.size()) {
    size_t end = utf8.find('\n', start);
    if (end == std::string::npos) end = utf8.size();
    if (end > start) lines.push_back(utf8.substr(start, end - start));
    start = end + 1;
  }
  if (static_cast<int>(lines.size()) > room.lines)
    misfits->push_back({where, utf8, std::to_string(lines.size()) + " lines do not fit"});
  const int lineHeight = font->LineHeight();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (StartsWithClosing(lines[i]))
      misfits->push_back({where, lines[i], "starts with closing punctuation or a small kana"});
    const int bottom = static_cast<int>(i + 1) * lineHeight;
    const bool besideCorner = room.cornerLeft >= 0 && bottom > room.cornerTop;
    const int limit = besideCorner ? room.cornerLeft : room.width;
    const int width = font->TextWidth(Utf8ToSjis(lines[i]).c_str());
    if (width > limit)
      misfits->push_back(
          {where, lines[i], std::to_string(width) + " px wide, room for " + std::to_string(limit)});
  }
}

}  // namespace

// In both languages every line of every event page, scripted scene page and
// board fits its window in the game's font as the writer broke it (so the
// font never breaks a line itself and leaves a word or two alone on the
// next), and no line starts with closing punctuation or a small kana.
TEST(Language, EveryLineFitsItsWindowInTheGamesFontInBothLanguages) {
  LanguageGuard guard;
  for (Language lang : {Language::kJapanese, Language::kEnglish}) {
    SetLanguage(lang);
    HeadlessServices services;
    ASSERT_EQ(InitTextFonts(), 1);
    Font* script = GetScriptFont();
    Font* board = GetBoardFont();
    std::vector<Misfit> misfits;
    auto file = [&](const std::string& name) {
      return lang == Language::kEnglish ? English(name) : Japanese(name);
    };

    // The text window is drawn at (11, 461); its gold frame's inner edge is
    // 1240 pixels in, and the page button stands at x 1142 from y 589 down.
    // Lines keep 10 pixels from either.
    const int textLeft = 11 + kScriptTextLeft + kScriptTextShiftX;
    const int textTop = 461 + kScriptTextTop + kScriptTextShiftY;
    Room window{std::min(kScriptTextWidth, 11 + 1240 - 10 - textLeft),
                kScriptTextHeight / script->LineHeight(), 1142 - 10 - textLeft, 589 - textTop};

    const std::string eventBytes = ReadWholeFile(file("Event/Event_Text/event.csv"));
    for (const auto& [number, pages] : Events(eventBytes))
      for (size_t i = 0; i < pages.size(); ++i)
        CheckFit(script, "event " + std::to_string(number) + " page " + std::to_string(i + 1),
                 pages[i].text, window, &misfits);
    for (const char* name : {"Event/Opening/Opening.csv", "Event/Ending/Ending.csv"}) {
      const auto pages = ParseScript(ReadWholeFile(file(name)));
      EXPECT_FALSE(pages.empty()) << name;
      for (size_t i = 0; i < pages.size(); ++i)
        CheckFit(script, std::string(name) + " page " + std::to_string(i + 1), pages[i].text,
                 window, &misfits);
    }
    // The help panel: lines beside a board's picture end before it.
    const Room panel{kBoardTextWidth, kBoardTextHeight / board->LineHeight()};
    Room besidePicture = panel;
    besidePicture.cornerLeft = static_cast<int>(kBoardPictureOffset.x) - kBoardTextLeft;
    besidePicture.cornerTop = static_cast<int>(kBoardPictureOffset.y) - kBoardTextTop;
    for (const char* name : {"Infomation/infomation.csv", "Infomation/infomation_pad.csv"}) {
      const auto boards = Boards(ReadWholeFile(file(name)));
      EXPECT_FALSE(boards.empty()) << name;
      for (const InfoEntry& e : boards)
        CheckFit(board, std::string(name) + " board " + std::to_string(e.number), e.text,
                 e.picture >= 0 ? besidePicture : panel, &misfits);
    }
    EXPECT_TRUE(misfits.empty()) << (lang == Language::kEnglish ? "English" : "Japanese") << "\n"
                                 << Describe(misfits);
    ReleaseTextFonts();
  }
}

TEST(Language, TheWholeGamePlaysThroughInEnglish) {
  // The whole-game replay's input, played in English (its state hashes are
  // for Japanese, so only its input is used): the same presses read the
  // opening, clear all four stages, read the ending and roll the credits.
  LanguageGuard guard;
  TempDirectory dir;
  SimOptions o;
  o.workingDirectory = RunDirectory();
  o.language = Language::kEnglish;
  o.inputPath = std::string(ORVELUNE_TEST_DATA_DIR) + "/full_game.replay";
  o.dumpPath = dir.Path() + "/dump.jsonl";
  for (int64_t frame = 0; frame < 19000; frame += 50) o.dumpFrames.push_back(frame);
  testing::internal::CaptureStderr();
  const int status = RunSimulation(o);
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_EQ(status, 0) << err;
  EXPECT_EQ(CurrentLanguage(), Language::kEnglish);

  // The scenes in the order they were first seen.
  std::vector<int> order;
  int lastStage = -1;
  const std::string dump = ReadWholeFile(o.dumpPath);
  size_t start = 0;
  while (start < dump.size()) {
    size_t end = dump.find('\n', start);
    if (end == std::string::npos) end = dump.size();
    const std::string line = dump.substr(start, end - start);
    start = end + 1;
    const size_t at = line.find("\"seq_state\":");
    if (at == std::string::npos) continue;
    const int state = std::atoi(line.c_str() + at + 12);
    if (std::find(order.begin(), order.end(), state) == order.end()) order.push_back(state);
    const size_t stage = line.find("\"stage\":");
    if (stage != std::string::npos) lastStage = std::atoi(line.c_str() + stage + 8);
  }
  EXPECT_EQ(lastStage, 3);
  const std::vector<int> expected = {kSeqTitleRun, kSeqOpeningRun, kSeqGameRun, kSeqEndingRun,
                                     kSeqCreditRun};
  std::vector<int> seen;
  for (int s : order)
    if (std::find(expected.begin(), expected.end(), s) != expected.end()) seen.push_back(s);
  EXPECT_EQ(seen, expected);
}
