#include "scenes/game.h"

#include <utility>

#include "base/frame_time.h"
#include "base/json_writer.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "render/lighting.h"
#include "render/primitives.h"
#include "render/sound_sets.h"
#include "render/view_clearance.h"
#include "world/camera.h"
#include "world/character_manager.h"
#include "world/chips.h"
#include "world/enemies.h"
#include "world/field.h"
#include "world/field_chip.h"
#include "world/game_state.h"
#include "world/info_board.h"
#include "world/player.h"
#include "world/run_state.h"
#include "world/stage_meshes.h"
#include "world/world_values.h"

namespace {

constexpr int kFirstEvents[4] = {1, 4, 7, 10};
constexpr int kLastEvents[4] = {3, 6, 9, 11};

}  // namespace

int Game::FirstEvent(int stage) {
  return kFirstEvents[stage >= 0 && stage < 4 ? stage : 0];
}
int Game::LastEvent(int stage) {
  return kLastEvents[stage >= 0 && stage < 4 ? stage : 0];
}

Game::Game(RandomStreams& randoms, std::string folder)
    : randomLoan(randoms, run), lightFolder(std::move(folder)) {
  ResetLife(run.game);
  run.game.stageNumber = 0;
  ResetStageState(run.game);
  eventNumber = FirstEvent(0);
  result = 0;
}

Game::~Game() {
  Release();
  if (run.stageMeshes == &stageMeshes) run.stageMeshes = nullptr;
}

void Game::SetFirstStage(int stage) {
  run.game.stageNumber = stage;
  ResetStageState(run.game);
  eventNumber = FirstEvent(stage);
}

Player* Game::GetPlayer() const {
  return characters ? characters->GetPlayer() : nullptr;
}

int Game::LoadStageMeshes() {
  run.stageMeshes = &stageMeshes;
  return stageMeshes.Load(run.game.stageNumber);
}

void Game::ReleaseStageMeshes() {
  stageMeshes.Release();
}

int Game::LoadStageWorld() {
  ResetStageValues(run);
  characters = std::make_unique<CharacterManager>(run);
  field = std::make_unique<Field>(run);
  GimmickNode* head = nullptr;
  FieldChip reader(run);
  const int loaded = reader.Load(head, characters->GetCharacters(), run.game.stageNumber);
  field->SetGimmicks(head);
  return loaded;
}

int Game::InitWorld(const InputFrame& input) {
  return field->Init(run) && characters->Init(run, input);
}

int Game::Start(const InputFrame& input) {
  if (!LoadStageMeshes()) return 0;
  gameOver = std::make_unique<GameOver>();
  if (!gameOver->Load()) return 0;
  gameClear = std::make_unique<GameClear>();
  if (!gameClear->Load()) return 0;

  ResetFade(run.game);
  run.game.fadeAlpha = 255;
  run.game.fadingOut = 1;

  lights = std::make_unique<Light>(lightFolder);
  if (!lights->Load()) return 0;
  if (!event.LoadTextures()) return 0;
  if (!InitShadow()) return 0;
  if (!InitEffect()) return 0;
  effectsReady = true;
  SetEffectViewpoint({0, 0, 0});

  if (!event.Load(eventNumber)) return 0;
  if (!run.sound.Load()) return 0;
  soundsReady = true;

  if (!LoadStageWorld() || !InitWorld(input)) return 0;

  run.game.playerUnderside = 0;
  GraphicsDevice* d = GetDevice();
  d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  return 1;
}

void Game::ReleaseWorld() {
  if (field) field->Release();
  field.reset();
  if (characters) characters->Release();
  characters.reset();
}

void Game::UnloadStage() {
  event.Release();
  ReleaseStageMeshes();
  ReleaseWorld();
}

