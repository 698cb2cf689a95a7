// The rules by which draws merge, checked without a graphics context: which
// draw may pass which, which run a draw joins, and the vertices a merged draw
// is made of.
#include "platform/common/draw_merger.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

struct TestKey {
  uint32_t state;
};
using TestMerger = DrawMerger<TestKey, int>;

// A rectangle of the screen at one depth range.
ScreenRect Rect(float x0, float y0, float x1, float y1, float z0 = 0.5f, float z1 = 0.5f) {
  return ScreenRect{x0, y0, x1, y1, z0, z1};
}

const ScreenRect kLeft = Rect(-0.9f, -0.1f, -0.7f, 0.1f);
const ScreenRect kMiddle = Rect(-0.1f, -0.1f, 0.1f, 0.1f);
const ScreenRect kRight = Rect(0.7f, -0.1f, 0.9f, 0.1f);
const ScreenRect kWide = Rect(-1, -0.2f, 1, 0.2f);

TEST(DrawMerger, WhichDrawsMayChangePlaces) {
  using enum DepthRole;
  const ScreenRect near = Rect(-0.5f, -0.5f, 0.5f, 0.5f, 0.1f, 0.2f);
  const ScreenRect far = Rect(-0.5f, -0.5f, 0.5f, 0.5f, 0.3f, 0.4f);
  const ScreenRect apart = Rect(0.6f, 0.6f, 0.8f, 0.8f, 0.3f, 0.4f);
  // Draws that share no pixel, whatever they are.
  EXPECT_TRUE(MayChangePlaces(kNone, near, kNone, apart));
  EXPECT_TRUE(MayChangePlaces(kTested, near, kNone, apart));
  // Two opaque, depth-written draws: the depth test decides either way.
  EXPECT_TRUE(MayChangePlaces(kOrderFree, near, kOrderFree, far));
  // An opaque draw wholly in front of a depth-tested one, from either side;
  // not when it lies behind or their depths overlap.
  EXPECT_TRUE(MayChangePlaces(kOrderFree, near, kTested, far));
  EXPECT_TRUE(MayChangePlaces(kTested, far, kOrderFree, near));
  EXPECT_FALSE(MayChangePlaces(kOrderFree, far, kTested, near));
  EXPECT_FALSE(
      MayChangePlaces(kOrderFree, Rect(-0.5f, -0.5f, 0.5f, 0.5f, 0.1f, 0.35f), kTested, far));
  // Blended or untested draws that meet keep their order.
  EXPECT_FALSE(MayChangePlaces(kTested, near, kTested, far));
  EXPECT_FALSE(MayChangePlaces(kNone, near, kOrderFree, far));
  EXPECT_FALSE(MayChangePlaces(kNone, near, kNone, far));
  // An empty rectangle meets nothing.
  EXPECT_TRUE(MayChangePlaces(kNone, ScreenRect{}, kNone, kWholeScreen));
}

TEST(DrawMerger, TheDepthRoleComesFromTheDepthBlendAndAlphaTestStates) {
  std::array<uint32_t, kRenderStateCount> rs{};
  EXPECT_EQ(DepthRoleOf(rs.data()), DepthRole::kNone);
  rs[D3DRS_ZENABLE] = 1;
  rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  EXPECT_EQ(DepthRoleOf(rs.data()), DepthRole::kTested);
  rs[D3DRS_ZWRITEENABLE] = 1;
  EXPECT_EQ(DepthRoleOf(rs.data()), DepthRole::kOrderFree);
  rs[D3DRS_ALPHATESTENABLE] = 1;  // pixels it rejects leave what was behind
  EXPECT_EQ(DepthRoleOf(rs.data()), DepthRole::kTested);
  rs[D3DRS_ALPHATESTENABLE] = 0;
  rs[D3DRS_ALPHABLENDENABLE] = 1;
  EXPECT_EQ(DepthRoleOf(rs.data()), DepthRole::kTested);
  rs[D3DRS_ZFUNC] = D3DCMP_GREATER;  // a test the rules do not reason about
  EXPECT_EQ(DepthRoleOf(rs.data()), DepthRole::kNone);
}

TEST(DrawMerger, ADrawJoinsTheEarliestRunOfItsKeyThatItMayPass) {
  TestMerger merger;
  TestMerger::Run* a = merger.Join({1}, DepthRole::kNone, 4, kLeft);
  a->states = 10;
  TestMerger::Run* b = merger.Join({2}, DepthRole::kNone, 4, kMiddle);
  ASSERT_NE(a, b);
  EXPECT_EQ(merger.Count(), 2u);
  // Key 1 again, clear of the run between: it joins the first run, whose
  // states stay those it was started with.
  TestMerger::Run* again = merger.Join({1}, DepthRole::kNone, 4, kRight);
  EXPECT_EQ(again, &merger[0]);
  EXPECT_EQ(again->states, 10);
  EXPECT_EQ(merger.Count(), 2u);
  // Key 1 over the run of key 2 (blended, so their order shows): a new run
  // after it.
  TestMerger::Run* over = merger.Join({1}, DepthRole::kNone, 4, kMiddle);
  EXPECT_EQ(over, &merger[2]);
  EXPECT_EQ(over->states, 0);
  // Opaque, depth-written draws pass each other wherever they lie.
  TestMerger opaque;
  opaque.Join({1}, DepthRole::kOrderFree, 4, kWide);
  opaque.Join({2}, DepthRole::kOrderFree, 4, kWide);
  EXPECT_EQ(opaque.Join({1}, DepthRole::kOrderFree, 4, kWide), &opaque[0]);
  EXPECT_EQ(opaque.Count(), 2u);
}

