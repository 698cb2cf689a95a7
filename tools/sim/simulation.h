// The headless runner: plays the real program (the same Application,
// sequencer and scenes) with scripted input at a fixed 1/60 s step, and can
// dump the state, write screenshots, record replays with state hashes and
// verify them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/language.h"

struct Screenshot {
  int64_t frame;
  std::string path;
};

struct SimOptions {
  int64_t frames = -1;    // -1: until the program ends
  std::string inputPath;  // input script
  bool seedGiven = false;
  uint32_t seed = 1;
  std::vector<Screenshot> screenshots;
  std::string dumpPath;
  std::vector<int64_t> dumpFrames;  // empty: every frame
  std::string recordPath;           // play for real and save the input
  std::string verifyPath;           // replay and check hashes
  std::string writeReplayPath;      // run headless and save the input with hashes
  std::string workingDirectory;
  std::string settingsPath;  // the player's settings to play with (and the options screen saves)
  std::string galleryPath;   // draw the content test view and stop
  std::string fightSheetsDirectory;  // a sheet of pictures of each boss fight of the run
  std::string dumpStagePath;         // print a stage file's objects and stop
  int startStage = -1;               // start a game on this stage directly
  int startScene = -1;               // or start on this scene (a SequencerState)
  int stageViewIndex = -1;           // draw a fixed view of a stage...
  std::string stageViewPath;         // ...into this picture, and stop
  int64_t benchFrames = -1;          // run the drawing benchmark with this many frames per scene
  Language language = Language::kJapanese;  // --lang; Japanese keeps every replay as it is
  // Screenshots drawn as the game's window draws (straight into the window
  // where it fits) rather than through the off-screen picture; the same
  // pictures either way, which the picture tests check.
  bool drawAsTheGame = false;
};

class Application;

// Parses the command line; false with a message for a mistake. help is set
// when the usage was asked for.
bool ParseSimArguments(int argc, char** argv, SimOptions* options, std::string* error, bool* help);
std::string SimUsage();

// Runs the program as the options say; returns the exit status.
int RunSimulation(const SimOptions& options);

// Seeds the program's game and drawing randomness and fixes the stage seed,
// as every run of the runner does, before the first frame.
void SeedRandomness(Application& app, uint32_t seed);

// What a state hash covers: the frame, the run's seed (so a replay played
// with another seed, or with its seed line changed, does not verify) and the
// program's state.
std::string StateJson(const Application& app, int64_t frame, uint32_t seed);
// The hash of the game's state after a frame, as replays store it.
uint64_t StateHash(const std::string& stateJson);

constexpr int64_t kHashInterval = 60;
