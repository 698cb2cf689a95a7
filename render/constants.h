// The constants every part of the game shares: the resource tree and the
// tables of resource paths that code indexes by position (the order is part
// of the interface), and the geometry and screen-layout constants that more
// than one part needs. Screen positions are pixels of the 1280x720 picture.
#pragma once

#include "base/math.h"
#include "base/resource_root.h"
#include "render/sound_paths.h"  // the sound path tables

// Cameras (world units).
constexpr Vec3 kCameraFollowOffset{5, 3, 5};
constexpr Vec3 kCameraHighOffset{7, 10, 7};
constexpr Vec3 kCameraDiagonalOffset{-8, 12, -8};
constexpr Vec3 kCameraLookAhead{1.25f, 0.8f, 1.25f};
constexpr Vec3 kUp{0, 1, 0};

// The scripted picture scenes: size and position of each picture, in the
// order of kScenePicturePaths.
struct ScreenRect {
  Vec2 size;
  Vec2 position;
};
constexpr ScreenRect kScenePictureLayout[6] = {
    {{320, 720}, {0, 0}},      // first portrait
    {{320, 720}, {960, 0}},    // second portrait
    {{320, 720}, {960, 0}},    // third portrait
    {{1280, 720}, {0, 0}},     // background
    {{1280, 240}, {11, 461}},  // text frame
    {{64, 64}, {1142, 605}},   // page button
};

constexpr Vec2 kPortraitPlaces[4] = {{0, 0}, {320, 0}, {640, 0}, {935, 0}};
constexpr Vec2 kMessageWindowPos = kScenePictureLayout[4].position;
constexpr Vec2 kMessageWindowLow{11, 720};
// The page button's bob limits, derived from the button's place and size.
constexpr Vec2 kPageButtonPosA{
    kScenePictureLayout[5].position.x - kScenePictureLayout[5].size.x / 4,
    kScenePictureLayout[5].position.y - kScenePictureLayout[5].size.y / 4};
constexpr Vec2 kPageButtonPosB{kScenePictureLayout[5].position.x - 6,
                               kScenePictureLayout[5].position.y - 6};
constexpr Vec2 kPageButtonPosC{kScenePictureLayout[5].position.x - 16,
                               kScenePictureLayout[5].position.y - 16};
constexpr Vec2 kBoardTextPos{11, 508};
constexpr Vec2 kTitleMenuPos[3] = {{420, 360}, {420, 444}, {420, 528}};
constexpr Vec2 kTitleMenuItemSize{360, 64};
constexpr Vec2 kResultScreenPos[5] = {{320, 200}, {448, 200}, {448, 400}, {480, 528}, {672, 528}};
constexpr Vec2 kPlayPanel[6] = {{11, 12}, {201, 62}, {64, 62}, {457, 171}, {142, 39}, {90, 56}};
constexpr Vec2 kMapPanelPos{1168, 334};
constexpr Vec2 kMapPanelMarks[2] = {{1168 + 28, 334 + 24}, {1168 + 40, 334 + 327}};
constexpr Vec2 kPauseItemSizes[8] = {{391, 106}, {391, 61}, {391, 61}, {391, 68},
                                     {391, 72},  {72, 58},  {65, 48},  {236, 76}};
constexpr Vec2 kPauseFirstItemPos{640 - 391 / 2.0f, 256};

// Object constants: the size of recovery items and the collision box of
// walls (x thickness, y height, z length).
constexpr Vec3 kItemSize{1, 1, 1};
constexpr Vec3 kWallBox{1, 2.5f, 6};

// Models and textures, loaded in four ranges by the preload.
constexpr int kAssetPathCount = 66;
extern const char* const kAssetPaths[kAssetPathCount];
constexpr int kWallMeshFirst = 0;  // 0 the whole wall, 1 to 36 its pieces
constexpr int kWallMeshCount = 37;
constexpr int kSharedTextureFirst = 37;
constexpr int kSharedTextureCount = 14;
constexpr int kObjectMeshFirst = 51;
constexpr int kObjectMeshCount = 14;
constexpr int kItemMeshFirst = 65;
constexpr int kItemMeshCount = 1;

constexpr int kStagePathCount = 5;
extern const char* const kStagePaths[kStagePathCount];
extern const char* const kScenePicturePaths[6];
extern const char* const kEventPicturePaths[2];
extern const char* const kTitlePicturePaths[2];

// Models loaded by the classes that use them (not preloaded).
#define ORVELUNE_MODEL(path) ORVELUNE_RESOURCE_ROOT path
constexpr const char* kEnemyMeshPath = ORVELUNE_MODEL("Character/Enemy/sasori.x");
constexpr const char* kScorpionMeshPath = ORVELUNE_MODEL("Character/Enemy/sasori_boss.x");
constexpr const char* kPolluxMeshPath = ORVELUNE_MODEL("Character/Enemy/hutago1.x");
constexpr const char* kCastorMeshPath = ORVELUNE_MODEL("Character/Enemy/hutago2.x");
constexpr const char* kFishMeshPaths[2] = {ORVELUNE_MODEL("Character/Enemy/sakana1.x"),
                                           ORVELUNE_MODEL("Character/Enemy/sakana2.x")};
constexpr const char* kAquariusMeshPath = ORVELUNE_MODEL("Character/Enemy/mizugame.x");
constexpr const char* kProvidenceMeshPath = ORVELUNE_MODEL("Character/Boss/tentei.x");
constexpr const char* kRightHandMeshPath = ORVELUNE_MODEL("Character/Boss/tentei_righthand.x");
constexpr const char* kLeftHandMeshPath = ORVELUNE_MODEL("Character/Boss/tentei_lefthand.x");
#undef ORVELUNE_MODEL