int Game::LoadNextStage(const InputFrame& input) {
  if (!LoadStageMeshes()) return 0;
  ResetStageState(run.game);
  run.game.bossEventSeen = 0;
  if (!LoadStageWorld()) return 0;
  ResetFade(run.game);
  run.game.fadeAlpha = 255;
  run.game.fadingIn = 1;
  if (!event.LoadTextures() || !event.Load(eventNumber)) return 0;
  lights->Apply(GetPlayer()->upsideDown);
  return InitWorld(input);
}

void Game::UnloadForRetry() {
  event.Release();
  ReleaseWorld();
  eventNumber = FirstEvent(run.game.stageNumber);
  ResetLife(run.game);
  pause.Reset(true);
}

int Game::RestartStage(const InputFrame& input) {
  ResetFade(run.game);
  run.game.fadeAlpha = 255;
  run.game.fadingIn = 1;
  if (!event.LoadTextures()) return 0;
  event.state = Event::kIdle;
  if (!event.Load(eventNumber)) return 0;
  ResetStageState(run.game);
  if (run.game.bossEventSeen == 1) run.game.gameMode = kModeBossArmed;
  if (!LoadStageWorld()) return 0;
  lights->Apply(GetPlayer()->upsideDown);
  run.sound.StopAll();
  return InitWorld(input);
}

void Game::Release() {
  event.Release();
  if (gameOver || gameClear || field || characters) ReleaseStageMeshes();
  gameOver.reset();
  gameClear.reset();
  if (effectsReady) ReleaseShadow();
  if (field) field->Release();
  if (effectsReady) ReleaseEffect();
  effectsReady = false;
  if (soundsReady) run.sound.Release();
  soundsReady = false;
  if (characters) characters->Release();
  field.reset();
  characters.reset();
  lights.reset();
}

void Game::RunEvent(int mode, const InputFrame& input) {
  if (event.state == Event::kIdle) event.state = Event::kLoadAsked;
  if (event.state == Event::kLoadAsked) {
    event.Load(eventNumber);
    if (event.windowPhase == Event::kClosed) {
      event.windowPhase = Event::kSlidingIn;
      run.sound.PlayOnce(kSeSet);
    }
  } else if (event.state == Event::kLoaded || event.state == Event::kLastPage) {
    if (run.sound.IsPlaying(kSeCharge)) run.sound.Request(kSeCharge, 0);
    event.Update(run.sound, input);
  }
  // An event missing from the file ends like any other, so the stage goes on.
  if (!event.Ended()) return;
  if (mode == kModeBossEncounter) {
    run.game.bossEventSeen = 1;
    run.game.gameMode = kModeBossBattle;
  } else if (mode == kModeGoal) {
    run.game.gameMode = kModeClear;
  } else if (mode == kModeBossDefeated) {
    run.camera.mode = kCameraFollow;
    run.camera.easeTime = 0;
    run.camera.easeFrom = run.camera.eye;
    run.camera.lookFrom = run.camera.lookAt;
    run.game.gameMode = run.game.stageNumber == 3 ? kModeGoal : kModeBridge;
  }
  if (eventNumber != LastEvent(run.game.stageNumber)) {
    event.state = Event::kIdle;
    eventNumber += 1;
  }
}

int Game::RunClear(const InputFrame& input) {
  const int stage = run.game.stageNumber;
  run.sound.Request(stage == 2 ? kSeFish : stage == 3 ? kBgmBossBattle : kBgmNormalBattle, 0);
  for (int s : {kBgmMain, kSeWallow, kSeCharge, kSeBossRush}) run.sound.Request(s, 0);
  gameClear->Update(run.sound, input);
  if (!gameClear->IsDone()) return 1;
  int ret = 1;
  if (run.game.fadeAlpha == 255) {
    if (stage == 3) {
      run.game.bossEventSeen = 0;
      result = 1;
      ret = 0;
      run.sound.StopAll();
    } else {
      UnloadStage();
      run.game.stageNumber = stage + 1;
      eventNumber = FirstEvent(stage + 1);
      ret = LoadNextStage(input);
      gameClear->Reset();
    }
  }
  run.game.fadingOut = 1;
  StepFadeOut(run.game);
  return ret;
}

