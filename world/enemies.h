// Every hostile character: the enemy base with its mode machine, the
// ordinary enemy, the constellation bosses (the scorpion, the twins, the water
// jar and its fish) and the final boss with its two hands.
#pragma once

#include <memory>

#include "render/primitives.h"
#include "world/chips.h"
#include "world/object_base.h"
#include "world/star_burst.h"

class Mesh;
struct GimmickNode;

// enemyFlag values.
enum EnemyFlag {
  kEnemyWaiting = 1,
  kEnemyAiming = 2,
  kEnemyActive = 4,
  kEnemyStunned = 8,
  kEnemyQuake = 16,
  kEnemyFlipFloor = 32,
  kEnemyQuakeOver = 64,
  kEnemyFlag128 = 128,
};

// Which count of the game state a character raised when the stage loader
// placed it, and so lowers when it leaves play. Fish that the jar pours out
// or the river throws up were never counted and lower nothing.
enum CountedAs {
  kCountedNowhere = 0,
  kCountedEnemy = 1,  // enemies left
  kCountedBoss = 2,   // bosses left
};

class EnemyBase : public CharacterBase {
 public:
  explicit EnemyBase(RunState& run) : CharacterBase(run) { kind = CharacterKind::kEnemy; }
  // The per-frame driver, given the character list (the player first).
  virtual void Act(RunState& run, CharacterList& characters);
  virtual void Search(RunState& run, CharacterBase* player);
  virtual void Move(RunState& run);
  virtual void CountStun();
  virtual void HitCharacters(RunState& run, CharacterList& characters);
  virtual void CountWait();
  // Drawn tinted red: the final boss's head when hit in its last phase, its
  // hands while hurt; each part says when (DrawMesh takes the answer).
  virtual bool DrawsRed() const { return false; }
  const char* ClassName() const override { return "EnemyBase"; }

  // Who a bump may hit: any character, or only the player.
  enum class BumpTargets { kAnyone, kPlayer };
  // The bump: the first character of the list (not this one, not already
  // knocked back) whose box meets this one's across and whose height is
  // within reachY is knocked back with push times this one's horizontal
  // velocity, and this one waits half a second. Nothing while this one is
  // knocked back itself. Returns the character hit, or null.
  CharacterBase* Bump(CharacterList& characters, BumpTargets targets, float reachY, float push);
  void DumpState(JsonWriter& json) const override;

  int crushing = 0;
  float crushRadius = 2.0f;
  int chasing = 0;
  float stunTimer = 0;
  float waitTimer = 0;
  int isMob = 0;
  float quakeRadius = 0;
  int twin = 0;
  int attacking = 0;
  int enemyFlag = kEnemyWaiting;
  int countedAs = kCountedNowhere;
};

// The ordinary enemy: a small scorpion that spins until it sees the player,
// then hops after it.
class Enemy : public EnemyBase {
 public:
  explicit Enemy(RunState& run);
  void Act(RunState& run, CharacterList& characters) override;
  void Search(RunState& run, CharacterBase* player) override;
  void Move(RunState& run) override;
  void Draw(RunState& run) override;
  const char* ClassName() const override { return "Enemy"; }
  float hopTimer = 0;
};

// The base of the constellation bosses: the aiming rhythm and the stun stars.
class Boss : public EnemyBase {
 public:
  explicit Boss(RunState& run) : EnemyBase(run) { isMob = 0; }
  void Search(RunState& run, CharacterBase* player) override;  // aiming
  void Draw(RunState& run) override;                           // the stun stars
  const char* ClassName() const override { return "Boss"; }
  void DumpState(JsonWriter& json) const override;

  float aimTimer = 0;
  float speed = 0.1f;
  float attackLeft = 0;
  float attackLength = 0;
  int lastSide = 0;
  int warning = 0;
  StunEffect stars[3];
};

class Scorpion : public Boss {
 public:
  explicit Scorpion(RunState& run);
  void Act(RunState& run, CharacterList& characters) override;
  void Move(RunState& run) override;  // the charge
  void Draw(RunState& run) override;
  const char* ClassName() const override { return "Scorpion"; }
  void DumpState(JsonWriter& json) const override;
  void LeapStep();
  void RearUpStep();
  float leapSpeed = 0.2f;
  int leaping = 0;
  int rearPhase = 0;
};

