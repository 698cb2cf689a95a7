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
#include "world/game_sound.h"
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

Game::Game(std::string folder) : lightFolder(std::move(folder)) {
  ResetLife();
  SetStageNumber(0);
  ResetStageState();
  eventNumber = FirstEvent(0);
  result = 0;
}

Game::~Game() {
  Release();
  if (LiveStageMeshes() == &stageMeshes) SetLiveStageMeshes(nullptr);
}

void Game::SetFirstStage(int stage) {
  SetStageNumber(stage);
  ResetStageState();
  eventNumber = FirstEvent(stage);
}

Player* Game::GetPlayer() const {
  return characters ? characters->GetPlayer() : nullptr;
}

int Game::LoadStageMeshes() {
  SetLiveStageMeshes(&stageMeshes);
  return stageMeshes.Load(GetStageNumber());
}

void Game::ReleaseStageMeshes() {
  stageMeshes.Release();
}

int Game::LoadStageWorld() {
  ResetStageValues();
  characters = std::make_unique<CharacterManager>();
  field = std::make_unique<Field>();
  GimmickNode* head = nullptr;
  FieldChip reader;
  const int loaded = reader.Load(head, characters->GetCharacters(), GetStageNumber());
  field->SetGimmicks(head);
  return loaded;
}

int Game::InitWorld(const InputFrame& input) {
  return field->Init() && characters->Init(input);
}

int Game::Start(const InputFrame& input) {
  if (!LoadStageMeshes()) return 0;
  gameOver = std::make_unique<GameOver>();
  if (!gameOver->Load()) return 0;
  gameClear = std::make_unique<GameClear>();
  if (!gameClear->Load()) return 0;

  ResetFade();
  SetFadeAlpha(255);
  SetFadingOut(1);

  lights = std::make_unique<Light>(lightFolder);
  if (!lights->Load()) return 0;
  if (!event.LoadTextures()) return 0;
  if (!InitShadow()) return 0;
  if (!InitEffect()) return 0;
  effectsReady = true;
  SetEffectViewpoint({0, 0, 0});

  if (!event.Load(eventNumber)) return 0;
  if (!GameSound::Load()) return 0;
  soundsReady = true;

  if (!LoadStageWorld() || !InitWorld(input)) return 0;

  SetPlayerUnderside(0);
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
  ResetStageState();
  SetBossEventSeen(0);
  if (!LoadStageWorld()) return 0;
  ResetFade();
  SetFadeAlpha(255);
  SetFadingIn(1);
  if (!event.LoadTextures() || !event.Load(eventNumber)) return 0;
  lights->Apply(GetPlayer()->upsideDown);
  return InitWorld(input);
}

void Game::UnloadForRetry() {
  event.Release();
  ReleaseWorld();
  eventNumber = FirstEvent(GetStageNumber());
  ResetLife();
  pause.Reset(true);
}

int Game::RestartStage(const InputFrame& input) {
  ResetFade();
  SetFadeAlpha(255);
  SetFadingIn(1);
  if (!event.LoadTextures()) return 0;
  event.state = Event::kIdle;
  if (!event.Load(eventNumber)) return 0;
  ResetStageState();
  if (GetBossEventSeen() == 1) SetGameMode(kModeBossArmed);
  if (!LoadStageWorld()) return 0;
  lights->Apply(GetPlayer()->upsideDown);
  GameSound::StopAll();
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
  if (soundsReady) GameSound::Release();
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
      GameSound::PlayOnce(kSeSet);
    }
  } else if (event.state == Event::kLoaded || event.state == Event::kLastPage) {
    if (GameSound::IsPlaying(kSeCharge)) GameSound::Request(kSeCharge, 0);
    event.Update(input);
  }
  // An event missing from the file ends like any other, so the stage goes on.
  if (!event.Ended()) return;
  if (mode == kModeBossEncounter) {
    SetBossEventSeen(1);
    SetGameMode(kModeBossBattle);
  } else if (mode == kModeGoal) {
    SetGameMode(kModeClear);
  } else if (mode == kModeBossDefeated) {
    SetCameraModeOnly(kCameraFollow);
    SetCameraEaseTime(0);
    SetCameraEaseFrom(GetCameraEye());
    SetCameraLookFrom(GetCameraLookAt());
    SetGameMode(GetStageNumber() == 3 ? kModeGoal : kModeBridge);
  }
  if (eventNumber != LastEvent(GetStageNumber())) {
    event.state = Event::kIdle;
    eventNumber += 1;
  }
}

