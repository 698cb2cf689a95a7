// A small synthesizer for the game's sounds and music: oscillators,
// envelopes, filters, a handful of instruments (a plucked koto-like string,
// bells, pads, flute, bass, drums), a reverb, and the canonical WAV writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/assetgen.h"

constexpr int kSampleRate = 22050;

struct Audio {
  std::vector<float> left, right;

  explicit Audio(double seconds = 0) { Resize(seconds); }
  void Resize(double seconds);
  size_t Frames() const { return left.size(); }
  double Seconds() const { return static_cast<double>(left.size()) / kSampleRate; }
  // Adds a mono sample at frame i with a pan (-1 left .. 1 right).
  void Add(size_t i, float v, float pan = 0) {
    if (i >= left.size()) return;
    left[i] += v * (1 - pan) * 0.5f;
    right[i] += v * (1 + pan) * 0.5f;
  }
  void MixIn(const Audio& other, double atSeconds, float gain);
};

// Canonical 44-byte-header PCM WAV, 16-bit; mono when asked.
std::vector<uint8_t> EncodeWav(const Audio& audio, bool stereo);

// Equal-tempered frequency of a MIDI note number (69 = A4 = 440 Hz).
double NoteFrequency(double midi);
// Parses "C4", "F#5", "Bb3" to a MIDI number; -1 for a rest ("r").
int ParseNote(const std::string& name);

// Effects over a whole buffer.
void Reverb(Audio& audio, float mix, float roomSize = 0.8f, float damping = 0.4f);
void LowPass(Audio& audio, float cutoffHz);
void HighPass(Audio& audio, float cutoffHz);
// Scales so the loudest sample reaches peak (e.g. 0.89 = -1 dBFS).
void Normalize(Audio& audio, float peak);
// Folds everything after loopSeconds back onto the start, so the sound loops
// without a seam, and cuts it to loopSeconds.
void FoldLoop(Audio& audio, double loopSeconds);
void FadeOut(Audio& audio, double seconds);
void FadeIn(Audio& audio, double seconds);

// Instruments: each adds one note into the buffer at time t (seconds).
struct Note {
  double time;
  double midi;
  double duration;
  float velocity = 0.8f;
  float pan = 0;
};
void PluckString(Audio& out, const Note& n, Rng& rng, float brightness = 0.5f);  // koto-like
void Bell(Audio& out, const Note& n, float ratio = 3.5f, float index = 2.5f);
void Pad(Audio& out, const Note& n, float attack = 0.6f, float release = 1.2f, float cutoff = 1800);
void Flute(Audio& out, const Note& n, Rng& rng);
void Bass(Audio& out, const Note& n);
void Kick(Audio& out, double t, float velocity);
void Snare(Audio& out, double t, float velocity, Rng& rng);
void HiHat(Audio& out, double t, float velocity, Rng& rng, bool open = false);
void Taiko(Audio& out, double t, float velocity, Rng& rng, double pitch = 70);
void Shaker(Audio& out, double t, float velocity, Rng& rng);
