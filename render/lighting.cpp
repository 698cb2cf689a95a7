#include "render/lighting.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "base/atomic_file.h"
#include "base/report_error.h"
#include "base/user_dirs.h"
#include "platform/graphics.h"
#include "render/constants.h"

namespace {

constexpr size_t kLineLimit = 127;
// Written values stay within this range: a line of four of them always fits
// the 127 characters the reader keeps (a light never needs more).
constexpr float kValueLimit = 1e6f;

float Writable(float v) {
  if (!(v == v)) return 0;  // not a number
  return v < -kValueLimit ? -kValueLimit : v > kValueLimit ? kValueLimit : v;
}

// One line of a light file as the reader keeps it: at most 127 characters
// (the rest of a longer line is dropped), ending in a NUL so that the number
// reader stops where the kept line does.
struct Line {
  char text[kLineLimit + 1];
  size_t size;
};

// The line that starts at pos, and where the next one starts.
size_t ReadLine(const std::string& text, size_t pos, Line* line) {
  const size_t nl = text.find('\n', pos);
  const size_t end = nl == std::string::npos ? text.size() : nl + 1;
  line->size = std::min(end - pos, kLineLimit);
  std::memcpy(line->text, text.data() + pos, line->size);
  line->text[line->size] = '\0';
  return end;
}

// Reads up to N comma-separated numbers; values that are missing (fewer
// commas than the row needs) read as 0 rather than running past the line.
template <size_t N>
std::array<float, N> Numbers(const Line& line) {
  std::array<float, N> values{};
  const char* const end = line.text + line.size;
  const char* at = line.text;
  for (size_t i = 0; i < N && at < end; ++i) {
    values[i] = static_cast<float>(std::atof(at));
    const char* comma =
        at + 1 < end ? static_cast<const char*>(std::memchr(at + 1, ',', end - at - 1)) : nullptr;
    if (!comma) break;
    at = comma + 1;
  }
  return values;
}

D3DCOLORVALUE Colour(const Line& line) {
  const std::array<float, 4> v = Numbers<4>(line);
  return {v[1], v[2], v[3], v[0]};  // the file writes alpha first
}

Vec3 Triple(const Line& line) {
  const std::array<float, 3> v = Numbers<3>(line);
  return {v[0], v[1], v[2]};
}

bool ReadText(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *text = s.str();
  return true;
}

void PutOnDevice(const std::vector<LightEntry>& list, bool disableFirst) {
  GraphicsDevice* d = GetDevice();
  if (!d) return;
  for (size_t i = 0; i < list.size() && i < 8; ++i) {
    if (disableFirst) d->LightEnable(static_cast<uint32_t>(i), false);
    d->SetLight(static_cast<uint32_t>(i), list[i].light);
    d->LightEnable(static_cast<uint32_t>(i), list[i].enabled != 0);
  }
}

}  // namespace

D3DVECTOR LightDirection(const Vec3& r) {
  const Matrix m = MatrixRotationX(r.x * kDegToRad) * MatrixRotationY(r.y * kDegToRad) *
                   MatrixRotationZ(r.z * kDegToRad);
  const Vec3 d = Vec3TransformNormal({1, 1, 1}, m);
  return {d.x, d.y, d.z};
}

std::vector<LightEntry> ParseLightText(const std::string& text) {
  // Eight lines make an entry: name, on/off, type, position, rotation, then
  // the ambient, specular and diffuse colours. A short last entry keeps what
  // it has and reads the rest as 0.
  std::vector<LightEntry> entries;
  size_t pos = 0;
  Line line;
  while (pos < text.size()) {
    LightEntry e;
    pos = ReadLine(text, pos, &line);
    e.name.assign(line.text, line.size);
    for (int k = 1; k < 8 && pos < text.size(); ++k) {
      pos = ReadLine(text, pos, &line);
      switch (k) {
        case 1:
          e.enabled = std::atoi(line.text);
          break;
        case 2:
          e.light.Type = line.text[0] == 'D'   ? D3DLIGHT_DIRECTIONAL
                         : line.text[0] == 'P' ? D3DLIGHT_POINT
                         : line.text[0] == 'S' ? D3DLIGHT_SPOT
                                               : 0;
          break;
        case 3: {
          const Vec3 p = Triple(line);
          e.light.Position = {p.x, p.y, p.z};
          break;
        }
        case 4:
          e.rotation = Triple(line);
          break;
        case 5:
          e.light.Ambient = Colour(line);
          break;
        case 6:
          e.light.Specular = Colour(line);
          break;
        default:
          e.light.Diffuse = Colour(line);
          break;
      }
    }
    e.light.Direction = LightDirection(e.rotation);
    entries.push_back(e);
  }
  return entries;
}

