// The class tree of everything that stands in a stage: ObjectBase (placement
// and the per-frame protocol), ObjectAction (motion with gravity and the
// special states of the two-sided field), and the two branches for
// characters and stage gimmicks.
//
// The field has two sides. Objects normally stand on the upper side with
// gravity towards -y; an object whose upsideDown is set lives on the
// underside, hangs head down (roll 180) and falls towards +y. The river lies at
// y = -15 below and +15 above; whatever falls past it is carried away.
#pragma once

#include <iterator>
#include <list>
#include <memory>
#include <string>

#include "base/math.h"

class JsonWriter;
struct RunState;

// Motion states.
enum MotionState {
  kStateNormal = 0,
  kStateGone = 1,         // left the game; the owner deletes it
  kStateWashedAway = 2,   // in the river, drifting towards -z
  kStateBlownAway = 3,    // along an arc
  kStateFlipping = 4,     // to the other side of the field
  kStateSpecial = 5,      // characters: knock-back still runs; chips: lifted by a shock wave
  kStateTaken = 6,        // a chip marked for lifting, or carried
  kStateFalling = 7,      // past the field's edge, about to reach the river
  kStateMarkedInner = 8,  // a chip in the inner area of a flip selection
};

// Face flags a gimmick's HitCheck returns for a character's box.
enum FaceFlag {
  kFacePushNegZ = 0x01,  // the character's +z side is inside: push towards -z
  kFacePushPosZ = 0x02,  // the character's -z side is inside: push towards +z
  kFacePushNegX = 0x04,  // the character's +x side is inside: push towards -x
  kFacePushPosX = 0x08,  // the character's -x side is inside: push towards +x
  kFaceStand = 0x10,     // the character's centre is within the box's height
  kFaceOver = 0x20,      // the footprint is over (or, upside down, under) the box
};

class ObjectBase {
 public:
  ObjectBase() = default;
  virtual ~ObjectBase() = default;

  // The frame protocol. Each call is handed the run being played
  // (world/run_state.h): the game state, the values the objects share, the
  // camera, the info panel, the random streams and the sounds.
  virtual int Init(RunState&) { return 1; }
  virtual void Update(RunState&) {}
  virtual void Draw(RunState&) {}
  virtual void Release() {}
  // world = yaw-pitch-roll rotation (rotation.y, .x, .z in degrees), then the
  // translation to position; no scale.
  virtual void UpdateMatrix();

  // The class's name, for the runner's dumps.
  virtual const char* ClassName() const { return "ObjectBase"; }

  Vec3 position;
  Matrix world;
  Vec3 rotation;
};

// The quake hop record: set by the collision pass when a shock wave lifts a
// chip, consumed by the chip's own Action.
struct BounceRecord {
  int active = 0;
  float value = 0;
  float speed = 0;
  float timer = 0;
};

class ObjectAction : public ObjectBase {
 public:
  // Every object draws its spin (for when it is blown away) from the run's
  // game numbers as it is made.
  explicit ObjectAction(RunState& run);
  // The motion-state machine: washed away, blown away, flipping, and for the
  // other states gravity with the fall into the river.
  void Update(RunState& run) override;
  const char* ClassName() const override { return "ObjectAction"; }

  // Gone, washed away or blown away: leaving the stage.
  bool DriftingAway() const { return state >= kStateGone && state <= kStateBlownAway; }
  // While drifting away the alpha fades with depth (DriftAlpha).
  void FadeWhileDrifting(RunState& run);

  Vec3 flipOffset;
  int flipPhase = 0;
  float flipRise = 0;
  float gravity = 0.005f;
  float spinSpeed;
  float arcDegrees = 0;
  float arcSpeed = 0.1f;
  int state = kStateNormal;
  float fallSpeed = 0;
  BounceRecord bounce;
  int upsideDown = 0;
  Vec3 velocity;
  int gravityOn = 0;
  float timer = 0;
  Vec3 startPosition;
  int alpha = 0;
  Vec3 size;
  Vec3 flipCentre;

 private:
  void StepBlownAway(RunState& run);
  void StepFlip();
  void StepGravity(RunState& run);
};

// What a character is to the collision pass and the bumps.
enum class CharacterKind { kNone = 0, kPlayer = 1, kEnemy = 2 };

class CharacterBase : public ObjectAction {
 public:
  explicit CharacterBase(RunState& run) : ObjectAction(run) { gravityOn = 1; }
  int Init(RunState&) override {
    UpdateMatrix();
    return 1;
  }
  // Knock-back (in states 0 and 5), then the motion step.
  void Update(RunState& run) override;
  // One step of the knock-back slide: decelerates linearly to nothing over
  // 0.5 s along velocity.
  virtual void KnockBack();
  // Moves the character out of a box by the face flags and the contact point.
  virtual void PushOut(int faceFlags, const Vec3& contact);
  const char* ClassName() const override { return "CharacterBase"; }
  // The class's own state for the runner's dumps, as keys of the
  // character's object.
  virtual void DumpState(JsonWriter&) const {}