// One of Castor's three thrown stars. Castor drives it: held in front of
// it (spinning, and growing while it faces the player's side), thrown in an
// arc that ends in a drop onto where the player stood, or, once Castor is
// alone, sent in a low glide.
class CastorsWeapon : public GimmickBase {
 public:
  explicit CastorsWeapon(RunState& run);
  const char* ClassName() const override { return "CastorsWeapon"; }
  void Draw(RunState& run) override;

  // The motion step of every object (unused: Castor drives its stars).
  using GimmickBase::Update;
  // One frame, called by Castor while it chases.
  void Update(RunState& run, const Vec3& ownerPosition, const Vec3& ownerVelocity,
              const Vec3& ownerRotation, CharacterBase* player);
  // The star against the field's gimmicks (the collision pass calls it in
  // the battle on the twins' stage); from the tail along prev.
  void HitGimmicks(RunState& run, GimmickNode* tail);
  // Strikes the player when it is close enough.
  void HitPlayer(RunState& run, CharacterBase* player);
  // Lands at once: what hitting the player or a gimmick does to the star.
  void Land();

  StarBurst bursts[5];
  Vec3 target;
  float riseSpeed = 0;
  float maxHeight = 0;
  float growTimer = 0;
  int landed = 0;
  int thrown = 0;
  int ownerKnocked = 0;
  int ownerFlipping = 0;
  int solo = 0;

 private:
  void Fly(const Vec3& ownerPosition, float ownerHeading);
  void StartBursts(RunState& run, const Vec3& at);
};

// The twin who stays where it is and throws its three stars at the end of
// each aiming period.
class Castor : public Boss {
 public:
  explicit Castor(RunState& run);
  void Act(RunState& run, CharacterList& characters) override;
  void Draw(RunState& run) override;
  const char* ClassName() const override { return "Castor"; }
  void DumpState(JsonWriter& json) const override;
  void TurnAndThrow(RunState& run, const Vec3& target);
  void WeaponControl(RunState& run, const Vec3& target);
  // The three stars against the gimmicks, from the field's tail.
  void HitGimmicks(RunState& run, GimmickNode* tail);

  CastorsWeapon weapons[3];
  float throwTimer = 0;
  int throwing = 0;
  int throwMode = 2;

 private:
  void ThrowStar(CastorsWeapon& weapon, const Vec3& target);
};

// The twin who charges like the scorpion but brakes to a stop.
class Pollux : public Boss {
 public:
  explicit Pollux(RunState& run);
  void Act(RunState& run, CharacterList& characters) override;
  void Move(RunState& run) override;  // the charge
  void Draw(RunState& run) override;
  const char* ClassName() const override { return "Pollux"; }
};

// The water jar: it pours fish while the player is on its side, hops every
// five seconds and sends a shock ring across the field, and flips the floor
// under itself to follow a player who stays on the other side.
class Aquarius : public Boss {
 public:
  explicit Aquarius(RunState& run);
  ~Aquarius() override;
  int Init(RunState& run) override;
  void Act(RunState& run, CharacterList& characters) override;
  void Search(RunState& run, CharacterBase* player) override;
  void HitCharacters(RunState& run, CharacterList& characters) override;
  void Draw(RunState& run) override;
  void Release() override;
  const char* ClassName() const override { return "Aquarius"; }
  void DumpState(JsonWriter& json) const override;

  std::unique_ptr<Mesh> mesh;
  float fishTimer = 0;
  int quakePhase = 0;
  float hopAngle = 0;
  float jumpTimer = 0;
  float sideTimer = 0;
};

// The jumping fish: one leap along an arc in a random direction, then gone.
class Pisces : public Boss {
 public:
  explicit Pisces(RunState& run);
  void Act(RunState& run, CharacterList& characters) override;
  void Move(RunState& run) override;  // the leap
  void HitCharacters(RunState& run, CharacterList& characters) override;
  void Draw(RunState& run) override;
  const char* ClassName() const override { return "Pisces"; }
  void DumpState(JsonWriter& json) const override;
  void SetAngleStep(float v) { angleStep = v; }
  void SetForwardSpeed(float v) { forwardSpeed = v; }
  void SetLeapHeight(float v) { leapHeight = v; }

  float angleStep = 2.0f;
  float leapAngle = 0;
  int leapDone = 0;
  float forwardSpeed;
  float leapHeight = 0.3f;
  int meshIndex = 0;  // which of the two fish models it is drawn with
};

