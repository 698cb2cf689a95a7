#include "tools/assetgen/synth.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "base/math.h"

namespace {

constexpr double kTau = 6.283185307179586;

void PutU32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutU16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

// A one-pole low-pass, run in place on a mono signal.
struct OnePole {
  float a, z = 0;
  explicit OnePole(float cutoff)
      : a(1.0f - std::exp(-static_cast<float>(kTau) * cutoff / kSampleRate)) {}
  float Step(float x) { return z += a * (x - z); }
};

// A state-variable filter (low-pass output) for the pads.
struct Svf {
  float low = 0, band = 0;
  float Step(float x, float cutoff, float q) {
    const float f = 2.0f * std::sin(static_cast<float>(kPi) * std::min(cutoff, kSampleRate / 6.0f) /
                                    kSampleRate);
    low += f * band;
    const float high = x - low - q * band;
    band += f * high;
    return low;
  }
};

float Envelope(double t, double attack, double decay, double sustain, double release,
               double length) {
  double v;
  if (t < attack)
    v = t / attack;
  else if (t < attack + decay)
    v = 1 - (1 - sustain) * (t - attack) / decay;
  else
    v = sustain;
  if (t > length) v *= std::max(0.0, 1 - (t - length) / release);
  return static_cast<float>(std::max(0.0, v));
}

size_t FrameAt(double t) {
  return static_cast<size_t>(std::max(0.0, t) * kSampleRate);
}

}  // namespace

void Audio::Resize(double seconds) {
  const size_t n = static_cast<size_t>(std::max(0.0, seconds) * kSampleRate);
  left.resize(n, 0.0f);
  right.resize(n, 0.0f);
}

void Audio::MixIn(const Audio& other, double at, float gain) {
  const size_t start = FrameAt(at);
  if (start + other.Frames() > Frames())
    Resize(static_cast<double>(start + other.Frames()) / kSampleRate + 0.001);
  for (size_t i = 0; i < other.Frames(); ++i) {
    left[start + i] += other.left[i] * gain;
    right[start + i] += other.right[i] * gain;
  }
}

std::vector<uint8_t> EncodeWav(const Audio& a, bool stereo) {
  const uint16_t channels = stereo ? 2 : 1;
  const uint32_t dataBytes = static_cast<uint32_t>(a.Frames() * channels * 2);
  std::vector<uint8_t> b;
  b.reserve(44 + dataBytes);
  b.insert(b.end(), {'R', 'I', 'F', 'F'});
  PutU32(b, 36 + dataBytes);
  b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutU32(b, 16);
  PutU16(b, 1);
  PutU16(b, channels);
  PutU32(b, kSampleRate);
  PutU32(b, kSampleRate * channels * 2);
  PutU16(b, static_cast<uint16_t>(channels * 2));
  PutU16(b, 16);
  b.insert(b.end(), {'d', 'a', 't', 'a'});
  PutU32(b, dataBytes);
  auto q = [](float v) {
    const float c = std::max(-1.0f, std::min(1.0f, v));
    return static_cast<int16_t>(std::lround(c * 32767.0f));
  };
  for (size_t i = 0; i < a.Frames(); ++i) {
    if (stereo) {
      PutU16(b, static_cast<uint16_t>(q(a.left[i])));
      PutU16(b, static_cast<uint16_t>(q(a.right[i])));
    } else {
      PutU16(b, static_cast<uint16_t>(q((a.left[i] + a.right[i]))));
    }
  }
  return b;
}

