#include "render/xfile.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <utility>

namespace {

constexpr uint32_t kMaxVertices = 65535;  // 16-bit indices
constexpr uint32_t kMaxFaces = 1 << 20;
constexpr uint32_t kMaxPolygonSides = 64;
constexpr uint32_t kMaxMaterials = 4096;
constexpr int kMaxDepth = 64;

enum class Tok { End, Name, Number, String, Open, Close, Guid };

struct Token {
  Tok type = Tok::End;
  std::string text;
  int line = 1;
};

class Lexer {
 public:
  Lexer(const char* data, size_t size) : p_(data), end_(data + size) {}

  // The next token; commas and semicolons only separate values and are
  // skipped, as the Direct3D reader does.
  Token Next() {
    Token t;
    for (;;) {
      while (p_ < end_ &&
             (std::isspace(static_cast<unsigned char>(*p_)) || *p_ == ',' || *p_ == ';')) {
        if (*p_ == '\n') ++line_;
        ++p_;
      }
      if (p_ < end_ && (*p_ == '#' || (*p_ == '/' && p_ + 1 < end_ && p_[1] == '/'))) {
        while (p_ < end_ && *p_ != '\n') ++p_;
        continue;
      }
      break;
    }
    t.line = line_;
    if (p_ >= end_) return t;
    const char c = *p_;
    if (c == '{') {
      ++p_;
      t.type = Tok::Open;
    } else if (c == '}') {
      ++p_;
      t.type = Tok::Close;
    } else if (c == '<') {
      const char* start = ++p_;
      while (p_ < end_ && *p_ != '>') ++p_;
      t.type = Tok::Guid;
      t.text.assign(start, p_);
      if (p_ < end_) ++p_;
    } else if (c == '"') {
      const char* start = ++p_;
      while (p_ < end_ && *p_ != '"' && *p_ != '\n') ++p_;
      t.type = Tok::String;
      t.text.assign(start, p_);
      if (p_ < end_ && *p_ == '"') ++p_;
    } else if (c == '-' || c == '+' || c == '.' || std::isdigit(static_cast<unsigned char>(c))) {
      const char* start = p_;
      ++p_;
      while (p_ < end_ &&
             (std::isdigit(static_cast<unsigned char>(*p_)) || *p_ == '.' || *p_ == 'e' ||
              *p_ == 'E' || ((*p_ == '-' || *p_ == '+') && (p_[-1] == 'e' || p_[-1] == 'E'))))
        ++p_;
      t.type = Tok::Number;
      t.text.assign(start, p_);
    } else {
      const char* start = p_;
      while (p_ < end_ && !std::isspace(static_cast<unsigned char>(*p_)) && *p_ != '{' &&
             *p_ != '}' && *p_ != ',' && *p_ != ';' && *p_ != '"' && *p_ != '<')
        ++p_;
      if (p_ == start) ++p_;  // a stray byte: take it alone
      t.type = Tok::Name;
      t.text.assign(start, p_);
    }
    return t;
  }

 private:
  const char* p_;
  const char* end_;
  int line_ = 1;
};

struct RawMesh {
  std::vector<Vec3> positions;
  std::vector<std::vector<uint32_t>> faces;
  std::vector<Vec3> normals;
  std::vector<std::vector<uint32_t>> faceNormals;
  std::vector<Vec2> uvs;
  std::vector<uint32_t> faceMaterials;
  std::vector<XMaterial> materials;
  Matrix transform;
};

class Parser {
 public:
  Parser(const char* data, size_t size) : lex_(data, size) { Advance(); }

  bool Parse(XModel* out, std::string* why) {
    Matrix identity;
    while (tok_.type != Tok::End) {
      if (!ParseObject(identity, 0, nullptr)) break;
    }
    if (!error_.empty()) {
      *why = error_;
      return false;
    }
    return Build(out, why);
  }

 private:
  void Advance() { tok_ = lex_.Next(); }

  bool Fail(const std::string& what) {
    if (error_.empty()) error_ = "line " + std::to_string(tok_.line) + ": " + what;
    return false;
  }

  bool ReadFloat(float* out) {
    if (tok_.type != Tok::Number) return Fail("number expected");
    char* end = nullptr;
    const double v = std::strtod(tok_.text.c_str(), &end);
    if (end == tok_.text.c_str() || !std::isfinite(v) || std::fabs(v) > 1e30)
      return Fail("bad number \"" + tok_.text + "\"");
    *out = static_cast<float>(v);
    Advance();
    return true;
  }

  bool ReadUint(uint32_t limit, uint32_t* out) {
    if (tok_.type != Tok::Number) return Fail("count expected");
    char* end = nullptr;
    const long long v = std::strtoll(tok_.text.c_str(), &end, 10);
    if (*end != '\0' || v < 0 || v > limit) return Fail("count out of range: " + tok_.text);
    *out = static_cast<uint32_t>(v);
    Advance();
    return true;
  }