  int knockBack = 0;
  Vec3 groundPoint;
  CharacterKind kind = CharacterKind::kNone;
  float knockTimer = 0;
  int fallSounded = 0;
};

// The carry record of a chip (and what the collision pass reads of any
// gimmick): whether the player carries it, the charge level it was lifted
// or thrown at (its edge while carried), where its shadow lies, whether it
// flies (thrown), and whether the great wave burst it in the player's hands.
struct HitInfo {
  int carried = 0;
  float level = 0;
  Vec3 shadowPoint;
  int flying = 0;
  int burst = 0;
};

// Gimmick kinds: what the collision pass does with a gimmick.
enum GimmickKind {
  kKindChip = 0,
  kKindRotaWall = 1,
  kKindWall = 2,
  kKindWallPiece = 3,
  kKindGate = 4,
  kKindInfoBoard = 5,
  kKindInvisible = 6,
  kKindStar = 7,
  kKindItem = 8,
  kKindBridge = 9,
  kKindEncounter = 10,
  kKindGoal = 11,
};

class GimmickBase : public ObjectAction {
 public:
  explicit GimmickBase(RunState& run) : ObjectAction(run) {}
  // The gimmick's own per-frame behaviour; the base runs the motion step.
  virtual void Action(RunState& run, CharacterBase* player);
  // Tests a character's box against the gimmick; face flags (0: no contact)
  // and the contact point.
  virtual int HitCheck(RunState& run, int upsideDown, const Vec3& position, const Vec3& size,
                       const Vec3& velocity, Vec3* contact);
  const char* ClassName() const override { return "GimmickBase"; }
  // The loader's parameters, for the stage dump.
  virtual void DumpParameters(JsonWriter&) const {}

  int gimmickKind = kKindChip;
  HitInfo hitInfo;
};

// The characters of a stage, the player first. The list owns them: a
// character pushed onto it is deleted when it is erased or the list goes.
// Iterating yields the characters themselves (CharacterBase*).
class CharacterList {
  using Owned = std::list<std::unique_ptr<CharacterBase>>;

  template <class Inner>
  class Iterator {
   public:
    using iterator_category = std::bidirectional_iterator_tag;
    using value_type = CharacterBase*;
    using difference_type = std::ptrdiff_t;
    using pointer = CharacterBase* const*;
    using reference = CharacterBase*;

    Iterator() = default;
    explicit Iterator(Inner inner) : inner_(inner) {}
    CharacterBase* operator*() const { return inner_->get(); }
    Iterator& operator++() {
      ++inner_;
      return *this;
    }
    Iterator operator++(int) { return Iterator(inner_++); }
    Iterator& operator--() {
      --inner_;
      return *this;
    }
    Iterator operator--(int) { return Iterator(inner_--); }
    bool operator==(const Iterator& other) const { return inner_ == other.inner_; }
    Inner Inside() const { return inner_; }

   private:
    Inner inner_{};
  };

 public:
  using iterator = Iterator<Owned::iterator>;
  using const_iterator = Iterator<Owned::const_iterator>;

  CharacterList() = default;
  CharacterList(const CharacterList&) = delete;
  CharacterList& operator=(const CharacterList&) = delete;

  // Takes the character into the list, which deletes it in the end.
  void push_back(CharacterBase* character) { owned_.emplace_back(character); }
  // Deletes the character there; the iterator after it.
  iterator erase(iterator at) { return iterator(owned_.erase(at.Inside())); }
  void clear() { owned_.clear(); }

  CharacterBase* front() const { return owned_.front().get(); }
  CharacterBase* back() const { return owned_.back().get(); }
  size_t size() const { return owned_.size(); }
  bool empty() const { return owned_.empty(); }
  iterator begin() { return iterator(owned_.begin()); }
  iterator end() { return iterator(owned_.end()); }
  const_iterator begin() const { return const_iterator(owned_.begin()); }
  const_iterator end() const { return const_iterator(owned_.end()); }

 private:
  Owned owned_;
};

// The translucent recipe around a model's draw: alpha from the texture
// factor; restores the states afterwards.
void BeginTranslucent(int alpha);
void EndTranslucent();

// The alpha of an object drifting away in states 1 to 3: fades to nothing as
// it nears the front edge z - 50.
int DriftAlpha(RunState& run, float z);

// Where an object's shadow lies after one more gimmick's answer: on the face
// it stands on (standing), or on the nearest surface under it (above it on
// the underside) that the gimmick's face turned towards it is (over) unless
// the point already lies on a nearer one. True when the point moved to this
// gimmick. The character pass and the carried star share it.
bool FindGround(bool standing, bool over, const Vec3& position, int upsideDown, const Vec3& contact,
                Vec3* point);