class RightHand;
class LeftHand;

// The final boss: a floating head that waits behind its two hands, comes
// down when both are lost, and then quakes when the player is near or
// charges, tearing up the floor, when the player is far.
class Providence : public EnemyBase {
 public:
  explicit Providence(RunState& run);
  ~Providence() override;
  int Init(RunState& run) override;
  void Act(RunState& run, CharacterList& characters) override;
  void Search(RunState& run, CharacterBase* player) override;
  void HitCharacters(RunState& run, CharacterList& characters) override;
  void CountWait() override;  // the rest after a charge
  void Draw(RunState& run) override;
  void Release() override;
  const char* ClassName() const override { return "Providence"; }
  bool DrawsRed() const override;
  void DumpState(JsonWriter& json) const override;

  // Actions.
  static constexpr int kDecide = 0, kQuake = 1, kCharge = 2, kTiltBack = 3, kRest = 4,
                       kReturnHome = 5;

  std::unique_ptr<Mesh> mesh;
  StarBurst bursts[5];
  RightHand* rightHand;
  LeftHand* leftHand;
  float floatAngle = 0;
  float hopAngle = 0;
  int subPhase = 0;
  int handsGone = 0;
  float rushLeft = 0, rushLength = 0;
  Vec3 homePosition;
  float rushSpeed = 0;
  float actionTimer = 0;
  float nearTimer = 0;
  float dustTimer = 0;
  float tiltSpeed = 0;
  int exposed = 0;
  int handsState = 0;
  int action = 0;

 private:
  void Float();
  // Forgets hands that are washed away (or no longer in the list at all);
  // true while at least one remains.
  bool CheckHands(const CharacterList& characters);
  void QuakeStep(RunState& run);
  void ChargeStep(RunState& run);
  void TiltBackStep();
  void ReturnHomeStep();
};

// The right hand: circles near the player, and from afar (or from the
// underside) winds up for three seconds and slams down like a tornado,
// sending a shock ring.
class RightHand : public EnemyBase {
 public:
  explicit RightHand(RunState& run);
  ~RightHand() override;
  int Init(RunState& run) override;
  void Act(RunState& run, CharacterList& characters) override;
  void Search(RunState& run, CharacterBase* player) override;
  void HitCharacters(RunState& run, CharacterList& characters) override;
  void CountWait() override;
  void Draw(RunState& run) override;
  void Release() override;
  const char* ClassName() const override { return "RightHand"; }
  bool DrawsRed() const override;
  void DumpState(JsonWriter& json) const override;

  static constexpr int kStart = 0, kSlam = 1, kHover = 2, kRecover = 3;

  std::unique_ptr<Mesh> mesh;
  float spinAngle = 0;
  int subPhase = 0;
  int ready = 1;
  float hurtTimer = 0, chargeTimer = 0, raiseTimer = 0;
  int action = 0;

 private:
  void CircleStep();
  void TornadoStep(RunState& run);
  void RecoverStep();
};

// The left hand: punches at a near player, and otherwise walks or drops on
// the floor, crushing it; hovers and back-flips between attacks.
class LeftHand : public EnemyBase {
 public:
  explicit LeftHand(RunState& run);
  ~LeftHand() override;
  int Init(RunState& run) override;
  void Act(RunState& run, CharacterList& characters) override;
  void Search(RunState& run, CharacterBase* player) override;
  void Move(RunState& run) override;  // the walk
  void HitCharacters(RunState& run, CharacterList& characters) override;
  void Draw(RunState& run) override;
  void Release() override;
  const char* ClassName() const override { return "LeftHand"; }
  bool DrawsRed() const override;
  void DumpState(JsonWriter& json) const override;

  static constexpr int kDecide = 0, kPunch = 1, kDrop = 2, kHover = 4, kBackFlip = 5, kWalk = 6;

  std::unique_ptr<Mesh> mesh;
  StarBurst burst;
  float spinAngle = 0;
  int subPhase = 0;
  float rushLeft = 0, rushLength = 0, rushSpeed = 0;
  float windupTimer = 0, hoverTimer = 0, shakeTimer = 0, walkTimer = 0;
  Vec3 windupStart;  // where a windup began (the flip's start is the base's)
  int action = 0;

 private:
  void PunchStep(RunState& run);
  void DropStep(RunState& run);
  void HoverStep();
  void BackFlipStep(RunState& run);
};
