#include "platform/common/draw_merger.h"

DepthRole DepthRoleOf(const uint32_t* rs) {
  if (!rs[D3DRS_ZENABLE] || (rs[D3DRS_ZFUNC] != D3DCMP_LESS && rs[D3DRS_ZFUNC] != D3DCMP_LESSEQUAL))
    return DepthRole::kNone;
  return rs[D3DRS_ZWRITEENABLE] && !rs[D3DRS_ALPHABLENDENABLE] && !rs[D3DRS_ALPHATESTENABLE]
             ? DepthRole::kOrderFree
             : DepthRole::kTested;
}

bool MayChangePlaces(DepthRole a, const ScreenRect& ra, DepthRole b, const ScreenRect& rb) {
  if (!ra.Meets(rb)) return true;
  if (a == DepthRole::kOrderFree && b == DepthRole::kOrderFree) return true;
  if (a == DepthRole::kOrderFree && b == DepthRole::kTested) return ra.z1 < rb.z0;
  if (b == DepthRole::kOrderFree && a == DepthRole::kTested) return rb.z1 < ra.z0;
  return false;
}

ScreenRect RectAround(const Matrix& m, const float lo[3], const float hi[3], int width,
                      int height) {
  ScreenRect r;
  for (int c = 0; c < 8; ++c) {
    const float px = c & 1 ? hi[0] : lo[0], py = c & 2 ? hi[1] : lo[1], pz = c & 4 ? hi[2] : lo[2];
    const float x = px * m[0][0] + py * m[1][0] + pz * m[2][0] + m[3][0];
    const float y = px * m[0][1] + py * m[1][1] + pz * m[2][1] + m[3][1];
    const float w = px * m[0][3] + py * m[1][3] + pz * m[2][3] + m[3][3];
    const float z = px * m[0][2] + py * m[1][2] + pz * m[2][2] + m[3][2];
    if (!(w > 1e-5f)) return kWholeScreen;
    r.Add(ScreenRect{x / w, y / w, x / w, y / w, z / w, z / w});
  }
  const float mx = 2.0f / static_cast<float>(width), my = 2.0f / static_cast<float>(height);
  r.x0 -= mx;
  r.x1 += mx;
  r.y0 -= my;
  r.y1 += my;
  if (r.x1 < -1 || r.x0 > 1 || r.y1 < -1 || r.y0 > 1) return ScreenRect{};
  return r;
}

bool MergeLayoutOf(const std::vector<D3DVERTEXELEMENT9>& elements, MergeLayout* l) {
  for (const auto& e : elements) {
    if (e.Usage == D3DDECLUSAGE_POSITION && e.Type == D3DDECLTYPE_FLOAT3)
      l->pos = e.Offset;
    else if (e.Usage == D3DDECLUSAGE_NORMAL && e.Type == D3DDECLTYPE_FLOAT3)
      l->normal = e.Offset;
    else if (e.Usage == D3DDECLUSAGE_COLOR && e.Type == D3DDECLTYPE_D3DCOLOR)
      l->color = e.Offset;
    else if (e.Usage == D3DDECLUSAGE_TEXCOORD && e.Type == D3DDECLTYPE_FLOAT2)
      l->tex = e.Offset;
    else
      return false;
  }
  return l->pos >= 0;
}

void AppendDraw(const DrawVertices& source, const MergeLayout& layout, D3DPRIMITIVETYPE type,
                const uint16_t* indices, uint32_t indexCount, uint32_t lowest, uint32_t highest,
                const Matrix& w, std::vector<MergedVertex>* vertices,
                std::vector<uint32_t>* triangles) {
  Matrix inv;
  if (!MatrixInverse(&inv, nullptr, w)) inv = Matrix::Identity();
  const uint32_t count = highest - lowest + 1;
  const uint32_t first = static_cast<uint32_t>(vertices->size()) - lowest;
  vertices->resize(vertices->size() + count);
  MergedVertex* out = vertices->data() + vertices->size() - count;
  for (uint32_t k = lowest; k <= highest; ++k, ++out) {
    const uint8_t* vtx = source.At(k);
    float p[3], n[3] = {0, 1, 0}, uv[2] = {0, 0};
    std::memcpy(p, vtx + layout.pos, sizeof p);
    if (layout.normal >= 0) std::memcpy(n, vtx + layout.normal, sizeof n);
    if (layout.tex >= 0) std::memcpy(uv, vtx + layout.tex, sizeof uv);
    out->color = 0xFFFFFFFF;
    if (layout.color >= 0) std::memcpy(&out->color, vtx + layout.color, sizeof out->color);
    out->x = p[0] * w[0][0] + p[1] * w[1][0] + p[2] * w[2][0] + w[3][0];
    out->y = p[0] * w[0][1] + p[1] * w[1][1] + p[2] * w[2][1] + w[3][1];
    out->z = p[0] * w[0][2] + p[1] * w[1][2] + p[2] * w[2][2] + w[3][2];
    // n times the transpose of the inverse: n . (row j of the inverse).
    out->nx = n[0] * inv[0][0] + n[1] * inv[0][1] + n[2] * inv[0][2];
    out->ny = n[0] * inv[1][0] + n[1] * inv[1][1] + n[2] * inv[1][2];
    out->nz = n[0] * inv[2][0] + n[1] * inv[2][1] + n[2] * inv[2][2];
    out->u = uv[0];
    out->v = uv[1];
  }
  auto triangle = [&](uint32_t a, uint32_t b, uint32_t c) {
    triangles->push_back(first + indices[a]);
    triangles->push_back(first + indices[b]);
    triangles->push_back(first + indices[c]);
  };
  if (type == D3DPT_TRIANGLELIST) {
    for (uint32_t i = 0; i + 2 < indexCount; i += 3) triangle(i, i + 1, i + 2);
  } else if (type == D3DPT_TRIANGLEFAN) {
    for (uint32_t i = 1; i + 1 < indexCount; ++i) triangle(0, i, i + 1);
  } else {
    for (uint32_t i = 0; i + 2 < indexCount; ++i) {
      if (i % 2 == 0)
        triangle(i, i + 1, i + 2);
      else
        triangle(i + 1, i, i + 2);
    }
  }
}
