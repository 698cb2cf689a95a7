// The state a play-through keeps outside the objects that own it: the game
// state, the values the world objects share, the camera and the info panel.
// One place resets it, for the game scene, the runner and the tests alike.
#pragma once

// What every stage load starts afresh: the values the world objects share
// (the published stage values and the ride values) and the info panel (an
// open panel would otherwise keep the next stage's world frozen).
void ResetStageValues();
// All of it, as at program start: the game state, the camera and the stage
// values.
void ResetRunState();