double NoteFrequency(double midi) {
  return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

int ParseNote(const std::string& name) {
  if (name.empty() || name == "r") return -1;
  static const int kSemis[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
  if (letter < 'A' || letter > 'G') return -1;
  int semi = kSemis[letter - 'A'];
  size_t i = 1;
  while (i < name.size() && (name[i] == '#' || name[i] == 'b')) {
    semi += name[i] == '#' ? 1 : -1;
    ++i;
  }
  const int octave = i < name.size() ? std::atoi(name.c_str() + i) : 4;
  return 12 * (octave + 1) + semi;
}

void Reverb(Audio& audio, float mix, float roomSize, float damping) {
  // Schroeder-Moorer: parallel damped combs, then series all-passes, per channel
  // with slightly different lengths for width.
  const int combLengths[4] = {1116, 1188, 1277, 1356};
  const int allpassLengths[2] = {556, 441};
  const float scale = kSampleRate / 44100.0f;
  for (int ch = 0; ch < 2; ++ch) {
    std::vector<float>& x = ch == 0 ? audio.left : audio.right;
    std::vector<float> wet(x.size(), 0.0f);
    for (int c = 0; c < 4; ++c) {
      const size_t len = static_cast<size_t>((combLengths[c] + ch * 23) * scale);
      std::vector<float> buf(len, 0.0f);
      float store = 0;
      size_t pos = 0;
      for (size_t i = 0; i < x.size(); ++i) {
        const float out = buf[pos];
        store = out * (1 - damping) + store * damping;
        buf[pos] = x[i] + store * roomSize;
        wet[i] += out;
        pos = (pos + 1) % len;
      }
    }
    for (int a = 0; a < 2; ++a) {
      const size_t len = static_cast<size_t>((allpassLengths[a] + ch * 17) * scale);
      std::vector<float> buf(len, 0.0f);
      size_t pos = 0;
      for (size_t i = 0; i < wet.size(); ++i) {
        const float b = buf[pos];
        const float out = -wet[i] + b;
        buf[pos] = wet[i] + b * 0.5f;
        wet[i] = out;
        pos = (pos + 1) % len;
      }
    }
    for (size_t i = 0; i < x.size(); ++i) x[i] = x[i] * (1 - mix) + wet[i] * mix * 0.25f;
  }
}

void LowPass(Audio& audio, float cutoff) {
  for (auto* ch : {&audio.left, &audio.right}) {
    OnePole f(cutoff);
    for (float& v : *ch) v = f.Step(v);
  }
}

void HighPass(Audio& audio, float cutoff) {
  for (auto* ch : {&audio.left, &audio.right}) {
    OnePole f(cutoff);
    for (float& v : *ch) v = v - f.Step(v);
  }
}

void Normalize(Audio& audio, float peak) {
  float m = 0;
  for (float v : audio.left) m = std::max(m, std::fabs(v));
  for (float v : audio.right) m = std::max(m, std::fabs(v));
  if (m <= 0) return;
  const float k = peak / m;
  for (float& v : audio.left) v *= k;
  for (float& v : audio.right) v *= k;
}

void FoldLoop(Audio& audio, double loopSeconds) {
  const size_t n = FrameAt(loopSeconds);
  if (audio.Frames() > n) {
    for (size_t i = n; i < audio.Frames(); ++i) {
      audio.left[(i - n) % n] += audio.left[i];
      audio.right[(i - n) % n] += audio.right[i];
    }
  }
  audio.left.resize(n, 0.0f);
  audio.right.resize(n, 0.0f);
}

void FadeOut(Audio& audio, double seconds) {
  const size_t n = std::min(audio.Frames(), FrameAt(seconds));
  for (size_t k = 0; k < n; ++k) {
    const float g = static_cast<float>(k) / n;
    const size_t i = audio.Frames() - 1 - k;
    audio.left[i] *= g;
    audio.right[i] *= g;
  }
}

void FadeIn(Audio& audio, double seconds) {
  const size_t n = std::min(audio.Frames(), FrameAt(seconds));
  for (size_t i = 0; i < n; ++i) {
    const float g = static_cast<float>(i) / n;
    audio.left[i] *= g;
    audio.right[i] *= g;
  }
}

void PluckString(Audio& out, const Note& n, Rng& rng, float brightness) {
  // Karplus-Strong with a gentle low-pass in the loop; a little body
  // resonance from a second, octave string.
  const double f = NoteFrequency(n.midi);
  const size_t period = std::max<size_t>(2, static_cast<size_t>(kSampleRate / f));
  std::vector<float> line(period);
  for (float& v : line) v = static_cast<float>(rng.Range(-1, 1));
  // Soften the excitation for a rounder tone.
  for (int pass = 0; pass < 2; ++pass)
    for (size_t i = 1; i < period; ++i)
      line[i] = line[i] * brightness + line[i - 1] * (1 - brightness);
  const double length = n.duration + 1.2;
  const size_t start = FrameAt(n.time);
  const size_t frames = FrameAt(length);
  const float decay = 0.996f + 0.0035f * std::min(1.0f, static_cast<float>(220.0 / f));
  size_t pos = 0;
  float prev = 0;
  for (size_t i = 0; i < frames; ++i) {
    const float cur = line[pos];
    const float next = 0.5f * (cur + prev) * decay;
    prev = cur;
    line[pos] = next;
    pos = (pos + 1) % period;
    const double t = static_cast<double>(i) / kSampleRate;
    float env = 1.0f;
    if (t > n.duration) env = static_cast<float>(std::max(0.0, 1 - (t - n.duration) / 1.2));
    out.Add(start + i, cur * n.velocity * env * 0.6f, n.pan);
  }
}

void Bell(Audio& out, const Note& n, float ratio, float index) {
  const double f = NoteFrequency(n.midi);
  const double length = n.duration + 2.0;
  const size_t start = FrameAt(n.time);
  const size_t frames = FrameAt(length);
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const float amp = static_cast<float>(std::exp(-t * 2.2) * std::min(1.0, t * 400));
    const double mod = index * std::exp(-t * 3.0) * std::sin(kTau * f * ratio * t);
    const float v = static_cast<float>(std::sin(kTau * f * t + mod));
    out.Add(start + i, v * amp * n.velocity * 0.35f, n.pan);
  }
}

void Pad(Audio& out, const Note& n, float attack, float release, float cutoff) {
  const double f = NoteFrequency(n.midi);
  const size_t start = FrameAt(n.time);
  const size_t frames = FrameAt(n.duration + release);
  const double detune[3] = {-0.07, 0.0, 0.08};
  double phase[3] = {0.13, 0.51, 0.87};
  Svf filter;
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    float v = 0;
    for (int k = 0; k < 3; ++k) {
      phase[k] += NoteFrequency(n.midi + detune[k]) / kSampleRate;
      phase[k] -= std::floor(phase[k]);
      v += static_cast<float>(2 * phase[k] - 1);  // saw
    }
    const float env = Envelope(t, attack, 0.3, 0.85, release, n.duration);
    const float c = cutoff * (0.6f + 0.4f * env) + static_cast<float>(f);
    out.Add(start + i, filter.Step(v / 3, c, 0.7f) * env * n.velocity * 0.35f, n.pan);
  }
}

