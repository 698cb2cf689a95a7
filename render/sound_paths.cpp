#include "render/sound_paths.h"

#define R ORVELUNE_RESOURCE_ROOT

const char* const kGameSoundPaths[kGameSoundCount] = {
    R "Sound/SE/Wave.wav",         R "Sound/SE/BigWave.wav",    R "Sound/SE/Water_Fall.wav",
    R "Sound/SE/Wallow.wav",       R "Sound/SE/MoveDoor.wav",   R "Sound/SE/CloseDoor.wav",
    R "Sound/SE/GetItem.wav",      R "Sound/SE/Up.wav",         R "Sound/SE/Rotate.wav",
    R "Sound/SE/Up.wav",           R "Sound/SE/Set.wav",        R "Sound/SE/HitGround.wav",
    R "Sound/SE/Jump.wav",         R "Sound/SE/Clear.wav",      R "Sound/SE/Gameover.wav",
    R "Sound/SE/Select.wav",       R "Sound/SE/Select_End.wav", R "Sound/SE/Hit.wav",
    R "Sound/SE/Chara_Hit.wav",    R "Sound/SE/Break.wav",      R "Sound/SE/Rota_Wall.wav",
    R "Sound/SE/Quake.wav",        R "Sound/SE/Boss_Hit.wav",   R "Sound/SE/Throw.wav",
    R "Sound/SE/System.wav",       R "Sound/SE/Charge.wav",     R "Sound/SE/StarScall.wav",
    R "Sound/SE/Miss.wav",         R "Sound/SE/Rush.wav",       R "Sound/SE/Fish.wav",
    R "Sound/SE/BossRush.wav",     R "Sound/SE/HandHit.wav",    R "Sound/SE/Tornado.wav",
    R "Sound/SE/Devide.wav",       R "Sound/BGM/Main_BGM.wav",  R "Sound/BGM/Nomal_Battle.wav",
    R "Sound/BGM/Boss_Battle.wav",
};

const char* const kEventSoundPaths[kEventSoundCount] = {
    R "Sound/SE/System.wav", R "Sound/SE/Fish.wav", R "Sound/BGM/Opening.wav",
    R "Sound/BGM/Ending.wav"};

const char* const kTitleSoundPaths[kTitleSoundCount] = {
    R "Sound/SE/Wave.wav", R "Sound/SE/Select.wav", R "Sound/SE/Select_End.wav"};

const char* const kCreditSoundPaths[kCreditSoundCount] = {R "Sound/BGM/Credit.wav"};

#undef R
