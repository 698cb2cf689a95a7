// The music: six pieces with melody, harmony and rhythm, on a koto-like
// plucked string, flute, bells, pads, bass and drums. The stage and battle
// pieces loop without a seam; the credits piece plays once and ends.
//
// Scores are written bar by bar: a melody bar is "NOTE:BEATS ..." (a rest is
// "r:BEATS"); a drum bar is sixteen steps, one character each (k kick,
// s snare, h hat, o open hat, t taiko, T low taiko, x shaker, . nothing).
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/synth.h"

namespace {

const std::string kRoot = "Resource_Orvelune/Sound/BGM/";

struct Song {
  double bpm;
  int beatsPerBar = 4;
  std::vector<std::string> chords;  // one per bar
  double Beat() const { return 60.0 / bpm; }
  double Bar() const { return Beat() * beatsPerBar; }
  double Length() const { return Bar() * chords.size(); }
};

// Chord tones (MIDI, ascending from the root in the given octave).
std::vector<int> Chord(const std::string& symbol, int octave) {
  size_t i = 1;
  if (i < symbol.size() && (symbol[i] == '#' || symbol[i] == 'b')) ++i;
  const int root = ParseNote(symbol.substr(0, i) + std::to_string(octave));
  const std::string quality = symbol.substr(i);
  std::vector<int> steps = {0, 4, 7};
  if (quality.rfind("m7", 0) == 0)
    steps = {0, 3, 7, 10};
  else if (quality.rfind("m", 0) == 0)
    steps = {0, 3, 7};
  else if (quality == "7")
    steps = {0, 4, 7, 10};
  else if (quality == "maj7")
    steps = {0, 4, 7, 11};
  else if (quality == "sus4")
    steps = {0, 5, 7};
  else if (quality == "add9")
    steps = {0, 4, 7, 14};
  std::vector<int> notes;
  for (int s : steps) notes.push_back(root + s);
  return notes;
}

struct MelodyNote {
  int midi;
  double beats;
};

std::vector<MelodyNote> ParseBar(const std::string& bar) {
  std::vector<MelodyNote> notes;
  std::istringstream in(bar);
  std::string token;
  while (in >> token) {
    const size_t colon = token.find(':');
    const std::string name = token.substr(0, colon);
    const double beats = colon == std::string::npos ? 1.0 : std::atof(token.c_str() + colon + 1);
    notes.push_back({ParseNote(name), beats});
  }
  return notes;
}

enum class Voice { Flute, Bell, Pluck, MusicBox };

void PlayMelody(Audio& a, const Song& s, const std::vector<std::string>& bars, Voice voice,
                float velocity, float pan, Rng& rng, int transpose = 0, int startBar = 0) {
  for (size_t b = 0; b < bars.size(); ++b) {
    double t = (startBar + b) * s.Bar();
    for (const MelodyNote& n : ParseBar(bars[b])) {
      const double dur = n.beats * s.Beat();
      if (n.midi >= 0) {
        const Note note{t, static_cast<double>(n.midi + transpose), dur * 0.95, velocity, pan};
        switch (voice) {
          case Voice::Flute:
            Flute(a, note, rng);
            break;
          case Voice::Bell:
            Bell(a, note, 3.0f, 1.8f);
            break;
          case Voice::Pluck:
            PluckString(a, note, rng, 0.55f);
            break;
          case Voice::MusicBox:
            Bell(a, note, 7.0f, 0.9f);
            break;
        }
      }
      t += dur;
    }
  }
}

void PlayPads(Audio& a, const Song& s, int octave, float velocity, float cutoff = 1600) {
  for (size_t b = 0; b < s.chords.size(); ++b) {
    if (s.chords[b] == "-") continue;
    for (int n : Chord(s.chords[b], octave))
      Pad(a, {b * s.Bar(), static_cast<double>(n), s.Bar() * 0.98, velocity, (n % 3 - 1) * 0.3f},
          0.4f, 0.9f, cutoff);
  }
}

// Arpeggio: pattern of chord-tone indexes per step (-1 rests), steps per beat.
void PlayArpeggio(Audio& a, const Song& s, int octave, const std::vector<int>& pattern,
                  int stepsPerBeat, float velocity, float pan, Rng& rng, int fromBar = 0,
                  int toBar = 1 << 20) {
  const double step = s.Beat() / stepsPerBeat;
  const int stepsPerBar = s.beatsPerBar * stepsPerBeat;
  for (size_t b = static_cast<size_t>(fromBar); b < s.chords.size() && static_cast<int>(b) < toBar;
       ++b) {
    if (s.chords[b] == "-") continue;
    const std::vector<int> tones = Chord(s.chords[b], octave);
    for (int k = 0; k < stepsPerBar; ++k) {
      const int idx = pattern[k % pattern.size()];
      if (idx < 0) continue;
      const int n = tones[idx % tones.size()] + 12 * (idx / static_cast<int>(tones.size()));
      const float accent = k % stepsPerBeat == 0 ? 1.0f : 0.75f;
      PluckString(
          a, {b * s.Bar() + k * step, static_cast<double>(n), step * 1.6, velocity * accent, pan},
          rng, 0.5f);
    }
  }
}

// Bass: pattern of (chord tone index, beats) per bar.
void PlayBass(Audio& a, const Song& s, int octave,
              const std::vector<std::pair<int, double>>& pattern, float velocity, int fromBar = 0) {
  for (size_t b = static_cast<size_t>(fromBar); b < s.chords.size(); ++b) {
    if (s.chords[b] == "-") continue;
    const std::vector<int> tones = Chord(s.chords[b], octave);
    double t = b * s.Bar();
    for (const auto& [idx, beats] : pattern) {
      if (idx >= 0) {
        const int n = idx == 9 ? tones[0] + 12 : tones[idx % tones.size()];
        Bass(a, {t, static_cast<double>(n), beats * s.Beat() * 0.9, velocity, 0});
      }
      t += beats * s.Beat();
    }
  }
}

void PlayDrums(Audio& a, const Song& s, const std::vector<std::string>& bars, Rng& rng,
               float velocity, int fromBar = 0, int toBar = 1 << 20) {
  const double step = s.Bar() / 16;
  for (size_t b = static_cast<size_t>(fromBar); b < s.chords.size() && static_cast<int>(b) < toBar;
       ++b) {
    const std::string& pat = bars[b % bars.size()];
    for (size_t k = 0; k < pat.size() && k < 16; ++k) {
      const double t = b * s.Bar() + k * step;
      const float accent = k % 4 == 0 ? 1.0f : 0.8f;
      switch (pat[k]) {
        case 'k':
          Kick(a, t, 0.9f * velocity * accent);
          break;
        case 's':
          Snare(a, t, 0.7f * velocity, rng);
          break;
        case 'h':
          HiHat(a, t, 0.5f * velocity * accent, rng);
          break;
        case 'o':
          HiHat(a, t, 0.5f * velocity, rng, true);
          break;
        case 't':
          Taiko(a, t, 0.8f * velocity * accent, rng, 95);
          break;
        case 'T':
          Taiko(a, t, 0.9f * velocity, rng, 62);
          break;
        case 'x':
          Shaker(a, t, 0.6f * velocity * accent, rng);
          break;
        default:
          break;
      }
    }
  }
}

// Renders with a tail, adds the room, and folds the tail onto the start so
// the piece loops without a seam.
void FinishLoop(Audio& a, const Song& s, float reverb) {
  Reverb(a, reverb);
  FoldLoop(a, s.Length());
  HighPass(a, 30);
  Normalize(a, 0.85f);
}

Audio MainTheme() {
  // The stage: an unhurried walk along the river of stars. D major, 104 bpm.
  Song s{104,
         4,
         {"D", "Bm", "G", "A", "D", "Bm", "Em", "A", "G", "A", "F#m", "Bm", "G", "A", "D", "D"}};
  Audio a(s.Length() + 4);
  Rng rng(301);
  PlayPads(a, s, 4, 0.35f, 1300);
  PlayArpeggio(a, s, 4, {0, 1, 2, 3, 2, 1, 3, 1}, 2, 0.42f, 0.35f, rng);
  PlayBass(a, s, 2, {{0, 2}, {2, 1.5}, {0, 0.5}}, 0.55f);
  const std::vector<std::string> melody = {
      "A5:1.5 F#5:0.5 E5:1 D5:1",      "F#5:1 E5:0.5 D5:0.5 B4:2",
      "D5:1 E5:1 G5:1.5 F#5:0.5",      "E5:3 r:1",
      "A5:1.5 B5:0.5 A5:1 F#5:1",      "D6:1.5 B5:0.5 A5:2",
      "G5:1 F#5:0.5 E5:0.5 D5:1 E5:1", "E5:3 r:1",
      "D5:0.5 E5:0.5 G5:1 B5:1 A5:1",  "A5:1.5 G5:0.5 F#5:1 E5:1",
      "F#5:1 A5:1 C#6:1 B5:1",         "B5:3 r:1",
      "G5:1 B5:1 D6:1.5 B5:0.5",       "C#6:1 B5:0.5 A5:0.5 E5:2",
      "F#5:1 E5:0.5 F#5:0.5 D5:2",     "D5:2 r:2"};
  PlayMelody(a, s, melody, Voice::Flute, 0.55f, -0.15f, rng);
  PlayDrums(a, s, {"t...x.x.x...x.x.", "t...x.x.t.x.x.x."}, rng, 0.55f);
  FinishLoop(a, s, 0.35f);
  return a;
}

Audio NormalBattle() {
  // A boss battle: driving taiko and a bright koto riff. E minor, 140 bpm.
  Song s{140,
         4,
         {"Em", "C", "D", "B7", "Em", "C", "Am", "B7", "C", "D", "Em", "Em", "C", "D", "B7", "B7"}};
  Audio a(s.Length() + 3);
  Rng rng(311);
  PlayPads(a, s, 3, 0.28f, 1100);
  PlayArpeggio(a, s, 4, {0, 2, 1, 2, 3, 2, 1, 2}, 4, 0.34f, 0.4f, rng);
  PlayBass(a, s, 2,
           {{0, 0.5}, {0, 0.5}, {9, 0.5}, {0, 0.5}, {0, 0.5}, {2, 0.5}, {0, 0.5}, {1, 0.5}}, 0.6f);
  const std::vector<std::string> melody = {
      "E5:1 G5:0.5 A5:0.5 B5:1.5 A5:0.5",  "G5:1 E5:1 C5:1 E5:1",
      "F#5:0.5 G5:0.5 A5:1 D6:1.5 C6:0.5", "B5:3 D#5:1",
      "E5:1 G5:0.5 A5:0.5 B5:1.5 D6:0.5",  "E6:1 D6:0.5 C6:0.5 G5:2",
      "A5:1 C6:1 E6:1 D6:0.5 C6:0.5",      "B5:2 F#5:1 D#5:1",
      "E6:1.5 D6:0.5 C6:1 G5:1",           "F#5:1 A5:1 D6:2",
      "B5:1 G5:0.5 E5:0.5 G5:1 B5:1",      "E6:3 r:1",
      "C6:1 B5:0.5 A5:0.5 G5:1 E5:1",      "D6:1 C6:0.5 B5:0.5 A5:1 F#5:1",
      "B5:1 A5:0.5 G5:0.5 F#5:1 D#5:1",    "F#5:2 B5:2"};
  PlayMelody(a, s, melody, Voice::Bell, 0.6f, -0.2f, rng);
  PlayMelody(a, s, melody, Voice::Flute, 0.3f, 0.1f, rng, -12);
  PlayDrums(a, s, {"k.h.s.hkk.h.s.h.", "k.h.s.h.k.hks.ho", "T..t..t.T.t.t.t.", "k.h.s.hkk.h.s.tt"},
            rng, 0.7f);
  FinishLoop(a, s, 0.25f);
  return a;
}

Audio BossBattle() {
  // The final battle: D minor, 150 bpm, heavy drums and a dark choir pad.
  Song s{
      150,
      4,
      {"Dm", "Bb", "C", "A", "Dm", "Bb", "Gm", "A", "Bb", "C", "Dm", "Dm", "Gm", "Bb", "A", "A7"}};
  Audio a(s.Length() + 3);
  Rng rng(321);
  PlayPads(a, s, 3, 0.38f, 900);
  PlayPads(a, s, 4, 0.18f, 2200);
  PlayArpeggio(a, s, 3, {0, 0, 2, 0, 1, 0, 2, 1}, 4, 0.32f, 0.3f, rng);
  PlayBass(a, s, 1,
           {{0, 0.5}, {0, 0.5}, {0, 0.5}, {9, 0.5}, {0, 0.5}, {0, 0.5}, {2, 0.5}, {1, 0.5}}, 0.65f);
  const std::vector<std::string> melody = {"D5:1.5 F5:0.5 A5:1 G5:0.5 F5:0.5",
                                           "F5:1 D5:1 Bb4:2",
                                           "C5:1 E5:1 G5:1.5 F5:0.5",
                                           "E5:2 C#5:2",
                                           "D5:1 A5:1 D6:1.5 C6:0.5",
                                           "Bb5:1 A5:0.5 G5:0.5 F5:2",
                                           "G5:1 Bb5:1 D6:1 C6:0.5 Bb5:0.5",
                                           "A5:2 E5:1 C#5:1",
                                           "D6:1.5 C6:0.5 Bb5:1 F5:1",
                                           "G5:1 C6:1 E6:2",
                                           "F6:1 E6:0.5 D6:0.5 A5:1 F5:1",
                                           "D6:3 r:1",
                                           "G5:1 Bb5:0.5 D6:0.5 G6:1.5 F6:0.5",
                                           "F6:1 D6:1 Bb5:2",
                                           "A5:1 C#6:1 E6:1 G6:1",
                                           "A6:2 E6:1 C#6:1"};
  PlayMelody(a, s, melody, Voice::Bell, 0.6f, -0.15f, rng);
  PlayMelody(a, s, melody, Voice::Pluck, 0.45f, 0.2f, rng, -12);
  PlayDrums(a, s, {"k.hkskh.k.hksh.h", "kkh.skh.k.hksTTT", "k.hkskh.k.hksh.h", "T.t.T.t.TTt.sstt"},
            rng, 0.75f);
  FinishLoop(a, s, 0.22f);
  return a;
}

Audio OpeningTheme() {
  // The opening: a music box over soft strings. C major, 80 bpm.
  Song s{80, 4, {"C", "Am", "F", "G", "C", "Em", "F", "G", "Am", "F", "Gsus4", "C"}};
  Audio a(s.Length() + 5);
  Rng rng(331);
  PlayPads(a, s, 4, 0.35f, 1200);
  PlayArpeggio(a, s, 3, {0, 2, 1, 2}, 2, 0.3f, 0.3f, rng);
  PlayBass(a, s, 2, {{0, 4}}, 0.4f);
  const std::vector<std::string> melody = {
      "E5:1 G5:1 C6:1.5 B5:0.5", "A5:2 E5:2",      "F5:1 A5:1 C6:1 A5:1",          "G5:3 r:1",
      "E5:1 G5:1 C6:1 D6:1",     "B5:2 G5:2",      "A5:1 C6:1 F6:1 E6:0.5 D6:0.5", "D6:3 r:1",
      "C6:1 E6:1 A5:2",          "A5:1 C6:1 F5:2", "G5:1 C6:1 B5:1 D6:1",          "C6:4"};
  PlayMelody(a, s, melody, Voice::MusicBox, 0.7f, -0.2f, rng);
  PlayMelody(a, s, {"r:4", "r:4", "r:4", "r:4", "C5:2 E5:2", "G4:2 B4:2", "A4:2 C5:2", "B4:4"},
             Voice::Flute, 0.3f, 0.2f, rng);
  FinishLoop(a, s, 0.45f);
  return a;
}

Audio EndingTheme() {
  // The ending: warm and slow, the flute sings over the koto. F major, 76 bpm.
  Song s{76,
         4,
         {"F", "C", "Dm", "Bb", "F", "C", "Bb", "C", "Dm", "Am", "Bb", "F", "Gm", "C", "F", "F"}};
  Audio a(s.Length() + 5);
  Rng rng(341);
  PlayPads(a, s, 4, 0.38f, 1400);
  PlayArpeggio(a, s, 4, {0, 1, 2, 3, 2, 1, 2, 3}, 2, 0.3f, 0.35f, rng);
  PlayBass(a, s, 2, {{0, 3}, {2, 1}}, 0.45f);
  const std::vector<std::string> melody = {
      "C5:1.5 F5:0.5 A5:1 G5:1",      "G5:1 E5:1 C5:2",
      "D5:1 F5:1 A5:1.5 G5:0.5",      "F5:1 D5:1 Bb4:2",
      "C5:1.5 F5:0.5 A5:1 C6:1",      "C6:1 Bb5:0.5 A5:0.5 G5:2",
      "F5:1 D5:1 Bb5:1.5 A5:0.5",     "G5:3 r:1",
      "A5:1.5 Bb5:0.5 A5:1 F5:1",     "E5:1 C5:1 E5:2",
      "D5:1 F5:1 Bb5:1 D6:1",         "C6:2 A5:2",
      "Bb5:1 A5:0.5 G5:0.5 D5:2",     "E5:1 G5:1 C6:2",
      "A5:1 G5:0.5 F5:0.5 C5:1 A5:1", "F5:4"};
  PlayMelody(a, s, melody, Voice::Flute, 0.55f, -0.1f, rng);
  PlayMelody(
      a, s,
      {"r:4", "r:4", "r:4", "r:4", "r:4", "r:4", "r:4", "r:4", "F5:4", "E5:4", "D5:4", "C5:4"},
      Voice::Bell, 0.25f, 0.3f, rng);
  PlayDrums(a, s, {"T.......x...x...", "T.......x.x.x..."}, rng, 0.35f, 8);
  FinishLoop(a, s, 0.45f);
  return a;
}

Audio CreditTheme() {
  // The credits: bright and grateful, G major, 96 bpm; plays once and ends.
  Song s{96, 4, {"G", "D", "Em", "C", "G", "D", "C", "D", "Em", "C", "G", "D", "C", "G"}};
  Audio a(s.Length() + 4);
  Rng rng(351);
  PlayPads(a, s, 4, 0.32f, 1500);
  PlayArpeggio(a, s, 4, {0, 1, 2, 1, 3, 1, 2, 1}, 2, 0.36f, 0.35f, rng, 0, 13);
  PlayBass(a, s, 2, {{0, 1.5}, {0, 0.5}, {2, 1}, {1, 1}}, 0.5f);
  const std::vector<std::string> melody = {
      "B4:1 D5:1 G5:1.5 F#5:0.5",     "F#5:1 E5:1 D5:2",
      "E5:1 G5:1 B5:1.5 A5:0.5",      "G5:1 E5:1 C5:2",
      "D5:1 G5:1 B5:1 D6:1",          "C6:1 B5:0.5 A5:0.5 F#5:2",
      "E5:1 G5:1 C6:1.5 B5:0.5",      "A5:3 r:1",
      "B5:1.5 C6:0.5 B5:1 G5:1",      "E5:1 G5:1 C6:2",
      "B5:1 A5:0.5 G5:0.5 D5:1 G5:1", "A5:2 F#5:1 D5:1",
      "E5:1 G5:1 A5:1 F#5:1",         "G5:4"};
  PlayMelody(a, s, melody, Voice::Flute, 0.55f, -0.1f, rng);
  PlayMelody(a, s, melody, Voice::Bell, 0.22f, 0.25f, rng, 12, 0);
  PlayDrums(a, s, {"t...x.x.x.t.x.x.", "t...x.x.t.x.x.xx"}, rng, 0.45f, 0, 13);
  Reverb(a, 0.35f);
  a.Resize(s.Length() + 3);
  FadeOut(a, 3.0);
  HighPass(a, 30);
  Normalize(a, 0.85f);
  return a;
}

}  // namespace

void GenerateMusic(AssetSet& out) {
  out.Add(kRoot + "Main_BGM.wav", EncodeWav(MainTheme(), true));
  out.Add(kRoot + "Nomal_Battle.wav", EncodeWav(NormalBattle(), true));
  out.Add(kRoot + "Boss_Battle.wav", EncodeWav(BossBattle(), true));
  out.Add(kRoot + "Opening.wav", EncodeWav(OpeningTheme(), true));
  out.Add(kRoot + "Ending.wav", EncodeWav(EndingTheme(), true));
  out.Add(kRoot + "Credit.wav", EncodeWav(CreditTheme(), true));
}