void Flute(Audio& out, const Note& n, Rng& rng) {
  const double f = NoteFrequency(n.midi);
  const size_t start = FrameAt(n.time);
  const size_t frames = FrameAt(n.duration + 0.25);
  double phase = 0;
  OnePole breath(2500);
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double vib = 1 + 0.006 * std::sin(kTau * 5.2 * t) * std::min(1.0, t / 0.35);
    phase += f * vib / kSampleRate;
    phase -= std::floor(phase);
    const float tone =
        static_cast<float>(std::sin(kTau * phase) + 0.22 * std::sin(2 * kTau * phase) +
                           0.08 * std::sin(3 * kTau * phase));
    const float noise = breath.Step(static_cast<float>(rng.Range(-1, 1)));
    const float env = Envelope(t, 0.06, 0.1, 0.9, 0.2, n.duration);
    out.Add(start + i, (tone * 0.9f + noise * 0.1f) * env * n.velocity * 0.4f, n.pan);
  }
}

void Bass(Audio& out, const Note& n) {
  const double f = NoteFrequency(n.midi);
  const size_t start = FrameAt(n.time);
  const size_t frames = FrameAt(n.duration + 0.08);
  double phase = 0;
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    phase += f / kSampleRate;
    phase -= std::floor(phase);
    // Triangle with a touch of its second harmonic.
    const float tri = static_cast<float>(phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase);
    const float v = tri + 0.3f * static_cast<float>(std::sin(2 * kTau * phase));
    const float env = Envelope(t, 0.005, 0.15, 0.7, 0.08, n.duration);
    out.Add(start + i, v * env * n.velocity * 0.5f, n.pan);
  }
}

void Kick(Audio& out, double t0, float velocity) {
  const size_t start = FrameAt(t0);
  const size_t frames = FrameAt(0.35);
  double phase = 0;
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double f = 45 + 110 * std::exp(-t * 28);
    phase += f / kSampleRate;
    const float v = static_cast<float>(std::sin(kTau * phase) * std::exp(-t * 9));
    out.Add(start + i, v * velocity, 0);
  }
}

void Snare(Audio& out, double t0, float velocity, Rng& rng) {
  const size_t start = FrameAt(t0);
  const size_t frames = FrameAt(0.25);
  OnePole lp(6000);
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const float noise = lp.Step(static_cast<float>(rng.Range(-1, 1)));
    const float tone = static_cast<float>(std::sin(kTau * 190 * t) * std::exp(-t * 30));
    const float v = noise * static_cast<float>(std::exp(-t * 18)) * 0.8f + tone * 0.5f;
    out.Add(start + i, v * velocity * 0.7f, 0.1f);
  }
}

void HiHat(Audio& out, double t0, float velocity, Rng& rng, bool open) {
  const size_t start = FrameAt(t0);
  const double len = open ? 0.35 : 0.06;
  const size_t frames = FrameAt(len);
  OnePole lp(7000);
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const float noise = static_cast<float>(rng.Range(-1, 1));
    const float high = noise - lp.Step(noise);
    out.Add(start + i, high * static_cast<float>(std::exp(-t * (open ? 9 : 60))) * velocity * 0.35f,
            -0.3f);
  }
}

void Taiko(Audio& out, double t0, float velocity, Rng& rng, double pitch) {
  const size_t start = FrameAt(t0);
  const size_t frames = FrameAt(0.7);
  double phase = 0;
  OnePole lp(900);
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double f = pitch * (1 + 0.6 * std::exp(-t * 20));
    phase += f / kSampleRate;
    const float body = static_cast<float>(std::sin(kTau * phase) * std::exp(-t * 5.5));
    const float skin =
        lp.Step(static_cast<float>(rng.Range(-1, 1))) * static_cast<float>(std::exp(-t * 25));
    out.Add(start + i, (body + skin * 0.6f) * velocity, 0);
  }
}

void Shaker(Audio& out, double t0, float velocity, Rng& rng) {
  const size_t start = FrameAt(t0);
  const size_t frames = FrameAt(0.09);
  OnePole lp(4000);
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const float noise = static_cast<float>(rng.Range(-1, 1));
    const float env = static_cast<float>(std::min(1.0, t * 80) * std::exp(-t * 35));
    out.Add(start + i, (noise - lp.Step(noise)) * env * velocity * 0.3f, 0.35f);
  }
}