int Game::RunClear(const InputFrame& input) {
  const int stage = GetStageNumber();
  GameSound::Request(stage == 2 ? kSeFish : stage == 3 ? kBgmBossBattle : kBgmNormalBattle, 0);
  for (int s : {kBgmMain, kSeWallow, kSeCharge, kSeBossRush}) GameSound::Request(s, 0);
  gameClear->Update(input);
  if (!gameClear->IsDone()) return 1;
  int ret = 1;
  if (GetFadeAlpha() == 255) {
    if (stage == 3) {
      SetBossEventSeen(0);
      result = 1;
      ret = 0;
      GameSound::StopAll();
    } else {
      UnloadStage();
      SetStageNumber(stage + 1);
      eventNumber = FirstEvent(stage + 1);
      ret = LoadNextStage(input);
      gameClear->Reset();
    }
  }
  SetFadingOut(1);
  StepFadeOut();
  return ret;
}

int Game::RunGameOver(const InputFrame& input) {
  GameSound::Request(GetStageNumber() == 3 ? kBgmBossBattle : kBgmNormalBattle, 0);
  for (int s : {kBgmMain, kSeWallow, kSeCharge, kSeBossRush}) GameSound::Request(s, 0);
  gameOver->Update(input);
  if (!gameOver->IsDecided()) return 1;
  int ret = 1;
  if (GetFadeAlpha() == 255) {
    if (gameOver->GetChoice() == 1) {
      UnloadForRetry();
      ret = RestartStage(input);
      gameOver->Reset();
      GameSound::StopAll();
    } else {
      ret = 0;
      GameSound::StopAll();
      SetBossEventSeen(0);
    }
  }
  SetFadingOut(1);
  StepFadeOut();
  return ret;
}

bool Game::PauseMenuWaiting() const {
  return GetGameMode() == kModePause && GetFadeAlpha() == 255 && pause.Choosing();
}

int Game::RunPause(const InputFrame& input) {
  if (!pause.IsDecided()) StepFadeOut();
  if (GetFadeAlpha() != 255 || !pause.Update(input)) return 1;
  switch (pause.GetCursor()) {
    case PauseMenu::kResume:
      SetGameMode(pause.GetSavedMode());
      pause.Reset(true);
      SetFadeAlpha(0);
      GameSound::Request(kSeRotate, savedRotate);
      GameSound::Request(kSeCharge, savedCharge);
      return 1;
    case PauseMenu::kRetry: {
      SetFadingIn(1);
      UnloadForRetry();
      const int ret = RestartStage(input);
      gameOver->Reset();
      GameSound::StopAll();
      return ret;
    }
    default:
      SetBossEventSeen(0);
      return 0;
  }
}

void Game::Play(int mode, const InputFrame& input) {
  if (mode == kModeBridge) {
    if (GetBridgeAdvance()) {
      SetBridgeTimer(0);
      SetBridgeAdvance(0);
      SetBridgeFront(GetBridgeFront() + 1);
    } else {
      SetBridgeTimer(GetBridgeTimer() + GetDeltaTime());
    }
    for (int s : {kSeBossRush, kBgmNormalBattle, kBgmBossBattle})
      if (GameSound::GetRequest(s) == 2) GameSound::Request(s, 0);
  }
  SetEffectViewpoint({0, 0, 0});
  field->Update(characters->GetCharacters());
  if (characters->Update(field->Tail(), input)) StartSideChangeFade();
  Player* player = GetPlayer();
  if (IsPauseRequested(input) && player->state != kStateWashedAway &&
      player->state != kStateFlipping) {
    savedRotate = GameSound::GetRequest(kSeRotate);
    savedCharge = GameSound::GetRequest(kSeCharge);
    GameSound::Request(kSeRotate, 0);
    GameSound::Request(kSeCharge, 0);
    pause.SetSavedMode(GetGameMode());
    SetGameMode(kModePause);
    SetFadeAlpha(0);
    GameSound::PlayOnce(kSeSet);
  }
}

