// The sound effects: short synthesized sounds that fit their names. Those the
// game loops (the river, the flip's hum, the charge, the pouring fish, the
// boss's rush) loop without a seam.
#include <cmath>
#include <functional>
#include <string>

#include "base/math.h"
#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/synth.h"

namespace {

constexpr double kTau = 6.283185307179586;
const std::string kRoot = "Resource_Orvelune/Sound/SE/";

// Renders a mono effect from a per-sample function of time.
Audio Render(double seconds, const std::function<float(double t, Rng& rng)>& f, uint64_t seed) {
  Audio a(seconds);
  Rng rng(seed);
  for (size_t i = 0; i < a.Frames(); ++i) {
    const float v = f(static_cast<double>(i) / kSampleRate, rng);
    a.left[i] = v;
    a.right[i] = v;
  }
  return a;
}

float Env(double t, double attack, double decayRate) {
  return static_cast<float>(std::min(1.0, t / attack) * std::exp(-t * decayRate));
}

// A sine sweep from f0 to f1 (exponential) with its own phase.
struct Sweep {
  double phase = 0;
  float Step(double t, double length, double f0, double f1) {
    const double f = f0 * std::pow(f1 / f0, std::min(1.0, t / length));
    phase += f / kSampleRate;
    return static_cast<float>(std::sin(kTau * phase));
  }
};

struct Lp {
  float z = 0;
  float Step(float x, float cutoff) {
    const float a = 1.0f - std::exp(-6.2831853f * cutoff / kSampleRate);
    return z += a * (x - z);
  }
};

void Save(AssetSet& out, const std::string& name, Audio a, float peak = 0.85f) {
  Normalize(a, peak);
  out.Add(kRoot + name, EncodeWav(a, false));
}

Audio Chime(const std::vector<int>& notes, double gap, double tail, float ratio = 3.5f) {
  Audio a(gap * notes.size() + tail);
  for (size_t k = 0; k < notes.size(); ++k)
    Bell(a, {gap * k, static_cast<double>(notes[k]), 0.1, 0.8f, 0}, ratio, 2.0f);
  return a;
}

Audio RiverAmbience() {
  // Slow swells of filtered noise with soft chimes now and then; 16 s loop.
  const double length = 16.0;
  Rng rng(5);
  Audio a(length + 3);
  Lp lp1, lp2;
  for (size_t i = 0; i < a.Frames(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const float swell = 0.55f + 0.45f * static_cast<float>(std::sin(kTau * t / 8.0) * 0.6 +
                                                           std::sin(kTau * t / 5.33 + 1) * 0.4);
    const float n = static_cast<float>(rng.Range(-1, 1));
    const float water = lp1.Step(n, 500 + 300 * swell) - lp2.Step(n, 120);
    a.left[i] = water * swell * 0.9f;
    a.right[i] = a.left[i];
  }
  const int pent[5] = {74, 76, 79, 81, 83};
  for (int k = 0; k < 10; ++k) {
    const double t = 0.7 + k * 1.55 + rng.Range(0, 0.4);
    Bell(a,
         {t, static_cast<double>(pent[rng.Int(0, 4)] + (rng.Uniform() < 0.3 ? 12 : 0)), 0.1, 0.18f,
          0},
         4.0f, 1.5f);
  }
  Reverb(a, 0.35f);
  FoldLoop(a, length);
  return a;
}

}  // namespace

void GenerateSounds(AssetSet& out) {
  Save(out, "Wave.wav", RiverAmbience(), 0.5f);

  Save(out, "BigWave.wav",
       Render(
           2.2,
           [](double t, Rng& r) {
             static Lp lp;
             const float n = lp.Step(static_cast<float>(r.Range(-1, 1)),
                                     static_cast<float>(300 + 2500 * std::exp(-t * 2)));
             const float rumble = static_cast<float>(std::sin(kTau * 45 * t) * 0.5);
             return (n * 1.4f + rumble * 0.4f) *
                    static_cast<float>(std::min(1.0, t / 0.3) * std::exp(-t * 1.4));
           },
           11));

  {
    Sweep s;
    Save(out, "Water_Fall.wav",
         Render(
             1.3,
             [&](double t, Rng& r) {
               const float whistle =
                   s.Step(t, 0.6, 900, 180) * Env(t, 0.01, 3) * (t < 0.6 ? 1.0f : 0.0f);
               static Lp lp;
               const float splash = t > 0.55 ? lp.Step(static_cast<float>(r.Range(-1, 1)), 1800) *
                                                   Env(t - 0.55, 0.01, 4.5)
                                             : 0.0f;
               return whistle * 0.5f + splash * 1.6f;
             },
             12));
  }

  Save(out, "Wallow.wav",
       Render(
           1.5,
           [](double t, Rng& r) {
             // Bubbles: short rising blips at random moments.
             static double next = 0, start = -1, freq = 300, phase = 0;
             if (t >= next) {
               start = t;
               freq = r.Range(180, 420);
               next = t + r.Range(0.05, 0.16);
             }
             const double bt = t - start;
             phase += freq * (1 + bt * 6) / kSampleRate;
             return static_cast<float>(std::sin(kTau * phase) * std::exp(-bt * 25)) *
                    static_cast<float>(std::exp(-t * 1.2));
           },
           13));

  Save(out, "MoveDoor.wav",
       Render(
           1.6,
           [](double t, Rng& r) {
             static Lp lp;
             const float grind = lp.Step(static_cast<float>(r.Range(-1, 1)), 260) * 2.5f;
             const float creak =
                 static_cast<float>(std::sin(kTau * (110 + 25 * std::sin(kTau * 3 * t)) * t) * 0.3);
             return (grind + creak) * Env(t, 0.08, 1.2);
           },
           14));

  Save(out, "CloseDoor.wav",
       Render(
           0.7,
           [](double t, Rng& r) {
             static Lp lp;
             const float thud =
                 static_cast<float>(std::sin(kTau * (70 + 60 * std::exp(-t * 30)) * t)) *
                 Env(t, 0.002, 9);
             const float knock =
                 lp.Step(static_cast<float>(r.Range(-1, 1)), 900) * Env(t, 0.001, 25);
             return thud + knock * 1.5f;
           },
           15));

  Save(out, "GetItem.wav", Chime({79, 83, 86, 91}, 0.06, 0.5, 3.0f));

  {
    Sweep s;
    Save(out, "Up.wav",
         Render(
             0.55,
             [&](double t, Rng& r) {
               static Lp lp;
               const float air =
                   lp.Step(static_cast<float>(r.Range(-1, 1)), static_cast<float>(600 + 3000 * t));
               return (s.Step(t, 0.55, 300, 1100) * 0.35f + air * 0.9f) * Env(t, 0.05, 3.5);
             },
             16));
  }

  {
    // A smooth whirring hum that loops every 0.8 s.
    Audio a = Render(
        0.8,
        [](double t, Rng&) {
          const double wob = 1 + 0.04 * std::sin(kTau * 2.5 * t);
          return static_cast<float>(std::sin(kTau * 150 * wob * t) * 0.5 +
                                    std::sin(kTau * 300 * t) * 0.2 +
                                    std::sin(kTau * 450 * t) * 0.08);
        },
        17);
    Save(out, "Rotate.wav", a, 0.6f);
  }

  Save(out, "Set.wav",
       Render(
           0.3,
           [](double t, Rng&) {
             return static_cast<float>(std::sin(kTau * 880 * t) * 0.6 +
                                       std::sin(kTau * 1320 * t) * 0.3) *
                    Env(t, 0.003, 14);
           },
           18),
       0.7f);

  Save(out, "HitGround.wav",
       Render(
           0.35,
           [](double t, Rng& r) {
             static Lp lp;
             return static_cast<float>(std::sin(kTau * (60 + 80 * std::exp(-t * 40)) * t)) *
                        Env(t, 0.002, 12) +
                    lp.Step(static_cast<float>(r.Range(-1, 1)), 1200) * Env(t, 0.001, 30);
           },
           19));

  {
    Sweep s;
    Save(out, "Jump.wav",
         Render(
             0.28, [&](double t, Rng&) { return s.Step(t, 0.2, 250, 700) * Env(t, 0.005, 9); }, 20),
         0.6f);
  }

  {
    // A short fanfare: rising arpeggio and a held chord.
    Audio a(2.6);
    Rng rng(21);
    const int notes[6] = {67, 72, 76, 79, 84, 88};
    for (int k = 0; k < 6; ++k)
      Bell(a, {k * 0.09, static_cast<double>(notes[k]), 0.1, 0.7f, 0}, 2.0f, 1.5f);
    for (int n : {72, 76, 79, 84})
      Pad(a, {0.55, static_cast<double>(n), 1.2, 0.6f, 0}, 0.05f, 0.8f, 3000);
    for (int n : {72, 79}) PluckString(a, {0.55, static_cast<double>(n), 1.0, 0.7f, 0}, rng, 0.7f);
    Reverb(a, 0.3f);
    Save(out, "Clear.wav", a);
  }

  {
    Audio a(2.4);
    Rng rng(22);
    const int notes[4] = {72, 70, 67, 63};
    for (int k = 0; k < 4; ++k)
      PluckString(a, {k * 0.32, static_cast<double>(notes[k]), 0.5, 0.8f, 0}, rng, 0.4f);
    Pad(a, {1.28, 60, 0.9, 0.5f, 0}, 0.05f, 0.8f, 1200);
    Pad(a, {1.28, 63, 0.9, 0.5f, 0}, 0.05f, 0.8f, 1200);
    Reverb(a, 0.3f);
    Save(out, "Gameover.wav", a);
  }

  Save(out, "Select.wav",
       Render(
           0.09,
           [](double t, Rng&) {
             return static_cast<float>(std::sin(kTau * 1500 * t)) * Env(t, 0.002, 45);
           },
           23),
       0.55f);

  Save(out, "Select_End.wav", Chime({84, 91}, 0.07, 0.5, 2.0f), 0.75f);

  Save(out, "Hit.wav",
       Render(
           0.45,
           [](double t, Rng& r) {
             static Lp lp;
             const float spark = static_cast<float>(std::sin(kTau * 1800 * t) * std::exp(-t * 18));
             const float crack =
                 lp.Step(static_cast<float>(r.Range(-1, 1)), 4000) * Env(t, 0.001, 22);
             const float body =
                 static_cast<float>(std::sin(kTau * (120 + 200 * std::exp(-t * 30)) * t)) *
                 Env(t, 0.001, 12);
             return spark * 0.4f + crack + body * 0.8f;
           },
           24));

  Save(out, "Chara_Hit.wav",
       Render(
           0.32,
           [](double t, Rng& r) {
             static Lp lp;
             return static_cast<float>(std::sin(kTau * (90 + 140 * std::exp(-t * 25)) * t)) *
                        Env(t, 0.001, 14) +
                    lp.Step(static_cast<float>(r.Range(-1, 1)), 2200) * Env(t, 0.001, 28) * 1.2f;
           },
           25));

  Save(out, "Break.wav",
       Render(
           1.1,
           [](double t, Rng& r) {
             // Crumbling: many small knocks thinning out.
             static Lp lp;
             const float density = static_cast<float>(std::exp(-t * 3));
             const float crackle =
                 r.Uniform() < 0.02 * density * 8 ? static_cast<float>(r.Range(-1, 1)) : 0.0f;
             const float rumble =
                 lp.Step(static_cast<float>(r.Range(-1, 1)), 400) * Env(t, 0.005, 3.5);
             return crackle * 2.0f + rumble * 1.8f;
           },
           26));

  Save(out, "Rota_Wall.wav",
       Render(
           1.0,
           [](double t, Rng& r) {
             static Lp lp;
             const float grind = lp.Step(static_cast<float>(r.Range(-1, 1)), 350) * 2.2f;
             const float turn = static_cast<float>(std::sin(kTau * (80 + 40 * t) * t) * 0.4);
             return (grind + turn) * Env(t, 0.02, 2.2);
           },
           27));

  Save(out, "Quake.wav",
       Render(
           0.9,
           [](double t, Rng& r) {
             static Lp lp;
             return lp.Step(static_cast<float>(r.Range(-1, 1)), 150) * 3.0f * Env(t, 0.01, 3.5) +
                    static_cast<float>(std::sin(kTau * 38 * t)) * Env(t, 0.01, 4);
           },
           28));

  Save(out, "Boss_Hit.wav",
       Render(
           0.45,
           [](double t, Rng& r) {
             static Lp lp;
             return static_cast<float>(std::sin(kTau * (55 + 120 * std::exp(-t * 20)) * t)) *
                        Env(t, 0.001, 8) +
                    lp.Step(static_cast<float>(r.Range(-1, 1)), 1500) * Env(t, 0.001, 20);
           },
           29));

  Save(out, "Throw.wav",
       Render(
           0.4,
           [](double t, Rng& r) {
             static Lp lp;
             const float cutoff =
                 static_cast<float>(500 + 4000 * std::sin(kPi * std::min(1.0, t / 0.4)));
             return lp.Step(static_cast<float>(r.Range(-1, 1)), cutoff) *
                    static_cast<float>(std::sin(kPi * std::min(1.0, t / 0.4)));
           },
           30));

  Save(out, "System.wav",
       Render(
           0.14,
           [](double t, Rng&) {
             return static_cast<float>(std::sin(kTau * 1175 * t) * 0.6 +
                                       std::sin(kTau * 2350 * t) * 0.2) *
                    Env(t, 0.002, 30);
           },
           31),
       0.55f);

  {
    // The charge: a shimmering hum that loops every second.
    Audio a = Render(
        1.0,
        [](double t, Rng&) {
          return static_cast<float>(
              std::sin(kTau * 220 * t) * 0.4 + std::sin(kTau * 330 * t) * 0.25 +
              std::sin(kTau * 440 * t) * (0.2 + 0.15 * std::sin(kTau * 6 * t)) +
              std::sin(kTau * 880 * t) * 0.08 * (1 + std::sin(kTau * 2 * t)));
        },
        32);
    Save(out, "Charge.wav", a, 0.55f);
  }

  Save(out, "StarScall.wav", Chime({88, 91, 95, 100, 103}, 0.045, 0.5, 4.0f), 0.7f);

  Save(out, "Miss.wav",
       Render(
           0.45,
           [](double t, Rng&) {
             const double f = t < 0.2 ? 220 : 180;
             return static_cast<float>((std::fmod(f * t, 1.0) < 0.5 ? 1 : -1) * 0.35) *
                    Env(t, 0.005, 5);
           },
           33),
       0.6f);

  Save(out, "Rush.wav",
       Render(
           0.7,
           [](double t, Rng& r) {
             static Lp lp;
             return lp.Step(static_cast<float>(r.Range(-1, 1)),
                            static_cast<float>(800 + 1500 * t)) *
                    1.6f * Env(t, 0.08, 3);
           },
           34));

  {
    // A bubbly "plip": loops as the jar pours fish.
    Sweep s;
    Audio a = Render(
        0.32,
        [&](double t, Rng& r) {
          static Lp lp;
          const float drop = s.Step(t, 0.08, 500, 1400) * Env(t, 0.002, 28);
          const float splash =
              lp.Step(static_cast<float>(r.Range(-1, 1)), 2500) * Env(t, 0.002, 40) * 0.5f;
          return drop + splash;
        },
        35);
    Save(out, "Fish.wav", a, 0.6f);
  }

  {
    // The boss's rush: a rumbling engine that loops every second.
    Audio a = Render(
        1.0,
        [](double t, Rng&) {
          return static_cast<float>(std::sin(kTau * 55 * t) * 0.5 +
                                    std::sin(kTau * 110 * t) * 0.25 +
                                    std::sin(kTau * 165 * t) * 0.12) *
                 static_cast<float>(0.8 + 0.2 * std::sin(kTau * 8 * t));
        },
        36);
    Save(out, "BossRush.wav", a, 0.55f);
  }

  Save(out, "HandHit.wav",
       Render(
           0.6,
           [](double t, Rng& r) {
             static Lp lp;
             return static_cast<float>(std::sin(kTau * (40 + 90 * std::exp(-t * 15)) * t)) *
                        Env(t, 0.001, 6) +
                    lp.Step(static_cast<float>(r.Range(-1, 1)), 700) * Env(t, 0.001, 10) * 1.5f;
           },
           37));

  Save(out, "Tornado.wav",
       Render(
           1.6,
           [](double t, Rng& r) {
             static Lp lp;
             const float whirl = static_cast<float>(600 + 500 * std::sin(kTau * 3 * t));
             return lp.Step(static_cast<float>(r.Range(-1, 1)), whirl) * 1.8f * Env(t, 0.2, 1.5);
           },
           38));

  Save(out, "Devide.wav",
       Render(
           0.6,
           [](double t, Rng& r) {
             static Lp lp;
             const float crack =
                 lp.Step(static_cast<float>(r.Range(-1, 1)), 5000) * Env(t, 0.001, 14);
             return crack * 1.4f +
                    static_cast<float>(std::sin(kTau * (90 + 300 * std::exp(-t * 40)) * t)) *
                        Env(t, 0.001, 9);
           },
           39));
}
