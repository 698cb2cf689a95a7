#include "render/mesh.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "base/failed_files.h"
#include "base/language.h"
#include "base/report_error.h"
#include "platform/graphics.h"
#include "platform/png_image.h"
#include "render/shared_content.h"
#include "render/view_clearance.h"

namespace {

struct MeshVertex {
  float x, y, z;
  float nx, ny, nz;
  float u, v;
};
static_assert(sizeof(MeshVertex) == 32, "mesh vertices are 32 bytes");

constexpr D3DVERTEXELEMENT9 kMeshElements[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
    {0, 24, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END()};

bool ReadFile(const char* path, std::string* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *out = s.str();
  return true;
}

}  // namespace

namespace {

// Decoded pictures are kept by path (SharedContent::decodedPictures): the 37
// wall pieces share wall_t.png, and a stage's retry asks for its files again.
// Only pictures of up to 512 x 512 are kept, so the big scene pictures cost
// no memory there.
constexpr size_t kKeptPixels = 512 * 512;

// The picture with its colour key applied, decoded or from the kept ones.
bool Decode(const char* path, Image* out, std::string* why) {
  const FileSignature signature = SignatureOf(path);
  auto& kept = Shared().decodedPictures;
  auto it = kept.find(path);
  if (signature.exists && it != kept.end() && it->second.signature == signature) {
    *out = it->second.image;
    return true;
  }
  if (!LoadPng(path, out, why)) return false;
  for (uint32_t& p : out->argb)
    if (p == 0xFF00FF00u) p = 0;  // the colour key: opaque green to transparent black
  if (signature.exists && out->argb.size() <= kKeptPixels) kept[path] = {signature, *out};
  return true;
}

}  // namespace

Texture* LoadTexture(const char* requested) {
  // Pictures with words in them have a copy per language.
  const std::string localized = LocalizedPath(requested);
  const char* path = localized.c_str();
  GraphicsDevice* device = GetDevice();
  if (FailedBefore(path)) return nullptr;  // unchanged since it failed: not decoded again
  Image image;
  std::string why;
  if (!device || !Decode(path, &image, &why)) {
    ReportErrorDetail(why.empty() ? path : why.c_str());
    SetReportSubject(path);
    RememberFailure(path);
    return nullptr;
  }
  Texture* texture = device->CreateTexture(image.width, image.height, image.argb.data());
  if (!texture) {
    ReportErrorDetail((std::string(path) + ": the device refused the texture").c_str());
    SetReportSubject(path);
  }
  return texture;
}

MeshGeometry* MeshGeometry::Create(GraphicsDevice* device, XModel model) {
  auto* g = new MeshGeometry(device);
  g->model_ = std::move(model);
  const XModel& m = g->model_;
  g->declaration_ = device->CreateVertexDeclaration(kMeshElements);
  g->vertices_ =
      device->CreateVertexBuffer(static_cast<uint32_t>(m.vertices.size() * sizeof(MeshVertex)));
  g->indices_ =
      device->CreateIndexBuffer(static_cast<uint32_t>(m.indices.size() * sizeof(uint16_t)));
  auto* v = g->vertices_ ? static_cast<MeshVertex*>(g->vertices_->Lock()) : nullptr;
  auto* i = g->indices_ ? static_cast<uint16_t*>(g->indices_->Lock()) : nullptr;
  if (!g->declaration_ || !v || !i) {
    delete g;
    return nullptr;
  }
  if (!m.vertices.empty()) g->lo_ = g->hi_ = m.vertices[0].position;
  for (size_t k = 0; k < m.vertices.size(); ++k) {
    const XVertex& x = m.vertices[k];
    g->lo_ = {std::min(g->lo_.x, x.position.x), std::min(g->lo_.y, x.position.y),
              std::min(g->lo_.z, x.position.z)};
    g->hi_ = {std::max(g->hi_.x, x.position.x), std::max(g->hi_.y, x.position.y),
              std::max(g->hi_.z, x.position.z)};
    v[k] = {x.position.x, x.position.y, x.position.z, x.normal.x,
            x.normal.y,   x.normal.z,   x.uv.x,       x.uv.y};
  }
  std::memcpy(i, m.indices.data(), m.indices.size() * sizeof(uint16_t));
  g->vertices_->Unlock();
  g->indices_->Unlock();
  return g;
}

MeshGeometry::~MeshGeometry() {
  if (vertices_) vertices_->Release();
  if (indices_) indices_->Release();
  if (declaration_) declaration_->Release();
}

void MeshGeometry::DrawSubset(uint32_t subset) {
  if (subset >= SubsetCount()) return;
  const uint32_t first = model_.subsetStart[subset];
  const uint32_t count = model_.subsetStart[subset + 1] - first;
  if (count == 0) return;
  device_->SetVertexDeclaration(declaration_);
  device_->SetStreamSource(0, vertices_, 0, sizeof(MeshVertex));
  device_->SetIndices(indices_);
  device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0,
                                static_cast<uint32_t>(model_.vertices.size()), first * 3, count);
}