int Game::RunGameOver(const InputFrame& input) {
  run.sound.Request(run.game.stageNumber == 3 ? kBgmBossBattle : kBgmNormalBattle, 0);
  for (int s : {kBgmMain, kSeWallow, kSeCharge, kSeBossRush}) run.sound.Request(s, 0);
  gameOver->Update(run.sound, input);
  if (!gameOver->IsDecided()) return 1;
  int ret = 1;
  if (run.game.fadeAlpha == 255) {
    if (gameOver->GetChoice() == 1) {
      UnloadForRetry();
      ret = RestartStage(input);
      gameOver->Reset();
      run.sound.StopAll();
    } else {
      ret = 0;
      run.sound.StopAll();
      run.game.bossEventSeen = 0;
    }
  }
  run.game.fadingOut = 1;
  StepFadeOut(run.game);
  return ret;
}

bool Game::PauseMenuWaiting() const {
  return run.game.gameMode == kModePause && run.game.fadeAlpha == 255 && pause.Choosing();
}

int Game::RunPause(const InputFrame& input) {
  if (!pause.IsDecided()) StepFadeOut(run.game);
  if (run.game.fadeAlpha != 255 || !pause.Update(run.sound, input)) return 1;
  switch (pause.GetCursor()) {
    case PauseMenu::kResume:
      run.game.gameMode = pause.GetSavedMode();
      pause.Reset(true);
      run.game.fadeAlpha = 0;
      run.sound.Request(kSeRotate, savedRotate);
      run.sound.Request(kSeCharge, savedCharge);
      return 1;
    case PauseMenu::kRetry: {
      run.game.fadingIn = 1;
      UnloadForRetry();
      const int ret = RestartStage(input);
      gameOver->Reset();
      run.sound.StopAll();
      return ret;
    }
    default:
      run.game.bossEventSeen = 0;
      return 0;
  }
}

void Game::Play(int mode, const InputFrame& input) {
  if (mode == kModeBridge) {
    if (run.game.bridgeAdvance) {
      run.game.bridgeTimer = 0;
      run.game.bridgeAdvance = 0;
      run.game.bridgeFront += 1;
    } else {
      run.game.bridgeTimer += GetDeltaTime();
    }
    for (int s : {kSeBossRush, kBgmNormalBattle, kBgmBossBattle})
      if (run.sound.GetRequest(s) == 2) run.sound.Request(s, 0);
  }
  SetEffectViewpoint({0, 0, 0});
  field->Update(run, characters->GetCharacters());
  if (characters->Update(run, field->Tail(), input)) StartSideChangeFade(run.game);
  Player* player = GetPlayer();
  if (IsPauseRequested(input) && player->state != kStateWashedAway &&
      player->state != kStateFlipping) {
    savedRotate = run.sound.GetRequest(kSeRotate);
    savedCharge = run.sound.GetRequest(kSeCharge);
    run.sound.Request(kSeRotate, 0);
    run.sound.Request(kSeCharge, 0);
    pause.SetSavedMode(run.game.gameMode);
    run.game.gameMode = kModePause;
    run.game.fadeAlpha = 0;
    run.sound.PlayOnce(kSeSet);
  }
}

