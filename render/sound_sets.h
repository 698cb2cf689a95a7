// Sound sets: game code never touches a sound buffer. It writes a request for
// a numbered sound (0 stop, 1 play once, 2 loop) into the running scene's set,
// and the set turns requests into buffer operations once per frame. There are
// four kinds of set, one per kind of scene; the game set also takes requests
// that apply from the next frame on.
#pragma once

#include <memory>
#include <vector>

#include "platform/sound.h"

// The machinery shared by the four sets.
class SoundSetCore {
 public:
  SoundSetCore(const char* const* paths, int count, const char* failureText)
      : paths_(paths), count_(count), failureText_(failureText) {}

  int Load();
  void Release();
  void Update();
  void Request(int i, int value);
  int GetRequest(int i) const;
  int IsStarted(int i) const;
  void PlayOnce(int i);
  int IsPlaying(int i);
  void Defer(int i, int value);
  void ApplyDeferred();
  // Stops every sound at once (requests to 0 and buffers stopped).
  void StopAll();
  int Count() const { return count_; }
  // The sounds the last Update started or restarted, in ascending order.
  const std::vector<int>& StartedInLastUpdate() const { return startedNow_; }

 private:
  bool Valid(int i) const { return i >= 0 && i < count_ && !buffers_.empty(); }

  const char* const* paths_;
  int count_;
  const char* failureText_;
  std::vector<std::unique_ptr<SoundBuffer>> buffers_;
  std::vector<int> request_, started_, rewind_, deferred_;
  std::vector<int> startedNow_;
};

// The four sets, each new and not yet loaded. The scene that plays a set
// owns it: the title, the opening and ending, and the credits keep their own;
// the game's belongs to the run being played (world/game_sound.h).
SoundSetCore GameSoundSet();
SoundSetCore EventSoundSet();
SoundSetCore TitleSoundSet();
SoundSetCore CreditSoundSet();

// Title sound numbers (the index in the title set's path table).
enum TitleSoundNumber { kTitleWave = 0, kTitleSelect = 1, kTitleSelectEnd = 2 };

// Game sound numbers (the index in the game set's path table).
enum GameSoundNumber {
  kSeWave = 0,
  kSeBigWave = 1,
  kSeWaterFall = 2,
  kSeWallow = 3,
  kSeMoveDoor = 4,
  kSeCloseDoor = 5,
  kSeGetItem = 6,
  kSeUp = 7,
  kSeRotate = 8,
  kSeUp2 = 9,
  kSeSet = 10,
  kSeHitGround = 11,
  kSeJump = 12,
  kSeClear = 13,
  kSeGameover = 14,
  kSeSelect = 15,
  kSeSelectEnd = 16,
  kSeHit = 17,
  kSeCharaHit = 18,
  kSeBreak = 19,
  kSeRotaWall = 20,
  kSeQuake = 21,
  kSeBossHit = 22,
  kSeThrow = 23,
  kSeSystem = 24,
  kSeCharge = 25,
  kSeStarScall = 26,
  kSeMiss = 27,
  kSeRush = 28,
  kSeFish = 29,
  kSeBossRush = 30,
  kSeHandHit = 31,
  kSeTornado = 32,
  kSeDevide = 33,
  kBgmMain = 34,
  kBgmNormalBattle = 35,
  kBgmBossBattle = 36,
};
