// The character manager: owns the player and every enemy of a stage in one
// list (the player first) and runs, once per frame, the characters' own
// updates and then the collision pass, every character's box against every
// gimmick: push-out, landing, shadows, riding gimmicks that blow away or
// flip, enemy floor effects, wall crashes. It removes characters that are
// gone, keeps the stage counters and the game mode in step, and drives the
// camera. On stage number 2 it also releases the river's jumping fish.
#pragma once

#include <memory>

#include "world/camera.h"
#include "world/object_base.h"

class EnemyBase;
struct InputFrame;
struct GimmickNode;
class Player;

// What the camera follows of a character.
CameraSubject SubjectOf(const CharacterBase& character);

class CharacterManager {
 public:
  explicit CharacterManager(RunState& run);
  ~CharacterManager();
  CharacterManager(const CharacterManager&) = delete;
  CharacterManager& operator=(const CharacterManager&) = delete;

  // After the stage is loaded and the field initialised; 0 when a character
  // cannot start. The camera takes its first place (turned by the input).
  int Init(RunState& run, const InputFrame& input);
  // The frame's character pass, the player and the camera driven by the
  // frame's input. Returns 1 when the camera, turning with a player who
  // changes side, asks for the screen to darken (the caller starts the fade).
  int Update(RunState& run, GimmickNode* gimmickTail, const InputFrame& input);
  void Release();

  CharacterList& GetCharacters() { return characters; }
  Player* GetPlayer() { return player; }

  struct FishSpawner {
    float timer = 0;
    int farSide = 1;
  };

  Player* player;
  std::unique_ptr<FishSpawner> fishSpawner;
  CharacterList characters;

 private:
  struct Record {
    CharacterBase* character;
    int upsideDown;
    bool quake = false;
    float quakeRadius = 0;
    bool crush = false;
    float crushRadius = 0;
    bool flipWalker = false;
    bool supported = false;
  };
  void SpawnFish(RunState& run);
  // What the collision pass needs of a character in play.
  static Record RecordOf(CharacterBase* character, const EnemyBase* enemy);
  // A character gone from play: the player's loss ends the game; any other
  // lowers the count it raised and is released (true: the caller takes it
  // out of the list, which deletes it).
  bool Retire(RunState& run, CharacterBase* character, EnemyBase* enemy, CameraSubject& snapshot);
  // One character against one gimmick: pushed out, standing, struck,
  // crushing, flipping or riding.
  void Collide(RunState& run, GimmickNode* node, Record& record, CameraSubject& snapshot,
               bool& touchedGround, CharacterBase* quakeEnemy);
  void QuakeLifts(RunState& run, GimmickNode* node, const Record& record);
  void PlayerTouches(RunState& run, const GimmickNode& node, bool& touchedGround);
  void EnemyMeets(RunState& run, GimmickNode* node, const Record& record, int flags,
                  EnemyBase* enemy);
  void Ride(RunState& run, const GimmickNode& node, CharacterBase& character,
            CharacterBase* quakeEnemy);
};
