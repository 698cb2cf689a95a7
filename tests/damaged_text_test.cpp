// The scene scripts, the event texts and the boards' texts are files a
// person edits, in both languages: one damaged into bytes that are not text
// is refused naming the file and the line (never drawn as characters it
// never had), and one cut short at a line's end plays what it still holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/application.h"
#include "base/failed_files.h"
#include "tests/test_support.h"
#include "tools/sim/simulation.h"

namespace fs = std::filesystem;

namespace {

// A copy of the content tree (as links) with one file's bytes replaced.
void ContentWith(const std::string& dir, const std::string& replaced, const std::string& bytes) {
  LinkContent(dir, [&](const std::string& rel) { return rel == replaced; });
  std::ofstream(fs::path(dir) / "Resource_Orvelune" / replaced, std::ios::binary) << bytes;
}

struct Script {
  const char* file;  // under Resource_Orvelune, in Japanese
  int scene;         // the scene that reads it, or -1 for stage 1
};
constexpr Script kScripts[] = {{"Event/Opening/Opening.csv", kSeqOpeningStart},
                               {"Event/Ending/Ending.csv", kSeqEndingStart},
                               {"Event/Event_Text/event.csv", -1},
                               {"Infomation/infomation.csv", -1},
                               {"Infomation/infomation_pad.csv", -1}};

int Play(const Script& s, Language language, const std::string& dir, std::string* err) {
  SimOptions o;
  o.workingDirectory = dir;
  o.language = language;
  o.frames = 60;
  if (s.scene >= 0)
    o.startScene = s.scene;
  else
    o.startStage = 0;
  ForgetFailures();
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  const int status = RunSimulation(o);
  testing::internal::GetCapturedStdout();
  *err = testing::internal::GetCapturedStderr();
  return status;
}

// Every byte value once, in a fixed shuffled order.
std::string Garbage() {
  std::string bytes(256, '\0');
  for (int i = 0; i < 256; ++i) bytes[i] = static_cast<char>(i);
  std::shuffle(bytes.begin(), bytes.end(), std::mt19937(7));
  return bytes;
}

}  // namespace

TEST(DamagedText, ScriptsOfBytesThatAreNotTextAreRefusedNamingTheFileAndLine) {
  for (const Language language : {Language::kJapanese, Language::kEnglish}) {
    for (const Script& s : kScripts) {
      const std::string rel = std::string(language == Language::kEnglish ? "en/" : "") + s.file;
      const std::string whole = ReadWholeFile(RunDirectory() + "/Resource_Orvelune/" + rel);
      ASSERT_FALSE(whole.empty()) << rel;
      // The file as it is, then with garbage after its first line.
      const std::string firstLine = whole.substr(0, whole.find('\n') + 1);
      for (const std::string& bytes : {whole, firstLine + Garbage()}) {
        TempDirectory dir;
        ContentWith(dir.Path(), rel, bytes);
        std::string err;
        const int status = Play(s, language, dir.Path(), &err);
        if (bytes == whole) {
          EXPECT_EQ(status, 0) << rel << ": " << err;
          continue;
        }
        EXPECT_EQ(status, 1) << rel;
        EXPECT_NE(err.find(fs::path(rel).filename().string()), std::string::npos) << err;
        EXPECT_NE(err.find("line 2: bytes that are not text"), std::string::npos) << err;
      }
    }
  }
}

TEST(DamagedText, AJapaneseScriptCutInsideACharacterIsRefusedAndOneCutAtALinesEndPlays) {
  for (const Script& s : kScripts) {
    const std::string whole = ReadWholeFile(RunDirectory() + "/Resource_Orvelune/" + s.file);
    // Cut after the first double-byte character's lead byte on the second line.
    const size_t second = whole.find('\n') + 1;
    size_t lead = second;
    while (lead < whole.size() && static_cast<unsigned char>(whole[lead]) < 0x81) ++lead;
    ASSERT_LT(lead, whole.size()) << s.file;
    // And its first half, up to a line's end: a copy cut short.
    size_t half = whole.size() / 2;
    while (half > 0 && whole[half - 1] != '\n') --half;
    for (const std::string& bytes : {whole.substr(0, lead + 1), whole.substr(0, half)}) {
      TempDirectory dir;
      ContentWith(dir.Path(), s.file, bytes);
      std::string err;
      const int status = Play(s, Language::kJapanese, dir.Path(), &err);
      if (bytes.size() == half) {
        EXPECT_EQ(status, 0) << s.file << ": " << err;
        EXPECT_EQ(err.find(fs::path(s.file).filename().string()), std::string::npos) << err;
      } else {
        EXPECT_EQ(status, 1) << s.file;
        EXPECT_NE(err.find(fs::path(s.file).filename().string()), std::string::npos) << err;
        EXPECT_NE(err.find("bytes that are not text"), std::string::npos) << err;
      }
    }
  }
}
