// The rules by which a device merges small draws into fewer, larger ones.
//
// A stage draws hundreds of small meshes one after another, many with the
// same material, texture and states and only the world matrix changing (the
// floor chips above all). Draws with the same states are gathered into a run:
// each mesh's vertices are moved to world space (fans and strips become
// lists), and the run is drawn at once with an identity world matrix when the
// frame ends or anything else needs the picture as it is.
//
// Merging moves a draw back to an earlier run with its states, past the runs
// gathered since. That keeps the picture only where the draw does not depend
// on their order: when they cover no common pixel (each run keeps the screen
// rectangles around its draws), when both are opaque, depth tested and
// written (then only pixels at exactly equal depth could tell), or when an
// opaque one lies wholly in front of a depth-tested one. Otherwise the draw
// starts a new run after them.
//
// Nothing here calls a graphics interface: a device supplies the key its
// draws compare by, the states a run is drawn under, and the drawing.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "base/math.h"
#include "platform/d3d_types.h"

// A rectangle of the screen in normalised device coordinates, and the range
// of depths in it.
struct ScreenRect {
  float x0 = 2, y0 = 2, x1 = -2, y1 = -2;  // empty
  float z0 = 2, z1 = -2;
  bool Empty() const { return x0 > x1 || y0 > y1; }
  bool Meets(const ScreenRect& o) const {
    return !Empty() && !o.Empty() && x0 <= o.x1 && o.x0 <= x1 && y0 <= o.y1 && o.y0 <= y1;
  }
  void Add(const ScreenRect& o) {
    x0 = std::min(x0, o.x0);
    y0 = std::min(y0, o.y0);
    x1 = std::max(x1, o.x1);
    y1 = std::max(y1, o.y1);
    z0 = std::min(z0, o.z0);
    z1 = std::max(z1, o.z1);
  }
};

// The whole screen at every depth: what a draw that may reach anywhere covers.
constexpr ScreenRect kWholeScreen{-2, -2, 2, 2, -2, 2};

// How a draw takes part in the depth test, for deciding whether two draws may
// change places.
enum class DepthRole : uint8_t {
  kNone,       // neither tested nor written (or tested otherwise)
  kTested,     // tested with LESS or LESSEQUAL: hidden behind what is nearer
  kOrderFree,  // also opaque and written: the nearest such draw wins whatever the order
};

// The depth role of a draw made under these render states.
DepthRole DepthRoleOf(const uint32_t* renderStates);

// Whether two draws give the same picture in either order: when they share no
// pixel; when both are order-free (only pixels at exactly equal depth could
// tell); or when an order-free one lies wholly in front of a depth-tested one
// (where they meet, the front one shows either way: drawn last it covers the
// other, drawn first it hides it).
bool MayChangePlaces(DepthRole a, const ScreenRect& ra, DepthRole b, const ScreenRect& rb);

// The screen rectangle around a box (in a draw's own coordinates) as the
// world-view-projection matrix shows it on a picture of width x height
// pixels, a pixel wider on each side; the whole screen when a corner lies at
// or behind the eye (its triangles may reach anywhere), nothing when it lies
// off the screen.
ScreenRect RectAround(const Matrix& worldViewProjection, const float lo[3], const float hi[3],
                      int width, int height);

// A vertex of a run, in world space.
struct MergedVertex {
  float x, y, z, nx, ny, nz, u, v;
  uint32_t color;  // D3DCOLOR; white when the draw's vertices have none
};

// Where a vertex declaration puts the float3 position, float3 normal,
// D3DCOLOR colour and float2 texture coordinates (those present, -1 for the
// others).
struct MergeLayout {
  int pos = -1, normal = -1, color = -1, tex = -1;
};
// The layout of a declaration, or false when it has anything else (or no
// position) and its draws cannot merge.
bool MergeLayoutOf(const std::vector<D3DVERTEXELEMENT9>& elements, MergeLayout* layout);

// The vertices of one draw: vertex k (an index as its index buffer holds it)
// starts at data + offset + (k + baseVertex) * stride.
struct DrawVertices {
  const uint8_t* data;
  size_t offset;
  int64_t baseVertex;
  uint32_t stride;
  const uint8_t* At(uint32_t k) const {
    return data + offset + static_cast<size_t>(static_cast<int64_t>(k) + baseVertex) * stride;
  }
};