TEST(DrawMerger, ADrawPassesARunBetweenItsDrawsButNotOverAny) {
  TestMerger merger;
  merger.Join({2}, DepthRole::kNone, 4, kLeft);
  merger.Join({2}, DepthRole::kNone, 4, kRight);  // the run now spans the screen
  EXPECT_EQ(merger.Count(), 1u);
  EXPECT_TRUE(merger.MayGoFirst(DepthRole::kNone, kMiddle));
  EXPECT_FALSE(merger.MayGoFirst(DepthRole::kNone, kLeft));
  EXPECT_FALSE(merger.MayGoFirst(DepthRole::kNone, kWide));
  // A run's first eight draws keep their own rectangles; later ones are
  // taken into the last, which may then cover the gap.
  TestMerger many;
  for (int i = 0; i < 7; ++i) many.Join({2}, DepthRole::kNone, 4, kLeft);
  many.Join({2}, DepthRole::kNone, 4, kRight);
  EXPECT_TRUE(many.MayGoFirst(DepthRole::kNone, kMiddle));
  many.Join({2}, DepthRole::kNone, 4, kLeft);  // joins the eighth: left to right
  EXPECT_FALSE(many.MayGoFirst(DepthRole::kNone, kMiddle));
}

TEST(DrawMerger, RunsHaveLimitsOfVerticesCountAndLookBack) {
  TestMerger merger;
  merger.Join({1}, DepthRole::kNone, 4, kLeft)->vertices.resize(TestMerger::kRunVertexLimit - 4);
  // Exactly full still joins; one more vertex starts a run of its own.
  EXPECT_EQ(merger.Join({1}, DepthRole::kNone, 4, kLeft), &merger[0]);
  merger[0].vertices.resize(TestMerger::kRunVertexLimit - 4);
  TestMerger::Run* next = merger.Join({1}, DepthRole::kNone, 5, kLeft);
  EXPECT_EQ(merger.Count(), 2u);
  EXPECT_EQ(next, &merger[1]);

  // A run more than kRunsLookedAt runs back is not found, even when the
  // draw could pass every run between.
  TestMerger far;
  far.Join({1}, DepthRole::kNone, 4, kLeft);
  for (uint32_t i = 0; i < TestMerger::kRunsLookedAt; ++i)
    far.Join({100 + i}, DepthRole::kNone, 4, kRight);
  TestMerger::Run* latest = far.Join({1}, DepthRole::kNone, 4, kLeft);
  EXPECT_EQ(far.Count(), TestMerger::kRunsLookedAt + 2);
  EXPECT_EQ(latest, &far[far.Count() - 1]);

  // When kMaxRuns are gathered a draw that needs a new run gets none (the
  // device draws the runs first); one that joins a run still does.
  TestMerger full;
  for (uint32_t i = 0; i < TestMerger::kMaxRuns; ++i)
    ASSERT_NE(full.Join({i}, DepthRole::kOrderFree, 4, kWide), nullptr);
  EXPECT_EQ(full.Join({TestMerger::kMaxRuns - 1}, DepthRole::kOrderFree, 4, kWide),
            &full[TestMerger::kMaxRuns - 1]);
  EXPECT_EQ(full.Join({9999}, DepthRole::kOrderFree, 4, kWide), nullptr);
  // Cleared, the merger starts again with empty runs.
  full[0].vertices.resize(3);
  full.Clear();
  EXPECT_EQ(full.Count(), 0u);
  TestMerger::Run* first = full.Join({5}, DepthRole::kNone, 4, kLeft);
  EXPECT_TRUE(first->vertices.empty());
  EXPECT_EQ(first->partCount, 1u);
}

TEST(DrawMerger, TheRectangleOfABoxIsWhereItShowsAPixelWider) {
  const float lo[3] = {-0.5f, -0.5f, 0}, hi[3] = {0.5f, 0.5f, 0};
  // Seen straight, a unit square a unit away through a 90-degree lens
  // covers half the screen each way, plus a pixel.
  const Matrix projection = MatrixPerspectiveFovLH(kPi / 2, 1, 0.1f, 100);
  const ScreenRect r = RectAround(MatrixTranslation(0, 0, 1) * projection, lo, hi, 200, 100);
  EXPECT_NEAR(r.x0, -0.5f - 0.01f, 1e-5f);
  EXPECT_NEAR(r.x1, 0.5f + 0.01f, 1e-5f);
  EXPECT_NEAR(r.y0, -0.5f - 0.02f, 1e-5f);
  EXPECT_NEAR(r.y1, 0.5f + 0.02f, 1e-5f);
  EXPECT_LT(r.z0, r.z1 + 1e-6f);
  // A corner at or behind the eye: the draw may reach anywhere.
  const ScreenRect behind =
      RectAround(MatrixTranslation(0, 0, -0.2f) * projection, lo, hi, 200, 100);
  EXPECT_TRUE(behind.Meets(Rect(0.99f, 0.99f, 1, 1)));
  EXPECT_TRUE(behind.Meets(Rect(-1, -1, -0.99f, -0.99f)));
  // Off to the side of the screen: nothing.
  EXPECT_TRUE(RectAround(MatrixTranslation(10, 0, 1) * projection, lo, hi, 200, 100).Empty());
}

