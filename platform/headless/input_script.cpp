#include "platform/headless/input_script.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

bool ParseInt(const std::string& s, long long lo, long long hi, long long* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(s.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
  *out = v;
  return true;
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

// The frame of "@FRAME", or of "@+DELTA" after the last one; an error text,
// empty when the frame was read.
std::string ReadFrame(const std::string& word, int64_t lastFrame, long long* frame) {
  if (word[0] != '@') return "a command starts with @FRAME";
  const std::string f = word.substr(1);
  if (!f.empty() && f[0] == '+') {
    long long delta;
    if (!ParseInt(f.substr(1), 0, 100000000, &delta)) return "bad relative frame";
    *frame = lastFrame + delta;
    if (*frame > kMaxScriptFrame) return "bad frame number (past the last frame a script can name)";
  } else if (!ParseInt(f, 0, kMaxScriptFrame, frame)) {
    return "bad frame number";
  }
  return "";
}

bool KeyCode(const std::string& n, int* code) {
  *code = DikFromName(n.c_str());
  return *code > 0;
}

bool ButtonBit(const std::string& n, int* bit) {
  *bit = PadButtonFromName(n.c_str());
  return *bit != 0;
}

// "down" or "up" as the given kinds; false for another word.
bool ReadState(const std::string& w, InputEvent::Kind down, InputEvent::Kind up,
               InputEvent::Kind* kind) {
  if (w != "down" && w != "up") return false;
  *kind = w == "down" ? down : up;
  return true;
}

// The words after the frame of a press (key or pad button held for a number
// of frames): its down and its up event. An error text, empty on success.
std::string ReadPress(const std::vector<std::string>& w, bool pad, InputEvent e,
                      std::vector<InputEvent>* events) {
  long long hold = 1;
  if (w.size() < 3 || w.size() > 4 || !(pad ? ButtonBit(w[2], &e.code) : KeyCode(w[2], &e.code)) ||
      (w.size() == 4 && !ParseInt(w[3], 1, 100000000, &hold)))
    return pad ? "usage: padpress BUTTON [FRAMES]" : "usage: press NAME [FRAMES]";
  if (e.frame + hold > kMaxScriptFrame)
    return pad ? "the button is let go past the last frame a script can name"
               : "the key is let go past the last frame a script can name";
  e.kind = pad ? InputEvent::Kind::PadDown : InputEvent::Kind::KeyDown;
  events->push_back(e);
  e.kind = pad ? InputEvent::Kind::PadUp : InputEvent::Kind::KeyUp;
  e.frame += hold;
  events->push_back(e);
  return "";
}

// A stick's or a trigger's command: which side, and its value or values.
std::string ReadAxis(const std::vector<std::string>& w, InputEvent e,
                     std::vector<InputEvent>* events) {
  const bool stick = w[1] == "stick";
  long long x = 0, y = 0;
  const bool side = w.size() == (stick ? 5u : 4u) && (w[2] == "L" || w[2] == "R");
  if (stick && !(side && ParseInt(w[3], -32768, 32767, &x) && ParseInt(w[4], -32768, 32767, &y)))
    return "usage: stick L|R X Y (each -32768..32767)";
  if (!stick && !(side && ParseInt(w[3], 0, 255, &x))) return "usage: trigger L|R VALUE (0..255)";
  e.kind = stick ? InputEvent::Kind::Stick : InputEvent::Kind::Trigger;
  e.code = w[2] == "R" ? 1 : 0;
  e.x = static_cast<int>(x);
  e.y = static_cast<int>(y);
  events->push_back(e);
  return "";
}

// One command (the words after "@FRAME") into the script's events or hash
// checks. An error text, empty on success.
std::string ReadCommand(const std::vector<std::string>& w, long long frame,
                        std::vector<InputEvent>* events, std::vector<HashCheck>* hashes) {
  const std::string& cmd = w[1];
  InputEvent e;
  e.frame = frame;
  if (cmd == "key" || cmd == "pad") {
    const bool pad = cmd == "pad";
    if (pad && w.size() == 3 && (w[2] == "connect" || w[2] == "disconnect")) {
      e.kind = w[2] == "connect" ? InputEvent::Kind::PadConnect : InputEvent::Kind::PadDisconnect;
      events->push_back(e);
      return "";
    }
    if (w.size() != 4 || !(pad ? ButtonBit(w[2], &e.code) : KeyCode(w[2], &e.code)))
      return pad ? "usage: pad BUTTON down|up" : "usage: key NAME down|up";
    const bool read =
        pad ? ReadState(w[3], InputEvent::Kind::PadDown, InputEvent::Kind::PadUp, &e.kind)
            : ReadState(w[3], InputEvent::Kind::KeyDown, InputEvent::Kind::KeyUp, &e.kind);
    if (!read) return pad ? "button state must be down or up" : "key state must be down or up";
    events->push_back(e);
    return "";
  }
  if (cmd == "press" || cmd == "padpress") return ReadPress(w, cmd == "padpress", e, events);
  if (cmd == "stick" || cmd == "trigger") return ReadAxis(w, e, events);
  if (cmd == "quit") {
    if (w.size() != 2) return "usage: quit";
    e.kind = InputEvent::Kind::Quit;
    events->push_back(e);
    return "";
  }
  if (cmd == "hash") {
    if (w.size() != 3 || w[2].size() != 16 ||
        w[2].find_first_not_of("0123456789abcdef") != std::string::npos)
      return "usage: hash 16-HEX-DIGITS";
    hashes->push_back({frame, std::strtoull(w[2].c_str(), nullptr, 16)});
    return "";
  }
  return "unknown command \"" + cmd + "\"";
}

}  // namespace

bool InputScript::Parse(const std::string& text, const std::string& name, std::string* error) {
  events.clear();
  hashes.clear();
  seed.reset();
  std::istringstream in(text);
  std::string line;
  int lineNo = 0;
  int64_t lastFrame = 0;
  auto fail = [&](const std::string& what) {
    *error = name + ":" + std::to_string(lineNo) + ": " + what;
    return false;
  };
  while (std::getline(in, line)) {
    ++lineNo;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::vector<std::string> w = Split(line);
    if (w.empty()) continue;
    if (w[0] == "seed") {
      long long v;
      if (w.size() != 2 || !ParseInt(w[1], 0, 0xFFFFFFFFll, &v)) return fail("seed needs a number");
      seed = static_cast<uint32_t>(v);
      continue;
    }
    long long frame = 0;
    std::string why = ReadFrame(w[0], lastFrame, &frame);
    if (!why.empty()) return fail(why);
    lastFrame = frame;
    if (w.size() < 2) return fail("missing command");
    why = ReadCommand(w, frame, &events, &hashes);
    if (!why.empty()) return fail(why);
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const InputEvent& a, const InputEvent& b) { return a.frame < b.frame; });
  std::stable_sort(hashes.begin(), hashes.end(),
                   [](const HashCheck& a, const HashCheck& b) { return a.frame < b.frame; });
  return true;
}