  bool Expect(Tok type, const char* what) {
    if (tok_.type != type) return Fail(std::string(what) + " expected");
    Advance();
    return true;
  }

  // Skips the rest of an object whose opening brace has been read.
  bool SkipBody(int depth) {
    if (depth > kMaxDepth) return Fail("objects nested too deeply");
    while (tok_.type != Tok::Close) {
      if (tok_.type == Tok::End) return Fail("missing }");
      if (tok_.type == Tok::Open) {
        Advance();
        if (!SkipBody(depth + 1)) return false;
      } else {
        Advance();
      }
    }
    Advance();
    return true;
  }

  // An object: TYPE [NAME] { [GUID] ... }, or a reference { NAME }.
  // mesh receives the children that belong to a mesh.
  bool ParseObject(const Matrix& parent, int depth, RawMesh* mesh) {
    if (depth > kMaxDepth) return Fail("objects nested too deeply");
    if (tok_.type == Tok::Open) {  // a reference by name
      Advance();
      std::string name = tok_.type == Tok::Name ? tok_.text : "";
      if (!SkipBody(depth + 1)) return false;
      if (mesh && !name.empty()) {
        auto it = namedMaterials_.find(name);
        if (it == namedMaterials_.end()) return Fail("unknown material \"" + name + "\"");
        mesh->materials.push_back(it->second);
      }
      return true;
    }
    if (tok_.type != Tok::Name) return Fail("object expected");
    const std::string type = tok_.text;
    Advance();
    std::string name;
    if (tok_.type == Tok::Name) {
      name = tok_.text;
      Advance();
    }
    if (!Expect(Tok::Open, "{")) return false;
    if (tok_.type == Tok::Guid) Advance();

    if (type == "template") return SkipBody(depth);
    if (type == "Frame") return ParseFrame(parent, depth);
    if (type == "Mesh") return ParseMesh(parent, depth);
    if (type == "Material") {
      XMaterial m;
      if (!ParseMaterial(depth, &m)) return false;
      if (mesh) mesh->materials.push_back(m);
      if (!name.empty()) namedMaterials_[name] = m;
      return true;
    }
    if (mesh && type == "MeshNormals") return ParseNormals(depth, mesh);
    if (mesh && type == "MeshTextureCoords") return ParseTextureCoords(depth, mesh);
    if (mesh && type == "MeshMaterialList") return ParseMaterialList(depth, mesh);
    return SkipBody(depth);
  }

  bool ParseFrame(const Matrix& parent, int depth) {
    Matrix local;
    Matrix combined = parent;
    while (tok_.type != Tok::Close) {
      if (tok_.type == Tok::End) return Fail("missing } of a frame");
      if (tok_.type == Tok::Name && tok_.text == "FrameTransformMatrix") {
        Advance();
        if (tok_.type == Tok::Name) Advance();
        if (!Expect(Tok::Open, "{")) return false;
        for (int i = 0; i < 16; ++i)
          if (!ReadFloat(&local.m[i / 4][i % 4])) return false;
        if (!SkipBody(depth + 1)) return false;
        // A child's vertices go through its own matrix, then its parents'.
        combined = local * parent;
        continue;
      }
      if (!ParseObject(combined, depth + 1, nullptr)) return false;
    }
    Advance();
    return true;
  }

  bool ParseMesh(const Matrix& transform, int depth) {
    RawMesh mesh;
    mesh.transform = transform;
    uint32_t nVertices = 0;
    if (!ReadUint(kMaxVertices, &nVertices)) return false;
    mesh.positions.resize(nVertices);
    for (auto& p : mesh.positions)
      if (!ReadFloat(&p.x) || !ReadFloat(&p.y) || !ReadFloat(&p.z)) return false;
    uint32_t nFaces = 0;
    if (!ReadUint(kMaxFaces, &nFaces)) return false;
    if (!ReadFaces(nFaces, nVertices, &mesh.faces)) return false;
    while (tok_.type != Tok::Close) {
      if (tok_.type == Tok::End) return Fail("missing } of a mesh");
      if (!ParseObject(transform, depth + 1, &mesh)) return false;
    }
    Advance();
    meshes_.push_back(std::move(mesh));
    return true;
  }

  bool ReadFaces(uint32_t nFaces, uint32_t nVertices, std::vector<std::vector<uint32_t>>* faces) {
    faces->reserve(std::min(nFaces, 65536u));
    for (uint32_t f = 0; f < nFaces; ++f) {
      uint32_t n = 0;
      if (!ReadUint(kMaxPolygonSides, &n)) return false;
      std::vector<uint32_t> face(n);
      for (auto& i : face) {
        if (!ReadUint(0xFFFFFFFFu, &i)) return false;
        if (i >= nVertices) return Fail("face refers to a missing vertex");
      }
      faces->push_back(std::move(face));
    }
    return true;
  }

