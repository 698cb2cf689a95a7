#include "render/lighting.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
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

// Splits a line of comma-separated numbers; values that are missing (fewer
// commas than the row needs) read as 0 rather than running past the line.
std::vector<float> Numbers(const std::string& line, size_t count) {
  std::vector<float> values(count, 0.0f);
  size_t pos = 0;
  for (size_t i = 0; i < count && pos < line.size(); ++i) {
    values[i] = static_cast<float>(std::atof(line.c_str() + pos));
    const size_t comma = line.find(',', pos + 1);
    if (comma == std::string::npos) break;
    pos = comma + 1;
  }
  return values;
}

D3DCOLORVALUE Colour(const std::string& line) {
  const std::vector<float> v = Numbers(line, 4);
  return {v[1], v[2], v[3], v[0]};  // the file writes alpha first
}

Vec3 Triple(const std::string& line) {
  const std::vector<float> v = Numbers(line, 3);
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
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t nl = text.find('\n', pos);
    const size_t end = nl == std::string::npos ? text.size() : nl + 1;
    std::string line = text.substr(pos, end - pos);
    // Lines are read up to 127 characters; the rest of a longer line is dropped.
    if (line.size() > kLineLimit) line = line.substr(0, kLineLimit);
    lines.push_back(line);
    pos = end;
  }
  std::vector<LightEntry> entries;
  for (size_t i = 0; i < lines.size(); i += 8) {
    LightEntry e;
    e.name = lines[i];
    auto line = [&](size_t k) -> const std::string* {
      return i + k < lines.size() ? &lines[i + k] : nullptr;
    };
    if (auto* l = line(1)) e.enabled = std::atoi(l->c_str());
    if (auto* l = line(2)) {
      switch ((*l)[0]) {
        case 'D':
          e.light.Type = D3DLIGHT_DIRECTIONAL;
          break;
        case 'P':
          e.light.Type = D3DLIGHT_POINT;
          break;
        case 'S':
          e.light.Type = D3DLIGHT_SPOT;
          break;
        default:
          e.light.Type = 0;
          break;
      }
    }
    if (auto* l = line(3)) {
      const Vec3 p = Triple(*l);
      e.light.Position = {p.x, p.y, p.z};
    }
    if (auto* l = line(4)) e.rotation = Triple(*l);
    if (auto* l = line(5)) e.light.Ambient = Colour(*l);
    if (auto* l = line(6)) e.light.Specular = Colour(*l);
    if (auto* l = line(7)) e.light.Diffuse = Colour(*l);
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
std::string g_userFolder;

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

void SetLightUserFolder(const std::string& userDataDirectory) {
  g_userFolder = userDataDirectory;
}

std::string Light::ReadPath(const std::string& path) const {
  if (g_userFolder.empty()) return path;
  const std::string user = g_userFolder + "/" + path;
  return Exists(user) ? user : path;
}

std::string Light::WritePath(const std::string& path) const {
  if (g_userFolder.empty()) return path;
  const std::string user = g_userFolder + "/" + path;
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

Light::Light(std::string normalPath, std::string reversedPath)
    : normalPath_(std::move(normalPath)), reversedPath_(std::move(reversedPath)) {}

Light::Light()
    : Light(ORVELUNE_RESOURCE_ROOT "Light/light.txt",
            ORVELUNE_RESOURCE_ROOT "Light/light_rev.txt") {}

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
