#include "tools/assetgen/mesh_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

namespace {

std::string F(float v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6f", std::fabs(v) < 5e-7f ? 0.0f : v);
  return buf;
}

Vec3 Normal(const Vec3& a, const Vec3& b, const Vec3& c) {
  return Vec3Normalize(Vec3Cross(b - a, c - a));
}

}  // namespace

int MeshBuilder::Material(const ModelMaterial& m) {
  materials_.push_back(m);
  current_ = static_cast<int>(materials_.size()) - 1;
  return current_;
}

int MeshBuilder::AddVertex(const Vec3& p, const Vec3& n, const Vec2& uv) {
  Matrix inv;
  if (!MatrixInverse(&inv, nullptr, transform_)) inv = Matrix::Identity();
  const Vec3 wn = Vec3Normalize(Vec3TransformNormal(n, MatrixTranspose(inv)));
  vertices_.push_back({Vec3TransformCoord(p, transform_), wn, uv});
  return static_cast<int>(vertices_.size()) - 1;
}

void MeshBuilder::Triangle(const Vec3 p[3], const Vec3 n[3], const Vec2 uv[3]) {
  if (materials_.empty()) Material(ModelMaterial{});
  const Vec3 face = Vec3Cross(p[1] - p[0], p[2] - p[0]);
  if (Vec3LengthSq(face) < 1e-14f) return;  // degenerate
  int order[3] = {0, 1, 2};
  // Clockwise fronts: the front's normal is (b - a) x (c - a).
  if (Vec3Dot(face, n[0] + n[1] + n[2]) < 0) std::swap(order[1], order[2]);
  Face f;
  f.material = current_;
  for (int k = 0; k < 3; ++k) f.v[k] = AddVertex(p[order[k]], n[order[k]], uv[order[k]]);
  faces_.push_back(f);
}

void MeshBuilder::Quad(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d,
                       const Vec3& outward, const Vec2& ta, const Vec2& tb, const Vec2& tc,
                       const Vec2& td) {
  Vec3 n = Normal(a, b, c);
  if (Vec3Dot(n, outward) < 0) n = -n;
  const Vec3 pa[3] = {a, b, c}, pb[3] = {a, c, d};
  const Vec3 nn[3] = {n, n, n};
  const Vec2 ua[3] = {ta, tb, tc}, ub[3] = {ta, tc, td};
  Triangle(pa, nn, ua);
  Triangle(pb, nn, ub);
}

void MeshBuilder::Box(const Vec3& c, const Vec3& s, float uvScale) {
  const Vec3 h = s * 0.5f;
  const float u = uvScale;
  struct FaceDef {
    Vec3 n, right, up;
    float hr, hu, hn;
  };
  const FaceDef faces[6] = {
      {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}, h.x, h.y, h.z},
      {{0, 0, 1}, {-1, 0, 0}, {0, 1, 0}, h.x, h.y, h.z},
      {{-1, 0, 0}, {0, 0, -1}, {0, 1, 0}, h.z, h.y, h.x},
      {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}, h.z, h.y, h.x},
      {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}, h.x, h.z, h.y},
      {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}, h.x, h.z, h.y},
  };
  for (const FaceDef& f : faces) {
    const Vec3 centre = c + f.n * f.hn;
    const Vec3 r = f.right * f.hr, up = f.up * f.hu;
    Quad(centre - r - up, centre - r + up, centre + r + up, centre + r - up, f.n, {0, u}, {0, 0},
         {u, 0}, {u, u});
  }
}