  bool ParseNormals(int depth, RawMesh* mesh) {
    uint32_t n = 0;
    if (!ReadUint(kMaxVertices * 8, &n)) return false;
    mesh->normals.resize(n);
    for (auto& v : mesh->normals)
      if (!ReadFloat(&v.x) || !ReadFloat(&v.y) || !ReadFloat(&v.z)) return false;
    uint32_t nFaces = 0;
    if (!ReadUint(kMaxFaces, &nFaces)) return false;
    if (!ReadFaces(nFaces, n, &mesh->faceNormals)) return false;
    return SkipBody(depth);
  }

  bool ParseTextureCoords(int depth, RawMesh* mesh) {
    uint32_t n = 0;
    if (!ReadUint(kMaxVertices, &n)) return false;
    mesh->uvs.resize(n);
    for (auto& uv : mesh->uvs)
      if (!ReadFloat(&uv.x) || !ReadFloat(&uv.y)) return false;
    return SkipBody(depth);
  }

  bool ParseMaterialList(int depth, RawMesh* mesh) {
    uint32_t nMaterials = 0, nIndexes = 0;
    if (!ReadUint(kMaxMaterials, &nMaterials) || !ReadUint(kMaxFaces, &nIndexes)) return false;
    mesh->faceMaterials.resize(nIndexes);
    for (auto& m : mesh->faceMaterials) {
      if (!ReadUint(kMaxMaterials, &m)) return false;
      if (m >= nMaterials) return Fail("face material out of range");
    }
    while (tok_.type != Tok::Close) {
      if (tok_.type == Tok::End) return Fail("missing } of a material list");
      if (!ParseObject(Matrix{}, depth + 1, mesh)) return false;
    }
    Advance();
    if (mesh->materials.size() != nMaterials)
      return Fail("material list names " + std::to_string(nMaterials) + " materials but holds " +
                  std::to_string(mesh->materials.size()));
    return true;
  }

  bool ParseMaterial(int depth, XMaterial* m) {
    D3DMATERIAL9& d = m->material;
    d = D3DMATERIAL9{};
    if (!ReadFloat(&d.Diffuse.r) || !ReadFloat(&d.Diffuse.g) || !ReadFloat(&d.Diffuse.b) ||
        !ReadFloat(&d.Diffuse.a) || !ReadFloat(&d.Power) || !ReadFloat(&d.Specular.r) ||
        !ReadFloat(&d.Specular.g) || !ReadFloat(&d.Specular.b) || !ReadFloat(&d.Emissive.r) ||
        !ReadFloat(&d.Emissive.g) || !ReadFloat(&d.Emissive.b))
      return false;
    while (tok_.type != Tok::Close) {
      if (tok_.type == Tok::End) return Fail("missing } of a material");
      if (tok_.type == Tok::Name && tok_.text == "TextureFilename") {
        Advance();
        if (tok_.type == Tok::Name) Advance();
        if (!Expect(Tok::Open, "{")) return false;
        if (tok_.type != Tok::String) return Fail("texture file name expected");
        m->textureFile = tok_.text;
        Advance();
        if (!SkipBody(depth + 1)) return false;
        continue;
      }
      if (tok_.type == Tok::Name) {  // another child object: skipped
        Advance();
        if (tok_.type == Tok::Name) Advance();
        if (!Expect(Tok::Open, "{")) return false;
        if (!SkipBody(depth + 1)) return false;
        continue;
      }
      if (tok_.type == Tok::Open) {
        Advance();
        if (!SkipBody(depth + 1)) return false;
        continue;
      }
      return Fail("unexpected value in a material");
    }
    Advance();
    return true;
  }