int Game::Update(const InputFrame& input) {
  prompts = input.lastDevice;
  const int m = run.game.gameMode;
  if ((run.game.fadingIn || run.game.fadingOut) && m != kModeGameOver && m != kModeClear) {
    Player* player = GetPlayer();
    if (run.game.fadingIn) {
      StepFadeIn(run.game);
      run.camera.mode = kCameraFollow;
      UpdateCamera(run.camera, SubjectOf(*player), player->action, player->standing, input);
    } else {
      StepFadeOut(run.game);
      if (!run.game.fadingOut) {
        run.game.fadingIn = 1;
        lights->Apply(run.game.playerUnderside);
        field->breakWave.Action(run, *player);
      }
    }
    return 1;
  }

  if (m != kModeGameOver && m != kModePause) {
    const int stage = run.game.stageNumber;
    if (m == kModeBossBattle) {
      run.sound.Request(kBgmMain, 0);
      run.sound.Request(stage == 3 ? kBgmBossBattle : kBgmNormalBattle, 2);
    } else {
      if (stage == 2 && m == kModeBossDefeated) run.sound.Request(kSeFish, 0);
      run.sound.Request(kBgmNormalBattle, 0);
      run.sound.Request(kBgmMain, 2);
      run.sound.Request(kSeWave, 2);
    }
  }

  int ret = 1;
  switch (m) {
    case kModeBossEncounter:
    case kModeBossDefeated:
    case kModeGoal:
      RunEvent(m, input);
      break;
    case kModeClear:
      ret = RunClear(input);
      break;
    case kModeGameOver:
      ret = RunGameOver(input);
      break;
    case kModePause:
      ret = RunPause(input);
      break;
    default:
      Play(m, input);
      break;
  }
  run.sound.ApplyDeferred();
  run.sound.Update();
  return ret;
}

void Game::Draw() {
  Player* player = GetPlayer();
  if (!field || !player) return;
  // The world is drawn from an eye kept out of its models, and what stands
  // between that eye and the player is drawn see-through at the end.
  // While the camera rises to follow a fall (a boss's or the player's), what
  // it looks at is kept in sight too, so the floor does not fill the screen.
  ApplyCameraFrom(run.camera,
                  view_clearance::BeginWorld(run.camera.eye, run.camera.lookAt, player->position,
                                             player->size.y, player->upsideDown,
                                             run.camera.mode == kCameraRise));
  field->Draw(run, *player);
  for (CharacterBase* c : characters->GetCharacters()) c->Draw(run);
  view_clearance::EndWorld();
  DrawHud(run.game);
  FlushInfoPanel(run.panel, run.panelRequest, prompts);
  field->stageGauge.Draw(run.drawRandom, run.world, field->breakWave, player->position.x);
  const int m = run.game.gameMode;
  if ((m == kModeBossEncounter || m == kModeBossDefeated || m == kModeGoal) &&
      event.state != Event::kEnded)
    event.Draw();
  if (m == kModeClear) gameClear->Draw();
  if (m == kModeGameOver) gameOver->Draw();
  if (m == kModePause) {
    DrawFade(run.game, 0);
    pause.SetMenuAlpha(run.game.fadeAlpha);
    pause.Draw(prompts);
  }
  if (run.game.fadingIn || run.game.fadingOut) DrawFade(run.game, 0);
}

