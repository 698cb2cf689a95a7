// The game scene: plays the four stages in order. A stage runs through its
// phases (the game mode): free play against ordinary enemies, the boss
// encounter event, the boss battle, the defeat event, the bridge building
// itself to the goal, the goal event and the clear screen, after which the
// next stage loads. Losing shows the game-over screen; a pause menu offers
// resuming, retrying or quitting.
#pragma once

#include <memory>
#include <string>

#include "scenes/event.h"
#include "scenes/screens.h"
#include "world/run_state.h"
#include "world/stage_meshes.h"

class CharacterManager;
class Field;
class GameClear;
class GameOver;
struct InputFrame;
class JsonWriter;
class Light;
class Player;

class Game {
 public:
  // randoms: the program's random numbers, which the game's run draws on
  // while the game lives. folder: where the player's own copies of the
  // light files go when the installed ones cannot be written (see Light);
  // empty: beside them.
  explicit Game(RandomStreams& randoms, std::string folder = {});
  ~Game();
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  // Plays from stage n (0 to 3) instead of the first; before Start.
  void SetFirstStage(int stage);
  int Start(const InputFrame& input);
  // One frame; 0 when the game is over (cleared, or the player quit).
  int Update(const InputFrame& input);
  void Draw();
  void Release();
  // 1 when the last stage was cleared, else 0.
  int GetResult() { return result; }

  // The scene's state for the runner's dumps.
  void DumpState(JsonWriter& json) const;
  // The run this game plays: its state, camera and sounds.
  RunState& GetRun() { return run; }
  CharacterManager* Characters() { return characters.get(); }
  Field* GetField() { return field.get(); }
  Event& GetEvent() { return event; }
  PauseMenu& GetPause() { return pause; }
  // True while the pause menu is shown in full and waits for a choice.
  bool PauseMenuWaiting() const;
  GameOver* GetGameOver() { return gameOver.get(); }
  GameClear* GetGameClear() { return gameClear.get(); }
  int EventNumber() const { return eventNumber; }

  // The event numbers of a stage.
  static int FirstEvent(int stage);
  static int LastEvent(int stage);

 private:
  Player* GetPlayer() const;
  int LoadStageMeshes();
  void ReleaseStageMeshes();
  // The stage file into a new character list and field (1 when it was read).
  int LoadStageWorld();
  // Both initialised; the camera takes its first place.
  int InitWorld(const InputFrame& input);
  // Releases and deletes the field and the character list (stage end and
  // retry alike).
  void ReleaseWorld();
  void UnloadStage();
  int LoadNextStage(const InputFrame& input);
  void UnloadForRetry();
  int RestartStage(const InputFrame& input);
  void RunEvent(int mode, const InputFrame& input);
  int RunClear(const InputFrame& input);
  int RunGameOver(const InputFrame& input);
  int RunPause(const InputFrame& input);
  void Play(int mode, const InputFrame& input);
  void DumpScreens(JsonWriter& json) const;

  // The run this game plays (first, so it is there before the other members
  // and outlives them), drawing on the program's random numbers.
  RunState run;
  RandomLoan randomLoan;
  std::unique_ptr<CharacterManager> characters;
  std::unique_ptr<Field> field;
  Event event;
  std::unique_ptr<GameOver> gameOver;
  std::unique_ptr<GameClear> gameClear;
  std::unique_ptr<Light> lights;
  std::string lightFolder;
  PauseMenu pause;
  // The models the stage's enemies share.
  StageMeshes stageMeshes;
  int eventNumber = 1;
  int result = 0;
  // The requests of the turning and charging sounds, kept while paused.
  int savedRotate = 0, savedCharge = 0;
  bool effectsReady = false, soundsReady = false;
  // Whose controls the hints and the boards name: the device used last.
  InputDevice prompts = InputDevice::kKeyboard;
};
