// What the player sees over whole stages: each stage's replay and the whole
// game's, played in-process with a device that keeps what every frame drew.
// In every frame of play the picture's eye stands outside every drawn model,
// nothing drawn opaque stands between the eye and the player, and in each
// boss fight the bosses are in view most of the time.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "scenes/game.h"
#include "tests/test_support.h"
#include "tests/view_probe.h"
#include "tools/sim/simulation.h"
#include "world/camera.h"
#include "world/character_manager.h"
#include "world/enemies.h"
#include "world/game_state.h"
#include "world/player.h"

namespace {

struct Fight {
  int stage = -1;
  int frames = 0;
  int inView = 0;
};

struct Seen {
  int playFrames = 0;
  int eyeInside = 0;
  int hidden = 0;
  int followFrames = 0;  // the camera rising after a fall
  int followHidden = 0;  // ... with a model between it and what it follows
  int followFar = 0;     // ... or more than 18 units from it
  std::vector<std::string> firstFaults;
  std::vector<Fight> fights;
};

void Note(Seen& seen, const std::string& what) {
  if (seen.firstFaults.size() < 400) seen.firstFaults.push_back(what);
}

Seen Watch(const std::string& replay, int stage) {
  HeadlessOptions options;
  std::string error;
  EXPECT_TRUE(options.script.Load(replay, &error)) << error;
  options.renderPictures = true;
  ViewProbeDevice* probe = nullptr;
  options.pictureDevice = [&](std::string*) {
    probe = new ViewProbeDevice;
    return probe;
  };
  const uint32_t seed = options.script.seed.value_or(1);
  const std::vector<HashCheck> hashes = options.script.hashes;
  ScopedHeadlessBackend backend(options);
  Seen seen;
  size_t nextHash = 0;
  Application app(backend.Get(), DisplayMode::Windowed);
  SeedRandomness(app, seed);
  if (stage >= 0) app.StartGameDirectly(stage);
  app.SetFrameObserver([&](Application& a) {
    // The replay must play as it was recorded, or what is seen means nothing.
    const int64_t played = a.GetFrameCount() - 1;
    if (nextHash < hashes.size() && hashes[nextHash].frame == played) {
      if (StateHash(StateJson(a, played, seed)) != hashes[nextHash].hash) {
        ADD_FAILURE() << replay << " no longer plays as recorded at frame " << played;
        nextHash = hashes.size();
      } else {
        ++nextHash;
      }
    }
    Game* game = a.GetGame();
    if (!game || !probe || a.GetDrawId() != kDrawGame || !game->Characters()) return;
    RunState& run = game->GetRun();
    const int mode = run.game.gameMode;
    // The world in play and in its events, not behind a fade or a screen.
    Player* player = game->Characters()->GetPlayer();
    if (!player) return;
    ++seen.playFrames;
    const int64_t frame = a.GetFrameCount() - 1;
    const Vec3 eye = probe->Eye();
    if (!probe->Holding(eye).empty()) {
      ++seen.eyeInside;
      Note(seen, "frame " + std::to_string(frame) + ": the eye is inside a model");
    }
    const float up = player->upsideDown ? -1.0f : 1.0f;
    const Vec3 centre = player->position + Vec3{0, up * player->size.y / 2, 0};
    if (const ViewProbeDevice::Model* m = probe->FirstBetween(eye, centre, &player->world)) {
      ++seen.hidden;
      char at[160];
      std::snprintf(at, sizeof at,
                    " at %.1f %.1f %.1f (%.1f x %.1f x %.1f) eye %.1f %.1f %.1f mode %d",
                    m->world[3][0], m->world[3][1], m->world[3][2], m->hi.x - m->lo.x,
                    m->hi.y - m->lo.y, m->hi.z - m->lo.z, eye.x, eye.y, eye.z, mode);
      Note(seen, "frame " + std::to_string(frame) + ": a model hides the player" + at);
    }
    if (run.camera.mode == kCameraRise) {
      ++seen.followFrames;
      const Vec3 followed = run.camera.lookAt;
      if (probe->FirstBetween(eye, followed, nullptr)) {
        ++seen.followHidden;
        Note(seen, "frame " + std::to_string(frame) + ": a model hides what the camera follows");
      }
      if (Vec3Length(followed - eye) > 18.01f) ++seen.followFar;
    }
    if (mode == kModeBossBattle) {
      if (seen.fights.empty() || seen.fights.back().stage != run.game.stageNumber)
        seen.fights.push_back({run.game.stageNumber, 0, 0});
      Fight& f = seen.fights.back();
      ++f.frames;
      for (CharacterBase* c : game->Characters()->GetCharacters()) {
        auto* e = dynamic_cast<EnemyBase*>(c);
        if (!e || e->isMob || c->state == kStateGone) continue;
        const float side = c->upsideDown ? -1.0f : 1.0f;
        if (probe->InView(c->position + Vec3{0, side * c->size.y / 2, 0})) {
          ++f.inView;
          break;
        }
      }
    }
  });
  EXPECT_EQ(app.Init(), 1);
  app.Run();
  app.Release();
  EXPECT_EQ(nextHash, hashes.size()) << replay << " ended before its last hash";
  return seen;
}

std::string Replay(const std::string& name) {
  return std::string(ORVELUNE_TEST_DATA_DIR) + "/" + name + ".replay";
}

void ExpectAClearView(const std::string& name, const Seen& s) {
  EXPECT_GT(s.playFrames, 1000) << name;
  EXPECT_GT(s.followFrames, 0) << name << ": no fall followed (every stage ends in its boss's)";
  EXPECT_EQ(s.eyeInside, 0) << name << ": frames with the eye inside a drawn model";
  EXPECT_EQ(s.hidden, 0) << name
                         << ": frames with a model drawn opaque between the eye and "
                            "the player";
  EXPECT_EQ(s.followHidden, 0) << name
                               << ": frames with a model between the eye and the fall it follows";
  EXPECT_EQ(s.followFar, 0) << name
                            << ": frames with the eye over 18 units from the fall it follows";
  for (const std::string& w : s.firstFaults) ADD_FAILURE() << name << ", " << w;
}

// Each boss fight's share of frames with a boss in view, as the test log
// shows it; every fight keeps a boss in view in 85 % of its frames or more
// (on the replays: 99.7, 92.3, 89.8 and 86.1 %; stage 4's was 55.5 % while
// its head came home behind the camera, stage 1's 87 % with the scorpion
// behind a wall).
void ExpectTheBossesInView(const std::string& name, const Seen& s) {
  for (const Fight& f : s.fights) {
    const double share = 100.0 * f.inView / std::max(1, f.frames);
    std::printf("%s: stage %d's boss fight, %d frames, a boss in view in %.1f %% of them\n",
                name.c_str(), f.stage + 1, f.frames, share);
    EXPECT_GE(share, 85.0) << name << ": stage " << f.stage + 1 << "'s boss fight";
  }
}

}  // namespace

// In every frame that draws the world, in each stage's replay: the eye the
// picture is drawn from stands outside every drawn model, nothing drawn
// opaque stands between it and the player (nor, while the camera rises after
// a fall, between it and what it follows), and the bosses are in view.
TEST(Visibility, EachStageKeepsThePlayerInSightAndTheEyeOutOfEveryModel) {
  for (int stage = 0; stage < 4; ++stage) {
    const std::string name = "stage" + std::to_string(stage + 1);
    const Seen s = Watch(Replay(name), stage);
    ExpectAClearView(name, s);
    ExpectTheBossesInView(name, s);
  }
}

TEST(Visibility, TheWholeGameKeepsThePlayerInSightAndTheEyeOutOfEveryModel) {
  const Seen s = Watch(Replay("full_game"), -1);
  ExpectAClearView("full_game", s);
  ExpectTheBossesInView("full_game", s);
  EXPECT_EQ(s.fights.size(), 4u);
}