namespace {

void DumpPlayer(JsonWriter& json, const Player& player) {
  json.Key("player").BeginObject();
  json.Key("pos").Vec(player.position);
  json.Key("rot").Vec(player.rotation);
  json.Key("state").Int(player.state);
  json.Key("action").Int(player.action);
  json.Key("request").Int(player.request);
  json.Key("upside_down").Int(player.upsideDown);
  json.Key("standing").Int(player.standing);
  json.Key("knock").Int(player.knockBack);
  json.Key("velocity").Vec(player.velocity);
  json.Key("charge_level").Number(player.chargeLevel);
  json.Key("charge_frames").Int(player.chargeFrames);
  json.Key("cursor").Vec(player.cursor);
  json.EndObject();
}

void DumpCharacters(JsonWriter& json, const CharacterList& characters) {
  json.Key("characters").BeginArray();
  for (const CharacterBase* c : characters) {
    json.BeginObject();
    json.Key("class").String(c->ClassName());
    json.Key("pos").Vec(c->position);
    json.Key("state").Int(c->state);
    json.Key("upside_down").Int(c->upsideDown);
    c->DumpState(json);
    json.EndObject();
  }
  json.EndArray();
}

void DumpField(JsonWriter& json, const Field& field) {
  json.Key("gimmick_count").Int(field.count);
  // The gate: its opening angle (90 shut, 180 open, 89 once shut again)
  // and its motion state (3 while the wave blows it away).
  for (GimmickNode* n = field.Tail(); n; n = n->prev) {
    if (n->kind != kKindGate) continue;
    json.Key("gate").BeginObject();
    json.Key("angle").Number(n->object->rotation.y);
    json.Key("state").Int(n->object->state);
    json.EndObject();
    break;
  }
  json.Key("select_size").Number(field.selectSize);
  json.Key("selected_outer").Int(static_cast<int>(field.selectOuter.size()));
  json.Key("selected_inner").Int(static_cast<int>(field.selectInner.size()));
  json.Key("wave").BeginObject();
  json.Key("pos").Vec(field.breakWave.position);
  json.Key("phase").Int(field.breakWave.phase);
  json.Key("finished").Int(field.breakWave.finished);
  json.EndObject();
  json.Key("held");
  if (field.held) {
    auto* chip = static_cast<OneChip*>(field.held->object.get());
    json.BeginObject();
    json.Key("pos").Vec(chip->position);
    json.Key("state").Int(chip->state);
    json.Key("flying").Int(chip->hitInfo.flying);
    json.Key("carried").Int(chip->hitInfo.carried);
    json.Key("level").Number(chip->hitInfo.level);
    json.EndObject();
  } else {
    json.Null();
  }
}

}  // namespace

void Game::DumpState(JsonWriter& json) const {
  json.Key("game_result").Int(result);
  json.Key("game_mode").Int(run.game.gameMode);
  json.Key("stage").Int(run.game.stageNumber);
  json.Key("life").Int(run.game.life);
  json.Key("bosses_left").Int(run.game.bossesLeft);
  json.Key("enemies_left").Int(run.game.enemiesLeft);
  json.Key("boss_event_seen").Int(run.game.bossEventSeen);
  json.Key("camera_mode").Int(run.camera.mode);
  json.Key("fade_alpha").Int(run.game.fadeAlpha);
  json.Key("fading_in").Int(run.game.fadingIn);
  json.Key("fading_out").Int(run.game.fadingOut);
  json.Key("event_number").Int(eventNumber);
  json.Key("event_state").Int(event.state);
  json.Key("event_window").Int(event.windowPhase);
  json.Key("event_page").Int(event.pageIndex);

  DumpScreens(json);
  if (characters && characters->player) DumpPlayer(json, *characters->player);
  if (characters) DumpCharacters(json, characters->characters);
  if (field) DumpField(json, *field);
  json.Key("sounds").BeginArray();
  for (int s : run.sound.StartedInLastUpdate()) json.Int(s);
  json.EndArray();
}

// The pause menu and the game-over and clear screens, as the runner's state
// dumps show them.
void Game::DumpScreens(JsonWriter& json) const {
  json.Key("pause").BeginObject();
  json.Key("cursor").Int(pause.cursor);
  json.Key("phase").Int(pause.phase);
  json.Key("decided").Int(pause.decided);
  json.Key("saved_mode").Int(pause.savedMode);
  json.EndObject();
  if (gameOver) {
    json.Key("gameover").BeginObject();
    json.Key("decided").Int(gameOver->decided);
    json.Key("choice").Int(gameOver->choice);
    json.Key("alphas").BeginArray();
    for (int a : gameOver->itemAlpha) json.Int(a);
    json.EndArray();
    json.EndObject();
  }
  if (gameClear) {
    json.Key("clear").BeginObject();
    json.Key("done").Int(gameClear->done);
    json.Key("alphas").BeginArray();
    for (int a : gameClear->letterAlpha) json.Int(a);
    json.EndArray();
    json.EndObject();
  }
}
