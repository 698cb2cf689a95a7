// The game's texts on screen: script and event text in the speakers'
// colours, info-board text, and the notice shown while a scene waits for a
// file; with the contrast rule the colours are held to.
#pragma once

#include "platform/graphics.h"

// Draws script or event text in the colour of the speaker kind (0 to 3) and
// scene mode (0 opening, 1 in-game event, 2 ending); a pair without a colour
// draws nothing. The caller has begun the sprite batch.
void DrawScriptText(const char* text, int speakerKind, int sceneMode, const Vec2& topLeft);
void DrawBoardText(const char* text, const Vec2& topLeft);
// Where those texts go: their rectangles' offsets from the window's or the
// panel's top-left, and their sizes. Text past the rectangle is cut off.
// Script text is drawn shifted by (32, 16) from its rectangle as well.
constexpr int kScriptTextLeft = 26, kScriptTextTop = 26;
constexpr int kScriptTextShiftX = 32, kScriptTextShiftY = 16;
constexpr int kScriptTextWidth = 1204, kScriptTextHeight = 170;
constexpr int kBoardTextLeft = 22, kBoardTextTop = 38;
constexpr int kBoardTextWidth = 288, kBoardTextHeight = 170;
// Lines of Shift-JIS text in white on the (cleared) screen, for the notice
// shown while a scene waits for a file that failed to load. Begins and ends
// its own sprite batch.
void DrawNotice(const char* sjisText);

// The speaker's colour of the design, or 0 when the pair draws nothing.
D3DCOLOR ScriptTextColor(int speakerKind, int sceneMode);
// The colour DrawScriptText draws with: the speaker's colour, darkened as
// little as needed to read at 4.5:1 or better on the text window.
D3DCOLOR ScriptTextDrawColor(int speakerKind, int sceneMode);
// The cream of the text window's inside (Event/Text_Flame.png).
constexpr D3DCOLOR kTextWindowColor = 0xFFF6F0E2;
// The contrast ratio of two colours as the web's accessibility rules define
// it (1 to 21, from their relative luminances).
double ContrastRatio(D3DCOLOR a, D3DCOLOR b);
// The colour with its hue kept, darkened (on a light background) or
// lightened (on a dark one) until it reaches the ratio against background.
D3DCOLOR ReadableOn(D3DCOLOR text, D3DCOLOR background, double ratio);
