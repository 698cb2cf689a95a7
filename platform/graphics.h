// The process-wide rendering objects: the device, the shared sprite batch and
// the fonts, with the two text-drawing operations of the scripted scenes,
// in-game events and info boards.
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

// Draws script or event text in the colour of the speaker kind (0 to 3) and
// scene mode (0 opening, 1 in-game event, 2 ending); a pair without a colour
// draws nothing. The caller has begun the sprite batch.
void DrawScriptText(const char* text, int speakerKind, int sceneMode, const Vec2& topLeft);
void DrawBoardText(const char* text, const Vec2& topLeft);
// Lines of Shift-JIS text in white on the (cleared) screen, for the notice
// shown while a scene waits for a file that failed to load. Begins and ends
// its own sprite batch.
void DrawNotice(const char* sjisText);

// The colour DrawScriptText uses, or 0 when the pair draws nothing.
D3DCOLOR ScriptTextColor(int speakerKind, int sceneMode);
