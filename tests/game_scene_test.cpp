// The game scene played end to end on the headless backend from its real
// start-up (as the runner's --stage does): the fade-in that freezes the
// world, the pause menu and its refusals, retrying from the menu and from the
// game-over screen, giving up, and falling into the river.
#include <gtest/gtest.h>

#include <functional>

#include "app/application.h"
#include "render/sound_sets.h"
#include "render/view.h"
#include "scenes/game.h"
#include "tests/test_support.h"
#include "world/character_manager.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/run_state.h"
#include "world/world_values.h"

namespace {

struct Frame {
  int sequencer = 0;
  int mode = -1;
  int life = 0;
  int fade = 0;
  Vec3 player;
  int playerState = 0;
  int pauseCursor = 0;
};

// Runs a game on stage 0 with the script; `poke` may change the game between
// frames (it is called after each frame with the frame number).
std::vector<Frame> PlayStage(const std::string& script, int64_t frames,
                             const std::function<void(int64_t, Game&)>& poke = nullptr) {
  ResetDrawView();
  HeadlessOptions options;
  options.script = ScriptFrom(script);
  options.maxFrames = frames;
  ScopedHeadlessBackend backend(options);
  ScopedWorkingDirectory run(RunDirectory());
  std::vector<Frame> out;
  Application app(backend.Get(), DisplayMode::Windowed);
  app.SetFrameObserver([&](Application& a) {
    Frame f;
    f.sequencer = a.GetState();
    Game* game = a.GetGame();
    if (game && game->Characters()) {
      const GameState& state = game->GetRun().game;
      f.mode = state.gameMode;
      f.life = state.life;
      f.fade = state.fadeAlpha;
      f.player = game->Characters()->GetPlayer()->position;
      f.playerState = game->Characters()->GetPlayer()->state;
      f.pauseCursor = game->GetPause().GetCursor();
      if (poke) poke(a.GetFrameCount() - 1, *game);
    }
    out.push_back(f);
  });
  EXPECT_EQ(app.Init(), 1);
  app.StartGameDirectly(0);
  app.Run();
  app.Release();
  return out;
}

// The first play frame: frame 0 starts the stage and ends its fade-out,
// frames 1 to 53 fade in (the alpha reaches 0 at frame 52, the fade ends in
// the next step).
constexpr int kPlayFrom = 54;
// Pausing darkens the screen over 51 frames; then the menu reads input.
constexpr int kMenuReady = 51;

}  // namespace

TEST(GameScene, TheFadeInFreezesTheWorldAndRefusesAPause) {
  const auto f = PlayStage("@2 key UP down\n@20 press P\n", kPlayFrom + 5);
  const Vec3 start = f[1].player;
  EXPECT_EQ(f[1].fade, 255);
  for (int i = 1; i < kPlayFrom - 1; ++i) {
    EXPECT_FLOAT_EQ(f[i].player.x, start.x) << i;
    EXPECT_NE(f[i].mode, kModePause) << i;
  }
  EXPECT_EQ(f[kPlayFrom - 2].fade, 0);
  EXPECT_GT(f.back().player.x, start.x);  // walking once the screen is clear
}

TEST(GameScene, PInsideTheMenuResumesAtOnceAndRestoresTheSounds) {
  const int p = kPlayFrom + 5;
  const std::string script =
      "@" + std::to_string(p) + " press P\n@" + std::to_string(p + kMenuReady + 2) + " press P\n";
  int rotateAfter = -1;
  const auto f = PlayStage(script, p + kMenuReady + 6, [&](int64_t frame, Game& g) {
    SoundSetCore& sounds = g.GetRun().sound;
    if (frame == p - 1) sounds.Request(kSeRotate, 2);  // as if an area were turning
    if (frame == p) {
      EXPECT_EQ(sounds.GetRequest(kSeRotate), 0);
    }
    if (frame == p + kMenuReady + 2) rotateAfter = sounds.GetRequest(kSeRotate);
  });
  EXPECT_EQ(f[p].mode, kModePause);
  EXPECT_EQ(f[p + kMenuReady].fade, 255);
  EXPECT_EQ(f[p + kMenuReady + 2].mode, kModeFreePlay);
  EXPECT_EQ(f[p + kMenuReady + 2].fade, 0);
  EXPECT_EQ(rotateAfter, 2);
}