void MeshBuilder::WorldBox(const Vec3& c, const Vec3& s, float unitsPerTile) {
  const Vec3 lo = c - s * 0.5f, hi = c + s * 0.5f;
  const float k = 1.0f / unitsPerTile;
  // Each face maps the two world axes that span it.
  auto uv = [&](const Vec3& p, int axisU, int axisV) {
    const float coords[3] = {p.x, p.y, p.z};
    return Vec2{coords[axisU] * k, -coords[axisV] * k};
  };
  const Vec3 corners[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z},
                           {lo.x, hi.y, lo.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z},
                           {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
  struct F {
    int a, b, c, d;
    Vec3 n;
    int u, v;
  };
  const F faces[6] = {{0, 3, 2, 1, {0, 0, -1}, 0, 1}, {4, 5, 6, 7, {0, 0, 1}, 0, 1},
                      {0, 4, 7, 3, {-1, 0, 0}, 2, 1}, {1, 2, 6, 5, {1, 0, 0}, 2, 1},
                      {3, 7, 6, 2, {0, 1, 0}, 0, 2},  {0, 1, 5, 4, {0, -1, 0}, 0, 2}};
  for (const F& f : faces) {
    const Vec3 &a = corners[f.a], &b = corners[f.b], &cc = corners[f.c], &d = corners[f.d];
    Quad(a, b, cc, d, f.n, uv(a, f.u, f.v), uv(b, f.u, f.v), uv(cc, f.u, f.v), uv(d, f.u, f.v));
  }
}

void MeshBuilder::Cylinder(const Vec3& base, float y1, float r0, float r1, int sides, bool caps) {
  const float h = y1 - base.y;
  const float slope = (r0 - r1) / (h != 0 ? h : 1);
  for (int i = 0; i < sides; ++i) {
    const float a0 = 2 * kPi * i / sides, a1 = 2 * kPi * (i + 1) / sides;
    const Vec3 d0{std::sin(a0), 0, std::cos(a0)}, d1{std::sin(a1), 0, std::cos(a1)};
    const Vec3 p[4] = {base + d0 * r0, base + d1 * r0, Vec3{base.x, y1, base.z} + d1 * r1,
                       Vec3{base.x, y1, base.z} + d0 * r1};
    const Vec3 n0 = Vec3Normalize(Vec3{d0.x, slope, d0.z}),
               n1 = Vec3Normalize(Vec3{d1.x, slope, d1.z});
    const float u0 = static_cast<float>(i) / sides, u1 = static_cast<float>(i + 1) / sides;
    const Vec3 ta[3] = {p[0], p[1], p[2]}, na[3] = {n0, n1, n1};
    const Vec2 ua[3] = {{u0, 1}, {u1, 1}, {u1, 0}};
    const Vec3 tb[3] = {p[0], p[2], p[3]}, nb[3] = {n0, n1, n0};
    const Vec2 ub[3] = {{u0, 1}, {u1, 0}, {u0, 0}};
    if (r0 > 0 || r1 > 0) {
      Triangle(ta, na, ua);
      Triangle(tb, nb, ub);
    }
    if (caps) {
      if (r1 > 0) {
        const Vec3 top{base.x, y1, base.z};
        const Vec3 t[3] = {top, p[3], p[2]}, n[3] = {{0, 1, 0}, {0, 1, 0}, {0, 1, 0}};
        const Vec2 uv[3] = {
            {0.5f, 0.5f}, {0.5f + d0.x / 2, 0.5f + d0.z / 2}, {0.5f + d1.x / 2, 0.5f + d1.z / 2}};
        Triangle(t, n, uv);
      }
      if (r0 > 0) {
        const Vec3 t[3] = {base, p[0], p[1]}, n[3] = {{0, -1, 0}, {0, -1, 0}, {0, -1, 0}};
        const Vec2 uv[3] = {
            {0.5f, 0.5f}, {0.5f + d0.x / 2, 0.5f + d0.z / 2}, {0.5f + d1.x / 2, 0.5f + d1.z / 2}};
        Triangle(t, n, uv);
      }
    }
  }
}

void MeshBuilder::Sphere(const Vec3& c, const Vec3& r, int slices, int stacks, bool inward) {
  auto point = [&](int i, int j, Vec3* p, Vec3* n, Vec2* uv) {
    const float th = kPi * j / stacks;  // from the top
    const float ph = 2 * kPi * i / slices;
    const Vec3 d{std::sin(th) * std::sin(ph), std::cos(th), std::sin(th) * std::cos(ph)};
    *p = c + Vec3{d.x * r.x, d.y * r.y, d.z * r.z};
    *n = Vec3Normalize(Vec3{d.x / r.x, d.y / r.y, d.z / r.z});
    *uv = {static_cast<float>(i) / slices, static_cast<float>(j) / stacks};
  };
  for (int j = 0; j < stacks; ++j) {
    for (int i = 0; i < slices; ++i) {
      Vec3 p[4], n[4];
      Vec2 uv[4];
      point(i, j, &p[0], &n[0], &uv[0]);
      point(i + 1, j, &p[1], &n[1], &uv[1]);
      point(i + 1, j + 1, &p[2], &n[2], &uv[2]);
      point(i, j + 1, &p[3], &n[3], &uv[3]);
      if (inward)
        for (Vec3& v : n) v = -v;
      const Vec3 pa[3] = {p[0], p[1], p[2]}, na[3] = {n[0], n[1], n[2]};
      const Vec2 ua[3] = {uv[0], uv[1], uv[2]};
      const Vec3 pb[3] = {p[0], p[2], p[3]}, nb[3] = {n[0], n[2], n[3]};
      const Vec2 ub[3] = {uv[0], uv[2], uv[3]};
      if (j != stacks - 1) Triangle(pa, na, ua);
      if (j != 0) Triangle(pb, nb, ub);
    }
  }
}

void MeshBuilder::Extrude(const std::vector<Vec2>& outline, float z, float depth) {
  const size_t n = outline.size();
  if (n < 3) return;
  Vec2 centre{0, 0};
  float minX = outline[0].x, maxX = minX, minY = outline[0].y, maxY = minY;
  for (const Vec2& p : outline) {
    centre.x += p.x / n;
    centre.y += p.y / n;
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  const float sx = maxX - minX > 0 ? maxX - minX : 1, sy = maxY - minY > 0 ? maxY - minY : 1;
  auto uv = [&](const Vec2& p) { return Vec2{(p.x - minX) / sx, 1 - (p.y - minY) / sy}; };
  const float zf = z - depth / 2, zb = z + depth / 2;
  for (size_t i = 0; i < n; ++i) {
    const Vec2& a = outline[i];
    const Vec2& b = outline[(i + 1) % n];
    // Caps as fans about the centroid.
    {
      const Vec3 p[3] = {{centre.x, centre.y, zf}, {a.x, a.y, zf}, {b.x, b.y, zf}};
      const Vec3 nn[3] = {{0, 0, -1}, {0, 0, -1}, {0, 0, -1}};
      const Vec2 t[3] = {uv(centre), uv(a), uv(b)};
      Triangle(p, nn, t);
    }
    {
      const Vec3 p[3] = {{centre.x, centre.y, zb}, {a.x, a.y, zb}, {b.x, b.y, zb}};
      const Vec3 nn[3] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
      const Vec2 t[3] = {uv(centre), uv(a), uv(b)};
      Triangle(p, nn, t);
    }
    // The side, facing away from the centroid.
    const Vec2 mid{(a.x + b.x) / 2 - centre.x, (a.y + b.y) / 2 - centre.y};
    Vec3 side{b.y - a.y, -(b.x - a.x), 0};
    if (side.x * mid.x + side.y * mid.y < 0) side = -side;
    Quad({a.x, a.y, zf}, {b.x, b.y, zf}, {b.x, b.y, zb}, {a.x, a.y, zb}, side, uv(a), uv(b), uv(b),
         uv(a));
  }
}

void MeshBuilder::Star(const Vec3& c, float outer, float inner, float thickness) {
  // Raised centre: each point is a pair of sloped triangles front and back.
  std::vector<Vec2> rim;
  for (int i = 0; i < 10; ++i) {
    const float r = i % 2 == 0 ? outer : inner;
    const float a = kPi / 2 + i * kPi / 5;
    rim.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
  }
  const Vec3 front{c.x, c.y, c.z - thickness / 2}, back{c.x, c.y, c.z + thickness / 2};
  for (int i = 0; i < 10; ++i) {
    const Vec2& a = rim[i];
    const Vec2& b = rim[(i + 1) % 10];
    const Vec3 pa{a.x, a.y, c.z}, pb{b.x, b.y, c.z};
    for (const Vec3& apex : {front, back}) {
      const Vec3 p[3] = {apex, pa, pb};
      Vec3 n = Normal(apex, pa, pb);
      const Vec3 away = apex - c;
      if (Vec3Dot(n, away) < 0) n = -n;
      const Vec3 nn[3] = {n, n, n};
      const Vec2 uv[3] = {{0.5f, 0.5f},
                          {0.5f + (a.x - c.x) / (2 * outer), 0.5f - (a.y - c.y) / (2 * outer)},
                          {0.5f + (b.x - c.x) / (2 * outer), 0.5f - (b.y - c.y) / (2 * outer)}};
      Triangle(p, nn, uv);
    }
  }
}

void MeshBuilder::Tube(const std::vector<Vec3>& pts, const std::vector<float>& radii, int sides) {
  if (pts.size() < 2) return;
  std::vector<std::vector<Vec3>> rings(pts.size()), normals(pts.size());
  for (size_t i = 0; i < pts.size(); ++i) {
    const Vec3 dir = Vec3Normalize(pts[std::min(i + 1, pts.size() - 1)] - pts[i > 0 ? i - 1 : 0]);
    Vec3 side = Vec3Cross(dir, {0, 1, 0});
    if (Vec3LengthSq(side) < 1e-6f) side = Vec3Cross(dir, {1, 0, 0});
    side = Vec3Normalize(side);
    const Vec3 up = Vec3Normalize(Vec3Cross(side, dir));
    for (int s = 0; s < sides; ++s) {
      const float a = 2 * kPi * s / sides;
      const Vec3 n = side * std::cos(a) + up * std::sin(a);
      rings[i].push_back(pts[i] + n * radii[i]);
      normals[i].push_back(n);
    }
  }
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    for (int s = 0; s < sides; ++s) {
      const int s1 = (s + 1) % sides;
      const float v0 = static_cast<float>(i) / (pts.size() - 1),
                  v1 = static_cast<float>(i + 1) / (pts.size() - 1);
      const float u0 = static_cast<float>(s) / sides, u1 = static_cast<float>(s + 1) / sides;
      const Vec3 pa[3] = {rings[i][s], rings[i + 1][s], rings[i + 1][s1]};
      const Vec3 na[3] = {normals[i][s], normals[i + 1][s], normals[i + 1][s1]};
      const Vec2 ua[3] = {{u0, v0}, {u0, v1}, {u1, v1}};
      const Vec3 pb[3] = {rings[i][s], rings[i + 1][s1], rings[i][s1]};
      const Vec3 nb[3] = {normals[i][s], normals[i + 1][s1], normals[i][s1]};
      const Vec2 ub[3] = {{u0, v0}, {u1, v1}, {u1, v0}};
      Triangle(pa, na, ua);
      Triangle(pb, nb, ub);
    }
  }
  // Round the ends off with small caps.
  for (size_t end : {static_cast<size_t>(0), pts.size() - 1}) {
    if (radii[end] <= 0) continue;
    const Vec3 dir = Vec3Normalize(end == 0 ? pts[0] - pts[1] : pts[end] - pts[end - 1]);
    for (int s = 0; s < sides; ++s) {
      const Vec3 p[3] = {pts[end], rings[end][s], rings[end][(s + 1) % sides]};
      const Vec3 n[3] = {dir, dir, dir};
      const Vec2 uv[3] = {{0.5f, 0.5f}, {0, 0}, {1, 0}};
      Triangle(p, n, uv);
    }
  }
}

void MeshBuilder::StandOnOrigin() {
  if (vertices_.empty()) return;
  float lowest = vertices_[0].p.y;
  for (const Vertex& v : vertices_) lowest = std::min(lowest, v.p.y);
  for (Vertex& v : vertices_) v.p.y -= lowest;
}

std::string MeshBuilder::ToX(const std::string& comment) const {
  std::ostringstream o;
  o << "xof 0303txt 0032\n// " << comment << "\n\n";
  for (size_t m = 0; m < materials_.size(); ++m) {
    const ModelMaterial& mat = materials_[m];
    o << "Material Mat" << m << " {\n  " << F(mat.diffuse.r) << ";" << F(mat.diffuse.g) << ";"
      << F(mat.diffuse.b) << ";" << F(mat.diffuse.a) << ";;\n  " << F(mat.power) << ";\n  "
      << F(mat.specular.r) << ";" << F(mat.specular.g) << ";" << F(mat.specular.b) << ";;\n  "
      << F(mat.emissive.r) << ";" << F(mat.emissive.g) << ";" << F(mat.emissive.b) << ";;\n";
    if (!mat.texture.empty()) o << "  TextureFilename {\n    \"" << mat.texture << "\";\n  }\n";
    o << "}\n\n";
  }
  o << "Frame Root {\n  FrameTransformMatrix {\n    1.000000,0.000000,0.000000,0.000000,"
       "0.000000,1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,"
       "0.000000,0.000000,0.000000,1.000000;;\n  }\n\n";
  // Corners written alike (position, normal and texture coordinates) are one
  // vertex, as a modelling program exports them: a cube has 24 vertices, not
  // a triangle's own 3 for each of its 12 triangles, and a renderer shades
  // each once.
  struct Written {
    std::string position, normal, uv;
  };
  std::vector<Written> written;
  std::map<std::string, int> byText;
  std::vector<int> newIndex(vertices_.size());
  for (size_t i = 0; i < vertices_.size(); ++i) {
    const Vertex& v = vertices_[i];
    Written w{F(v.p.x) + ";" + F(v.p.y) + ";" + F(v.p.z) + ";",
              F(v.n.x) + ";" + F(v.n.y) + ";" + F(v.n.z) + ";", F(v.uv.x) + ";" + F(v.uv.y) + ";"};
    auto [it, added] =
        byText.emplace(w.position + w.normal + w.uv, static_cast<int>(written.size()));
    if (added) written.push_back(std::move(w));
    newIndex[i] = it->second;
  }
  auto faceList = [&](const char* indent) {
    o << indent << faces_.size() << ";\n";
    for (size_t i = 0; i < faces_.size(); ++i)
      o << indent << "3;" << newIndex[faces_[i].v[0]] << "," << newIndex[faces_[i].v[1]] << ","
        << newIndex[faces_[i].v[2]] << ";" << (i + 1 < faces_.size() ? "," : ";") << "\n";
  };
  auto vertexList = [&](const char* indent, std::string Written::*field) {
    o << indent << written.size() << ";\n";
    for (size_t i = 0; i < written.size(); ++i)
      o << indent << written[i].*field << (i + 1 < written.size() ? "," : ";") << "\n";
  };
  o << "  Mesh Model {\n";
  vertexList("    ", &Written::position);
  faceList("    ");
  o << "\n    MeshNormals {\n";
  vertexList("      ", &Written::normal);
  faceList("      ");
  o << "    }\n\n    MeshTextureCoords {\n";
  vertexList("      ", &Written::uv);
  o << "    }\n\n    MeshMaterialList {\n      " << materials_.size() << ";\n      "
    << faces_.size() << ";\n";
  for (size_t i = 0; i < faces_.size(); ++i)
    o << "      " << faces_[i].material << (i + 1 < faces_.size() ? "," : ";") << "\n";
  for (size_t m = 0; m < materials_.size(); ++m) o << "      { Mat" << m << " }\n";
  o << "    }\n  }\n}\n";
  return o.str();
}