// Vertices of position, normal and texture coordinates, as the game's meshes.
struct Vertex {
  float x, y, z, nx, ny, nz, u, v;
};
const std::vector<D3DVERTEXELEMENT9> kLayout = {
    {0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
    {0, 24, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0}};

TEST(DrawMerger, OnlyPositionNormalColourAndTextureLayoutsMerge) {
  MergeLayout layout;
  ASSERT_TRUE(MergeLayoutOf(kLayout, &layout));
  EXPECT_EQ(layout.pos, 0);
  EXPECT_EQ(layout.normal, 12);
  EXPECT_EQ(layout.tex, 24);
  EXPECT_EQ(layout.color, -1);
  MergeLayout other;
  EXPECT_FALSE(MergeLayoutOf({{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0}}, &other))
      << "no position";
  EXPECT_FALSE(MergeLayoutOf({{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                              {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_TEXCOORD, 0}},
                             &other))
      << "three texture coordinates";
}

TEST(DrawMerger, MergedVerticesAreInWorldSpaceAndFansAndStripsBecomeLists) {
  const Vertex quad[5] = {{9, 9, 9, 0, 0, 0, 0, 0},  // unused: below the lowest index
                          {0, 0, 0, 1, 0, 0, 0, 0},
                          {0, 1, 0, 0, 1, 0, 0, 1},
                          {1, 1, 0, 0, 0, 1, 1, 1},
                          {1, 0, 0, 0, 0, 1, 1, 0}};
  MergeLayout layout;
  ASSERT_TRUE(MergeLayoutOf(kLayout, &layout));
  const DrawVertices source{reinterpret_cast<const uint8_t*>(quad), 0, 0, sizeof(Vertex)};
  // Stretched twice along x and moved: positions follow, and the normal
  // along x shrinks by the stretch (the inverse transpose), as lighting needs.
  const Matrix world = MatrixScaling(2, 1, 1) * MatrixTranslation(10, 20, 30);
  std::vector<MergedVertex> vertices(3);  // three from an earlier draw of the run
  std::vector<uint32_t> triangles;
  const uint16_t fan[4] = {1, 2, 3, 4};
  AppendDraw(source, layout, D3DPT_TRIANGLEFAN, fan, 4, 1, 4, world, &vertices, &triangles);
  ASSERT_EQ(vertices.size(), 7u);
  const MergedVertex& corner = vertices[3 + 2];  // quad[3]
  EXPECT_FLOAT_EQ(corner.x, 12);
  EXPECT_FLOAT_EQ(corner.y, 21);
  EXPECT_FLOAT_EQ(corner.z, 30);
  EXPECT_FLOAT_EQ(corner.u, 1);
  EXPECT_EQ(corner.color, 0xFFFFFFFFu) << "vertices without a colour are white";
  EXPECT_FLOAT_EQ(vertices[3].nx, 0.5f);
  EXPECT_FLOAT_EQ(vertices[3].ny, 0);
  // The fan 1-2-3-4 is the triangles 1-2-3 and 1-3-4, numbered after the
  // earlier vertices.
  EXPECT_EQ(triangles, (std::vector<uint32_t>{3, 4, 5, 3, 5, 6}));

  // A strip's every other triangle turns back to keep the winding.
  triangles.clear();
  vertices.clear();
  const uint16_t strip[5] = {1, 2, 4, 3, 1};
  AppendDraw(source, layout, D3DPT_TRIANGLESTRIP, strip, 5, 1, 4, Matrix::Identity(), &vertices,
             &triangles);
  EXPECT_EQ(triangles, (std::vector<uint32_t>{0, 1, 3, 3, 1, 2, 3, 2, 0}));
  // A list stays as it is; a base vertex moves where the indices point.
  triangles.clear();
  vertices.clear();
  const DrawVertices shifted{reinterpret_cast<const uint8_t*>(quad), 0, 1, sizeof(Vertex)};
  const uint16_t list[3] = {0, 1, 2};
  AppendDraw(shifted, layout, D3DPT_TRIANGLELIST, list, 3, 0, 2, Matrix::Identity(), &vertices,
             &triangles);
  EXPECT_EQ(triangles, (std::vector<uint32_t>{0, 1, 2}));
  EXPECT_FLOAT_EQ(vertices[0].x, 0);
  EXPECT_FLOAT_EQ(vertices[2].x, 1);
}

}  // namespace
