// The frame loop in a browser, which must never block: the page calls back
// once per display refresh and each call runs what is due, then returns.
#pragma once

#include <functional>

// Calls pass at each display refresh until it returns false; then tells the
// page the game has ended (the page's orveluneEnded()). Does not return.
[[noreturn]] void RunAtEachDisplayRefresh(std::function<bool()> pass);