void MeshGeometry::FaceVertices(uint32_t face, Vec3 out[3]) const {
  if (face >= FaceCount()) return;
  for (int k = 0; k < 3; ++k) out[k] = model_.vertices[model_.indices[face * 3 + k]].position;
}

bool MeshGeometry::Intersect(const Vec3& start, const Vec3& dir, uint32_t* face, float* u, float* v,
                             float* distance) const {
  bool found = false;
  float best = 0;
  const uint32_t faces = FaceCount();
  for (uint32_t f = 0; f < faces; ++f) {
    Vec3 p[3];
    FaceVertices(f, p);
    // Moller-Trumbore, both sides of the triangle.
    const Vec3 e1 = p[1] - p[0], e2 = p[2] - p[0];
    const Vec3 h = Vec3Cross(dir, e2);
    const float a = Vec3Dot(e1, h);
    if (std::fabs(a) < 1e-12f) continue;
    const float inv = 1.0f / a;
    const Vec3 s = start - p[0];
    const float bu = inv * Vec3Dot(s, h);
    if (bu < 0.0f || bu > 1.0f) continue;
    const Vec3 q = Vec3Cross(s, e1);
    const float bv = inv * Vec3Dot(dir, q);
    if (bv < 0.0f || bu + bv > 1.0f) continue;
    const float t = inv * Vec3Dot(e2, q);
    if (t < 0.0f) continue;
    if (!found || t < best) {
      found = true;
      best = t;
      *face = f;
      *u = bu;
      *v = bv;
    }
  }
  if (found && distance) *distance = best;
  return found;
}

int Mesh::Load(const char* path) {
  Release();
  std::string bytes, why;
  XModel model;
  GraphicsDevice* device = GetDevice();
  if (!ReadFile(path, &bytes)) {
    why = "cannot open the file";
  } else if (!ParseXFile(bytes.data(), bytes.size(), &model, &why)) {
  } else if (!device || !(mesh = MeshGeometry::Create(device, model))) {
    why = "the device refused the geometry";
  }
  if (!mesh) {
    ReportError("メッシュの読み込みに失敗", path);
    ReportErrorDetail((std::string(path) + ": " + why).c_str());
    return 0;
  }
  materialCount = static_cast<uint32_t>(model.materials.size());
  textures.assign(materialCount, nullptr);
  materials.assign(materialCount, D3DMATERIAL9{});
  int result = 1;
  for (uint32_t i = 0; i < materialCount; ++i) {
    materials[i] = model.materials[i].material;
    if (model.materials[i].textureFile.empty()) continue;
    textures[i] = LoadTexture(model.materials[i].textureFile.c_str());
    if (!textures[i]) {
      ReportError("テクスチャの読み込みに失敗 -mesh-");
      ReportErrorDetail((std::string("used by ") + path).c_str());
      result = 0;
      break;
    }
  }
  return result;
}

void Mesh::Draw() const {
  if (!mesh || view_clearance::TakeDraw(*this, nullptr)) return;
  GraphicsDevice* device = GetDevice();
  for (uint32_t i = 0; i < materialCount; ++i) {
    device->SetMaterial(materials[i]);
    device->SetTexture(0, textures[i]);
    mesh->DrawSubset(i);
  }
}

void Mesh::DrawWithTexture(Texture* texture) const {
  if (!mesh || view_clearance::TakeDraw(*this, texture)) return;
  GraphicsDevice* device = GetDevice();
  for (uint32_t i = 0; i < materialCount; ++i) {
    device->SetMaterial(materials[i]);
    device->SetTexture(0, texture);
    mesh->DrawSubset(i);
  }
}

void Mesh::Release() {
  materials.clear();
  for (Texture*& t : textures)
    if (t) {
      t->Release();
      t = nullptr;
    }
  textures.clear();
  delete mesh;
  mesh = nullptr;
  materialCount = 0;
}

int Mesh::Pick(const Matrix& world, const Vec3& origin, const Vec3& direction, Vec3* hit) const {
  if (!mesh) return 0;
  Matrix inverse;
  if (!MatrixInverse(&inverse, nullptr, world)) return 0;
  const Vec3 start = Vec3TransformCoord(origin, inverse);
  const Vec3 end = Vec3TransformCoord(origin + direction, inverse);
  uint32_t face = 0;
  float u = 0, v = 0;
  if (!mesh->Intersect(start, end - start, &face, &u, &v, nullptr)) return 0;
  Vec3 p[3];
  GetFaceVertices(face, p);
  const Vec3 point = p[0] + (p[1] - p[0]) * u + (p[2] - p[0]) * v;
  *hit = Vec3TransformCoord(point, world);
  return 1;
}

bool Mesh::Bounds(Vec3* lo, Vec3* hi) const {
  if (!mesh) return false;
  *lo = mesh->Lowest();
  *hi = mesh->Highest();
  return true;
}

void Mesh::GetFaceVertices(uint32_t face, Vec3 out[3]) const {
  if (mesh) mesh->FaceVertices(face, out);
}
