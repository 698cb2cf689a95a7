// The .x reader gives what Direct3D's loader gives: positions as written,
// polygons as fans in file order, one subset per material in list order,
// materials as stored, frame transforms applied, and clear refusals.
#include "render/xfile.h"

#include <gtest/gtest.h>

namespace {

XModel Parse(const std::string& text, std::string* why = nullptr) {
  XModel model;
  std::string reason;
  const bool ok = ParseXFile(text.data(), text.size(), &model, &reason);
  if (why)
    *why = ok ? "" : reason;
  else
    EXPECT_TRUE(ok) << reason;
  return model;
}

const char* kQuadWithTwoMaterials = R"(xof 0303txt 0032
template Mesh { <3D82AB44-62DA-11cf-AB39-0020AF71E433> DWORD nVertices; }
Material Red { 1.0;0.0;0.0;0.5;; 12.0; 0.2;0.3;0.4;; 0.05;0.06;0.07;;
  TextureFilename { "Resource_Orvelune/Some/red.png"; }
}
Mesh Two {
  6;
  0;0;0;, 0;1;0;, 1;1;0;, 1;0;0;,
  2;0;0;, 2;1;0;;
  2;
  4;0,1,2,3;,
  3;3,2,4;;
  MeshMaterialList {
    2; 2; 1,0;;
    { Red }
    Material { 0.0;1.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
  }
}
)";

}  // namespace

TEST(XFile, SplitsPolygonsIntoFansAndGroupsFacesByMaterial) {
  const XModel m = Parse(kQuadWithTwoMaterials);
  ASSERT_EQ(m.materials.size(), 2u);
  ASSERT_EQ(m.TriangleCount(), 3u);
  // Subset 0 (the list's first material, Red) owns the triangle; subset 1 the quad's fan.
  EXPECT_EQ(m.subsetStart, (std::vector<uint32_t>{0, 1, 3}));
  auto pos = [&](uint32_t tri, int k) { return m.vertices[m.indices[tri * 3 + k]].position; };
  EXPECT_EQ(pos(0, 0), Vec3(1, 0, 0));
  EXPECT_EQ(pos(0, 2), Vec3(2, 0, 0));
  // The quad 0 1 2 3 becomes 0 1 2 and 0 2 3, in file order.
  EXPECT_EQ(pos(1, 0), Vec3(0, 0, 0));
  EXPECT_EQ(pos(1, 1), Vec3(0, 1, 0));
  EXPECT_EQ(pos(1, 2), Vec3(1, 1, 0));
  EXPECT_EQ(pos(2, 1), Vec3(1, 1, 0));
  EXPECT_EQ(pos(2, 2), Vec3(1, 0, 0));
}

TEST(XFile, EachSubsetDrawsFromABlockOfVerticesOfItsOwn) {
  // The quad and the triangle share two corners, (1,0,0) and (1,1,0): each
  // subset gets its own copies, so subset 0 uses vertices 0 to 2 and subset
  // 1 vertices 3 to 6, each in the order its triangles first use them.
  const XModel m = Parse(kQuadWithTwoMaterials);
  ASSERT_EQ(m.vertices.size(), 7u);
  EXPECT_EQ(std::vector<uint16_t>(m.indices.begin(), m.indices.begin() + 3),
            (std::vector<uint16_t>{0, 1, 2}));
  EXPECT_EQ(std::vector<uint16_t>(m.indices.begin() + 3, m.indices.end()),
            (std::vector<uint16_t>{3, 4, 5, 3, 5, 6}));
  EXPECT_EQ(m.vertices[0].position, m.vertices[6].position);  // the shared corner (1,0,0)
  EXPECT_EQ(m.vertices[1].position, m.vertices[5].position);  // and (1,1,0)
}

TEST(XFile, CopiesMaterialsAsStoredWithAmbientZero) {
  const XModel m = Parse(kQuadWithTwoMaterials);
  const D3DMATERIAL9& red = m.materials[0].material;
  EXPECT_FLOAT_EQ(red.Diffuse.r, 1.0f);
  EXPECT_FLOAT_EQ(red.Diffuse.a, 0.5f);
  EXPECT_FLOAT_EQ(red.Power, 12.0f);
  EXPECT_FLOAT_EQ(red.Specular.b, 0.4f);
  EXPECT_FLOAT_EQ(red.Emissive.g, 0.06f);
  EXPECT_FLOAT_EQ(red.Ambient.r, 0.0f);
  EXPECT_EQ(m.materials[0].textureFile, "Resource_Orvelune/Some/red.png");
  EXPECT_TRUE(m.materials[1].textureFile.empty());  // a material without a texture
}

TEST(XFile, AppliesNestedFrameTransforms) {
  const XModel m = Parse(R"(xof 0303txt 0032
Frame Outer {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 10,0,0,1;; }
  Frame Inner {
    FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 0,5,0,1;; }
    Mesh { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;; }
  }
}
)");
  ASSERT_EQ(m.vertices.size(), 3u);
  // Scaled by 2 and moved up 5 by the inner frame, then 10 along x by the outer.
  EXPECT_EQ(m.vertices[0].position, Vec3(10, 5, 0));
  EXPECT_EQ(m.vertices[1].position, Vec3(12, 5, 0));
  EXPECT_EQ(m.vertices[2].position, Vec3(10, 5, 2));
  ASSERT_EQ(m.materials.size(), 1u);  // no material list: one plain subset
}

TEST(XFile, SplitsVerticesWhereFaceNormalsDiffer) {
  const XModel m = Parse(R"(xof 0303txt 0032
Mesh { 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
  2; 3;0,1,2;, 3;0,2,3;;
  MeshNormals { 2; 0;0;-1;, 0;0;1;; 2; 3;0,0,0;, 3;1,1,1;; }
  MeshTextureCoords { 4; 0;0;, 1;0;, 1;1;, 0;1;; }
}
)");
  // Corners 0 and 2 are shared with different normals: 6 vertices.
  EXPECT_EQ(m.vertices.size(), 6u);
  EXPECT_EQ(m.vertices[m.indices[0]].normal, Vec3(0, 0, -1));
  EXPECT_EQ(m.vertices[m.indices[3]].normal, Vec3(0, 0, 1));
  EXPECT_FLOAT_EQ(m.vertices[m.indices[4]].uv.x, 1.0f);
  EXPECT_FLOAT_EQ(m.vertices[m.indices[4]].uv.y, 1.0f);
}

TEST(XFile, RefusesBrokenFilesWithAReason) {
  std::string why;
  Parse("xof 0303bin 0032 ....", &why);
  EXPECT_NE(why.find("binary"), std::string::npos);
  Parse("not a model at all", &why);
  EXPECT_EQ(why, "not a DirectX .x file");
  Parse("xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,7;; }\n", &why);
  EXPECT_NE(why.find("missing vertex"), std::string::npos) << why;
  Parse("xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;", &why);
  EXPECT_NE(why.find("line 2"), std::string::npos) << why;
  Parse("xof 0303txt 0032\nMesh { 99999999; }\n", &why);
  EXPECT_NE(why.find("out of range"), std::string::npos) << why;
  Parse(
      "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
      "MeshMaterialList { 1; 1; 0;; { Missing } } }\n",
      &why);
  EXPECT_NE(why.find("unknown material"), std::string::npos) << why;
  Parse("xof 0303txt 0032\n", &why);
  EXPECT_EQ(why, "the file holds no polygons");
}
