// The process-wide rendering objects: the device, the shared sprite batch and
// the fonts (the game's texts are drawn with them in render/text_drawing).
#pragma once

#include "platform/backend.h"
#include "platform/font.h"
#include "platform/graphics_device.h"
#include "platform/sprite.h"

enum class DisplayMode { FullScreen, Windowed };

int InitDirect3D(GameWindow* window, DisplayMode mode);
void ReleaseDirect3D();
int InitSprite();
void ReleaseSprite();
int InitTextFonts();
void ReleaseTextFonts();
int InitDebugFont();
void ReleaseDebugFont();

GraphicsDevice* GetDevice();
Sprite* GetSprite();
Font* GetScriptFont();
Font* GetBoardFont();