TEST(GameScene, PausingIsRefusedWhileThePlayerFallsAwayOrFlips) {
  for (int state : {kStateWashedAway, kStateFlipping}) {
    SCOPED_TRACE(state);
    const int p = kPlayFrom + 5;
    const auto f =
        PlayStage("@" + std::to_string(p) + " press P\n", p + 3, [&](int64_t frame, Game& g) {
          if (frame != p - 1) return;
          Player* player = g.Characters()->GetPlayer();
          player->state = state;
          player->flipCentre = player->startPosition = player->position;
          player->flipRise = 4;
        });
    EXPECT_NE(f[p].mode, kModePause);
    EXPECT_EQ(f[p].playerState, state);
  }
}

TEST(GameScene, RetryFromThePauseMenuRestartsWithFiveLife) {
  const int p = kPlayFrom + 5;
  const int confirm = p + kMenuReady + 3;
  const auto f = PlayStage(
      "@" + std::to_string(p) + " press P\n@" + std::to_string(confirm) + " press RETURN\n",
      confirm + 60, [&](int64_t frame, Game& g) {
        if (frame == p - 1) g.GetRun().game.life = 2;
      });
  EXPECT_EQ(f[confirm - 1].pauseCursor, 1);  // the menu starts on retry
  // The menu's own fade reaches black in 51 frames, then the stage starts
  // afresh behind a black screen.
  const Frame& after = f[confirm + 50];
  EXPECT_EQ(after.life, 5);
  EXPECT_EQ(after.mode, kModeFreePlay);
  EXPECT_EQ(after.fade, 255);
}

TEST(GameScene, AfterTheBossEventARetryStartsArmedBesideTheGate) {
  const int p = kPlayFrom + 5;
  const int confirm = p + kMenuReady + 3;
  float goalX = 0;  // the game's own run's, read while it plays
  const auto f = PlayStage(
      "@" + std::to_string(p) + " press P\n@" + std::to_string(confirm) + " press RETURN\n",
      confirm + 60, [&](int64_t frame, Game& g) {
        if (frame == p - 1) g.GetRun().game.bossEventSeen = 1;
        goalX = g.GetRun().world.goalPosition.x;
      });
  const Frame& after = f[confirm + 55];
  EXPECT_EQ(after.mode, kModeBossArmed);
  EXPECT_NE(goalX, 0);
  EXPECT_NEAR(after.player.x, goalX - 5, 0.01f);
}

TEST(GameScene, FallingIntoTheRiverShowsTheGameOverScreenAndRetryRestarts) {
  // Walk off the near edge (Left walks towards +z on this camera).
  const std::string walk = "@" + std::to_string(kPlayFrom) + " key LEFT down\n@" +
                           std::to_string(kPlayFrom + 100) + " key LEFT up\n";
  auto f = PlayStage(walk + "@500 press RETURN\n", 600);
  int over = -1;
  for (size_t i = 0; i < f.size(); ++i)
    if (f[i].mode == kModeGameOver) {
      over = static_cast<int>(i);
      break;
    }
  ASSERT_GT(over, 0) << "the player never fell";
  ASSERT_LT(over, 480);
  // Return after the options have appeared retries once the screen is black.
  bool restarted = false;
  for (size_t i = 501; i < f.size(); ++i) restarted |= f[i].mode == kModeFreePlay && f[i].life == 5;
  EXPECT_TRUE(restarted);
}

TEST(GameScene, GivingUpReturnsToTheTitleWithResultZero) {
  // Right at 120 shows "give up" from nothing (26 frames to full); a confirm
  // before that is refused.
  const auto f = PlayStage("@120 press RIGHT\n@125 press RETURN\n@150 press RETURN\n", 260,
                           [&](int64_t frame, Game& g) {
                             if (frame == kPlayFrom + 2)
                               g.Characters()->GetPlayer()->state = kStateGone;
                           });
  ASSERT_GT(f.size(), static_cast<size_t>(kPlayFrom + 5));
  EXPECT_EQ(f[kPlayFrom + 4].mode, kModeGameOver);
  // After the choice the screen darkens (51 frames), then the game ends and
  // the sequencer is back at the title.
  for (size_t i = 125; i < 150; ++i) EXPECT_EQ(f[i].mode, kModeGameOver) << i;
  bool title = false;
  for (size_t i = 150; i < f.size(); ++i) title |= f[i].sequencer == 1;
  EXPECT_TRUE(title);
}
