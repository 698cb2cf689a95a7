// The frame loop in a browser, which must never block: the page calls back
// once per display refresh and each call runs what is due, then returns.
#pragma once

#include <functional>

// Calls pass at each display refresh until it returns false; then tells the
// page the game has ended (the page's orveluneEnded()). Does not return.
[[noreturn]] void RunAtEachDisplayRefresh(std::function<bool()> pass);

// Shows the page a value of the game's (window.orvelune[key]): what its tests
// and its start screen watch, such as the frame count and the scene.
void TellPage(const char* key, double value);
void TellPage(const char* key, const char* text);

// Full screen is the page's (its picture and its bars): whether it is on,
// and a request to turn it on or off. A browser grants the request only
// shortly after a key or a click, which is when the game asks.
bool PageIsFullScreen();
void AskPageForFullScreen(bool on);