int Game::Update(const InputFrame& input) {
  prompts = input.lastDevice;
  const int m = GetGameMode();
  if ((GetFadingIn() || GetFadingOut()) && m != kModeGameOver && m != kModeClear) {
    Player* player = GetPlayer();
    if (GetFadingIn()) {
      StepFadeIn();
      SetCameraModeOnly(kCameraFollow);
      UpdateCamera(SubjectOf(*player), player->action, player->standing, input);
    } else {
      StepFadeOut();
      if (!GetFadingOut()) {
        SetFadingIn(1);
        lights->Apply(GetPlayerUnderside());
        field->breakWave.Action(*player);
      }
    }
    return 1;
  }

  if (m != kModeGameOver && m != kModePause) {
    const int stage = GetStageNumber();
    if (m == kModeBossBattle) {
      GameSound::Request(kBgmMain, 0);
      GameSound::Request(stage == 3 ? kBgmBossBattle : kBgmNormalBattle, 2);
    } else {
      if (stage == 2 && m == kModeBossDefeated) GameSound::Request(kSeFish, 0);
      GameSound::Request(kBgmNormalBattle, 0);
      GameSound::Request(kBgmMain, 2);
      GameSound::Request(kSeWave, 2);
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
  GameSound::ApplyDeferred();
  GameSound::Update();
  return ret;
}

void Game::Draw() {
  Player* player = GetPlayer();
  if (!field || !player) return;
  // The world is drawn from an eye kept out of its models, and what stands
  // between that eye and the player is drawn see-through at the end.
  // While the camera rises to follow a fall (a boss's or the player's), what
  // it looks at is kept in sight too, so the floor does not fill the screen.
  ApplyCameraFrom(view_clearance::BeginWorld(GetCameraEye(), GetCameraLookAt(), player->position,
                                             player->size.y, player->upsideDown,
                                             GetCameraMode() == kCameraRise));
  field->Draw(*player);
  for (CharacterBase* c : characters->GetCharacters()) c->Draw();
  view_clearance::EndWorld();
  DrawHud();
  FlushInfoPanel(prompts);
  field->stageGauge.Draw(World().goalX, field->breakWave, player->position.x);
  const int m = GetGameMode();
  if ((m == kModeBossEncounter || m == kModeBossDefeated || m == kModeGoal) &&
      event.state != Event::kEnded)
    event.Draw();
  if (m == kModeClear) gameClear->Draw();
  if (m == kModeGameOver) gameOver->Draw();
  if (m == kModePause) {
    DrawFade(0);
    pause.SetMenuAlpha(GetFadeAlpha());
    pause.Draw(prompts);
  }
  if (GetFadingIn() || GetFadingOut()) DrawFade(0);
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
  json.Key("game_mode").Int(GetGameMode());
  json.Key("stage").Int(GetStageNumber());
  json.Key("life").Int(GetLife());
  json.Key("bosses_left").Int(GetBossesLeft());
  json.Key("enemies_left").Int(GetEnemiesLeft());
  json.Key("boss_event_seen").Int(GetBossEventSeen());
  json.Key("camera_mode").Int(GetCameraMode());
  json.Key("fade_alpha").Int(GetFadeAlpha());
  json.Key("fading_in").Int(GetFadingIn());
  json.Key("fading_out").Int(GetFadingOut());
  json.Key("event_number").Int(eventNumber);
  json.Key("event_state").Int(event.state);
  json.Key("event_window").Int(event.windowPhase);
  json.Key("event_page").Int(event.pageIndex);

  DumpScreens(json);
  if (characters && characters->player) DumpPlayer(json, *characters->player);
  if (characters) DumpCharacters(json, characters->characters);
  if (field) DumpField(json, *field);
  json.Key("sounds").BeginArray();
  for (int s : GameSound::Core().StartedInLastUpdate()) json.Int(s);
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