std::string FormatLightText(const std::vector<LightEntry>& entries) {
  std::string out;
  char buf[256];
  for (const LightEntry& e : entries) {
    out += e.name;
    if (out.empty() || out.back() != '\n') out += '\n';  // never run into the next line
    std::snprintf(buf, sizeof buf, "%d\n", e.enabled);
    out += buf;
    switch (e.light.Type) {
      case D3DLIGHT_DIRECTIONAL:
        out += "D";
        break;
      case D3DLIGHT_SPOT:
        out += "S";
        break;
      case D3DLIGHT_POINT:
        out += "P";
        break;
      default:
        break;
    }
    out += "\n";
    std::snprintf(buf, sizeof buf, "%f,%f,%f\n", Writable(e.light.Position.x),
                  Writable(e.light.Position.y), Writable(e.light.Position.z));
    out += buf;
    std::snprintf(buf, sizeof buf, "%f,%f,%f\n", Writable(e.rotation.x), Writable(e.rotation.y),
                  Writable(e.rotation.z));
    out += buf;
    for (const D3DCOLORVALUE* c : {&e.light.Ambient, &e.light.Specular, &e.light.Diffuse}) {
      std::snprintf(buf, sizeof buf, "%f,%f,%f,%f\n", Writable(c->a), Writable(c->r),
                    Writable(c->g), Writable(c->b));
      out += buf;
    }
  }
  return out;
}

namespace {

bool Exists(const std::string& path) {
  return ::access(path.c_str(), F_OK) == 0;
}

// True when the file can be replaced where it is: its folder takes new
// files, and the file itself (when there) is not read-only.
bool ReplaceableInPlace(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  if (::access(folder.c_str(), W_OK) != 0) return false;
  return !Exists(path) || ::access(path.c_str(), W_OK) == 0;
}
}  // namespace

std::string Light::ReadPath(const std::string& path) const {
  if (userFolder_.empty()) return path;
  const std::string user = userFolder_ + "/" + path;
  return Exists(user) ? user : path;
}

std::string Light::WritePath(const std::string& path) const {
  if (userFolder_.empty()) return path;
  const std::string user = userFolder_ + "/" + path;
  if (Exists(user) || !ReplaceableInPlace(path)) {
    const size_t slash = user.find_last_of('/');
    if (!Exists(user)) {
      MakeDirectories(user.substr(0, slash));
      std::fprintf(stderr,
                   "Orvelune: note: %s cannot be written where it is installed; the game keeps "
                   "its copy in %s\n",
                   path.c_str(), user.c_str());
    }
    return user;
  }
  return path;
}

Light::Light(std::string normalPath, std::string reversedPath, std::string userFolder)
    : normalPath_(std::move(normalPath)),
      reversedPath_(std::move(reversedPath)),
      userFolder_(std::move(userFolder)) {}

Light::Light(std::string userFolder)
    : Light(ORVELUNE_RESOURCE_ROOT "Light/light.txt", ORVELUNE_RESOURCE_ROOT "Light/light_rev.txt",
            std::move(userFolder)) {}

Light::~Light() {
  SaveLights();
}

int Light::Load() {
  std::string text;
  if (!ReadText(ReadPath(normalPath_), &text)) {
    ReportError("ファイルオープンに失敗 -Light-", normalPath_);
    ReportError("ファイル読み込み失敗 -Light-");
    ReportErrorDetail(normalPath_.c_str());
    return 0;
  }
  normal_ = ParseLightText(text);
  PutOnDevice(normal_, false);
  if (!ReadText(ReadPath(reversedPath_), &text)) {
    ReportError("ファイルオープンに失敗 -Light-", reversedPath_);
    ReportError("ファイル読み込み失敗 -Light-");
    ReportErrorDetail(reversedPath_.c_str());
    return 0;
  }
  reversed_ = ParseLightText(text);
  return 1;
}

void Light::Apply(int underside) {
  PutOnDevice(underside ? reversed_ : normal_, true);
}

void Light::SaveLights() {
  const std::pair<const std::string*, std::vector<LightEntry>*> files[2] = {
      {&normalPath_, &normal_}, {&reversedPath_, &reversed_}};
  for (const auto& [path, list] : files) {
    if (list->empty()) continue;  // nothing was read: leave the file as it is
    std::string why;
    if (!WriteFileAtomically(WritePath(*path), FormatLightText(*list), &why)) {
      ReportError("ファイル書き出しオープンに失敗 -Light-", *path);
      ReportErrorDetail(why.c_str());
    }
    list->clear();
  }
}