  // Merges the meshes: vertices split where a corner's normal differs,
  // polygons as fans, triangles grouped by material.
  bool Build(XModel* out, std::string* why) {
    struct Tri {
      uint32_t material;
      uint32_t v[3];
    };
    std::vector<Tri> tris;
    std::vector<XVertex> vertices;
    for (const RawMesh& mesh : meshes_) {
      const uint32_t materialBase = static_cast<uint32_t>(out->materials.size());
      if (mesh.materials.empty()) {
        XMaterial grey;
        grey.material.Diffuse = {1, 1, 1, 1};
        out->materials.push_back(grey);
      } else {
        out->materials.insert(out->materials.end(), mesh.materials.begin(), mesh.materials.end());
      }
      const bool haveNormals =
          !mesh.normals.empty() && mesh.faceNormals.size() == mesh.faces.size();
      std::map<std::pair<uint32_t, uint32_t>, uint32_t> corners;
      for (size_t f = 0; f < mesh.faces.size(); ++f) {
        const auto& face = mesh.faces[f];
        if (face.size() < 3) continue;
        const std::vector<uint32_t>* normalFace = haveNormals ? &mesh.faceNormals[f] : nullptr;
        if (normalFace && normalFace->size() != face.size()) normalFace = nullptr;
        std::vector<uint32_t> ids(face.size());
        for (size_t c = 0; c < face.size(); ++c) {
          const uint32_t n = normalFace ? (*normalFace)[c] : 0xFFFFFFFFu;
          auto key = std::make_pair(face[c], n);
          auto it = corners.find(key);
          if (it == corners.end()) {
            XVertex v;
            v.position = Vec3TransformCoord(mesh.positions[face[c]], mesh.transform);
            if (n != 0xFFFFFFFFu)
              v.normal = Vec3Normalize(Vec3TransformNormal(mesh.normals[n], mesh.transform));
            if (face[c] < mesh.uvs.size()) v.uv = mesh.uvs[face[c]];
            it = corners.emplace(key, static_cast<uint32_t>(vertices.size())).first;
            vertices.push_back(v);
            if (vertices.size() > kMaxVertices) {
              *why = "more than 65535 vertices";
              return false;
            }
          }
          ids[c] = it->second;
        }
        uint32_t material = 0;
        if (!mesh.faceMaterials.empty())
          material =
              f < mesh.faceMaterials.size() ? mesh.faceMaterials[f] : mesh.faceMaterials.back();
        for (size_t k = 1; k + 1 < ids.size(); ++k)
          tris.push_back({materialBase + material, {ids[0], ids[k], ids[k + 1]}});
      }
    }
    if (tris.empty()) {
      *why = "the file holds no polygons";
      return false;
    }
    const auto subsets = static_cast<uint32_t>(out->materials.size());
    std::vector<std::vector<uint32_t>> bySubset(subsets);
    for (const Tri& t : tris)
      for (uint32_t k = 0; k < 3; ++k) bySubset[t.material].push_back(t.v[k]);
    GiveSubsetsTheirOwnVertices(&vertices, &bySubset);
    out->vertices = std::move(vertices);
    out->subsetStart.assign(subsets + 1, 0);
    for (uint32_t s = 0; s < subsets; ++s) {
      out->subsetStart[s] = out->TriangleCount();
      for (uint32_t v : bySubset[s]) out->indices.push_back(static_cast<uint16_t>(v));
    }
    out->subsetStart[subsets] = out->TriangleCount();
    return true;
  }

  // Lays the vertices out subset by subset, each subset's in the order its
  // triangles first use them, copying a vertex that several subsets share.
  // A subset then draws from a block of the buffer as long as the vertices
  // it uses, rather than from a range spread over the whole mesh (a device
  // that works on a draw's range of vertices does only that much). The
  // triangles and their corners stay the same. Kept as they were if the
  // copies would pass the 16-bit limit.
  static void GiveSubsetsTheirOwnVertices(std::vector<XVertex>* vertices,
                                          std::vector<std::vector<uint32_t>>* bySubset) {
    std::vector<XVertex> laidOut;
    std::vector<std::vector<uint32_t>> renumbered(bySubset->size());
    std::vector<uint32_t> placedAt(vertices->size());
    std::vector<size_t> placedFor(vertices->size(), 0);  // the subset (plus one) that placed it
    for (size_t s = 0; s < bySubset->size(); ++s) {
      for (uint32_t v : (*bySubset)[s]) {
        if (placedFor[v] != s + 1) {
          if (laidOut.size() == kMaxVertices) return;
          placedFor[v] = s + 1;
          placedAt[v] = static_cast<uint32_t>(laidOut.size());
          laidOut.push_back((*vertices)[v]);
        }
        renumbered[s].push_back(placedAt[v]);
      }
    }
    *vertices = std::move(laidOut);
    *bySubset = std::move(renumbered);
  }

  Lexer lex_;
  Token tok_;
  std::string error_;
  std::vector<RawMesh> meshes_;
  std::map<std::string, XMaterial> namedMaterials_;
};

}  // namespace

bool ParseXFile(const char* data, size_t size, XModel* out, std::string* why) {
  *out = XModel{};
  if (size < 16 || std::memcmp(data, "xof ", 4) != 0) {
    *why = "not a DirectX .x file";
    return false;
  }
  if (std::memcmp(data + 8, "txt ", 4) != 0) {
    *why = "only the text form of .x files is read (this one is binary or compressed)";
    return false;
  }
  Parser parser(data + 16, size - 16);
  return parser.Parse(out, why);
}
