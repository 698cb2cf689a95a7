// The length of the last frame in seconds, as the frame timer measured it.
// Everything that counts seconds reads it; only the frame timer (and tests
// that step frames by hand) set it.
#pragma once

float GetDeltaTime();
void SetDeltaTime(float seconds);