// Appends a draw's vertices lowest..highest moved to world space (positions
// through the world matrix as row vectors, normals through its inverse
// transpose, as the shader would) and its triangles as a list, wound the same
// way (fans and strips become lists).
void AppendDraw(const DrawVertices& source, const MergeLayout& layout, D3DPRIMITIVETYPE type,
                const uint16_t* indices, uint32_t indexCount, uint32_t lowest, uint32_t highest,
                const Matrix& world, std::vector<MergedVertex>* vertices,
                std::vector<uint32_t>* triangles);

// The runs being gathered. Key is what a draw's picture depends on besides its
// world matrix, compared as bytes (so it must have no padding); States is what
// the device draws a run under, kept with it.
template <class Key, class States>
class DrawMerger {
  static_assert(std::is_trivially_copyable_v<Key>);

 public:
  // Meshes with more vertices draw alone from their own buffers: moving them
  // to world space every frame would cost more than their draw.
  static constexpr uint32_t kMaxMeshVertices = 512;
  static constexpr size_t kRunVertexLimit = 60000;  // vertices in one merged draw
  static constexpr size_t kMaxRuns = 256;           // runs gathered before they are drawn
  static constexpr size_t kRunsLookedAt = 64;       // runs looked back over for a draw's key

  struct Run {
    Key key{};
    States states{};
    DepthRole depth = DepthRole::kNone;
    // The rectangle around all its draws, and the rectangles of its draws
    // themselves (the last one taking in the rest when there are more), so a
    // draw may pass the run between draws far apart.
    ScreenRect rect;
    std::array<ScreenRect, 8> parts;
    size_t partCount = 0;
    std::vector<MergedVertex> vertices;
    std::vector<uint32_t> indices;

    void AddRect(const ScreenRect& r) {
      rect.Add(r);
      if (partCount < parts.size())
        parts[partCount++] = r;
      else
        parts.back().Add(r);
    }
    // Whether a draw with this depth role and rectangle may be drawn before
    // the run as well as after it.
    bool MayChangePlacesWith(DepthRole other, const ScreenRect& r) const {
      if (!r.Meets(rect)) return true;
      for (size_t i = 0; i < partCount; ++i)
        if (!MayChangePlaces(other, r, depth, parts[i])) return false;
      return true;
    }
  };

  // Whether a draw drawn now, ahead of every gathered run, gives the picture
  // it would give after them.
  bool MayGoFirst(DepthRole depth, const ScreenRect& rect) const {
    for (size_t j = 0; j < count_; ++j)
      if (!runs_[j].MayChangePlacesWith(depth, rect)) return false;
    return true;
  }

  // The run a draw with this key, depth role, vertex count and rectangle
  // joins: the earliest run with the key that has room and after which every
  // run gathered may be drawn after the draw; otherwise a new run at the end
  // (empty: the caller gives it its states). Null when a new run is needed
  // and kMaxRuns are gathered: the caller draws them first and asks again.
  // The draw's rectangle is added to the run. The run stays where it is
  // until the next Join or Clear.
  Run* Join(const Key& key, DepthRole depth, size_t vertices, const ScreenRect& rect) {
    const size_t stop = count_ > kRunsLookedAt ? count_ - kRunsLookedAt : 0;
    Run* found = nullptr;
    for (size_t j = count_; j-- > stop;) {
      Run& r = runs_[j];
      if (r.vertices.size() + vertices <= kRunVertexLimit &&
          std::memcmp(&r.key, &key, sizeof key) == 0)
        found = &r;
      if (!r.MayChangePlacesWith(depth, rect)) break;
    }
    if (!found) {
      if (count_ == kMaxRuns) return nullptr;
      if (count_ == runs_.size()) runs_.emplace_back();
      found = &runs_[count_++];
      found->key = key;
      found->depth = depth;
      found->rect = ScreenRect{};
      found->partCount = 0;
      found->vertices.clear();
      found->indices.clear();
    }
    found->AddRect(rect);
    return found;
  }

  // The runs gathered, in the order they are to be drawn.
  size_t Count() const { return count_; }
  Run& operator[](size_t i) { return runs_[i]; }
  const Run& operator[](size_t i) const { return runs_[i]; }
  // Forgets the gathered runs (their storage stays for later frames).
  void Clear() { count_ = 0; }

 private:
  std::vector<Run> runs_;
  size_t count_ = 0;
};