bool InputScript::Load(const std::string& path, std::string* error) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    *error = "cannot read input script " + path +
             (std::filesystem::exists(path, ec) ? ": not a file" : ": no such file");
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot open input script " + path;
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return Parse(text.str(), path, error);
}

std::string InputScript::Write() const {
  std::ostringstream out;
  out << "# Orvelune input script\n";
  if (seed) out << "seed " << *seed << "\n";
  // Interleave events and hashes in frame order.
  size_t h = 0;
  auto flushHashes = [&](int64_t upTo) {
    for (; h < hashes.size() && hashes[h].frame <= upTo; ++h) {
      char buf[64];
      std::snprintf(buf, sizeof buf, "@%" PRId64 " hash %016" PRIx64 "\n", hashes[h].frame,
                    hashes[h].hash);
      out << buf;
    }
  };
  for (const InputEvent& e : events) {
    flushHashes(e.frame - 1);
    out << "@" << e.frame << " ";
    switch (e.kind) {
      case InputEvent::Kind::KeyDown:
        out << "key " << DikName(e.code) << " down";
        break;
      case InputEvent::Kind::KeyUp:
        out << "key " << DikName(e.code) << " up";
        break;
      case InputEvent::Kind::PadDown:
        out << "pad " << PadButtonName(static_cast<uint16_t>(e.code)) << " down";
        break;
      case InputEvent::Kind::PadUp:
        out << "pad " << PadButtonName(static_cast<uint16_t>(e.code)) << " up";
        break;
      case InputEvent::Kind::Stick:
        out << "stick " << (e.code ? "R" : "L") << " " << e.x << " " << e.y;
        break;
      case InputEvent::Kind::Trigger:
        out << "trigger " << (e.code ? "R" : "L") << " " << e.x;
        break;
      case InputEvent::Kind::PadConnect:
        out << "pad connect";
        break;
      case InputEvent::Kind::PadDisconnect:
        out << "pad disconnect";
        break;
      case InputEvent::Kind::Quit:
        out << "quit";
        break;
    }
    out << "\n";
  }
  flushHashes(INT64_MAX);
  return out.str();
}

void InputScriptRecorder::RecordFrame(int64_t frame, const uint8_t keys[256], bool padConnected,
                                      const XINPUT_GAMEPAD& pad) {
  auto& ev = script_.events;
  for (int k = 0; k < 256; ++k) {
    const bool now = (keys[k] & 0x80) != 0, before = (keys_[k] & 0x80) != 0;
    if (now != before && DikName(k))
      ev.push_back({frame, now ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp, k, 0, 0});
  }
  std::memcpy(keys_, keys, 256);
  if (padConnected != connected_) {
    ev.push_back({frame,
                  padConnected ? InputEvent::Kind::PadConnect : InputEvent::Kind::PadDisconnect, 0,
                  0, 0});
    connected_ = padConnected;
  }
  if (!padConnected) return;
  for (int bit = 0; bit < 16; ++bit) {
    const uint16_t b = static_cast<uint16_t>(1u << bit);
    if (!PadButtonName(b)) continue;
    const bool now = (pad.wButtons & b) != 0, before = (pad_.wButtons & b) != 0;
    if (now != before)
      ev.push_back({frame, now ? InputEvent::Kind::PadDown : InputEvent::Kind::PadUp, b, 0, 0});
  }
  if (pad.sThumbLX != pad_.sThumbLX || pad.sThumbLY != pad_.sThumbLY)
    ev.push_back({frame, InputEvent::Kind::Stick, 0, pad.sThumbLX, pad.sThumbLY});
  if (pad.sThumbRX != pad_.sThumbRX || pad.sThumbRY != pad_.sThumbRY)
    ev.push_back({frame, InputEvent::Kind::Stick, 1, pad.sThumbRX, pad.sThumbRY});
  if (pad.bLeftTrigger != pad_.bLeftTrigger)
    ev.push_back({frame, InputEvent::Kind::Trigger, 0, pad.bLeftTrigger, 0});
  if (pad.bRightTrigger != pad_.bRightTrigger)
    ev.push_back({frame, InputEvent::Kind::Trigger, 1, pad.bRightTrigger, 0});
  pad_ = pad;
}
