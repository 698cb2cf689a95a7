// The subset of Direct3D 9 types and constants that the game uses, with the
// names and values Direct3D gives them, so the game's drawing code reads like
// its design. The platform backends implement their meaning.
#pragma once

#include <cstdint>

using D3DCOLOR = uint32_t;  // 0xAARRGGBB

constexpr D3DCOLOR D3DCOLOR_ARGB(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return ((a & 0xFF) << 24) | ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}
constexpr D3DCOLOR D3DCOLOR_XRGB(uint32_t r, uint32_t g, uint32_t b) {
  return D3DCOLOR_ARGB(0xFF, r, g, b);
}

struct RECT {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct D3DCOLORVALUE {
  float r = 0, g = 0, b = 0, a = 0;
};

struct D3DVECTOR {
  float x = 0, y = 0, z = 0;
};

struct D3DMATERIAL9 {
  D3DCOLORVALUE Diffuse;
  D3DCOLORVALUE Ambient;
  D3DCOLORVALUE Specular;
  D3DCOLORVALUE Emissive;
  float Power = 0;
};
static_assert(sizeof(D3DMATERIAL9) == 68, "D3DMATERIAL9 is 68 bytes");

enum D3DLIGHTTYPE : int32_t {
  D3DLIGHT_POINT = 1,
  D3DLIGHT_SPOT = 2,
  D3DLIGHT_DIRECTIONAL = 3,
};

struct D3DLIGHT9 {
  int32_t Type = 0;  // D3DLIGHTTYPE; 0 when a light file names no known type
  D3DCOLORVALUE Diffuse;
  D3DCOLORVALUE Specular;
  D3DCOLORVALUE Ambient;
  D3DVECTOR Position;
  D3DVECTOR Direction;
  float Range = 0;
  float Falloff = 0;
  float Attenuation0 = 0;
  float Attenuation1 = 0;
  float Attenuation2 = 0;
  float Theta = 0;
  float Phi = 0;
};

enum D3DTRANSFORMSTATETYPE : uint32_t {
  D3DTS_VIEW = 2,
  D3DTS_PROJECTION = 3,
  D3DTS_TEXTURE0 = 16,
  D3DTS_WORLD = 256,
};

enum D3DRENDERSTATETYPE : uint32_t {
  D3DRS_ZENABLE = 7,
  D3DRS_ZWRITEENABLE = 14,
  D3DRS_ALPHATESTENABLE = 15,
  D3DRS_SRCBLEND = 19,
  D3DRS_DESTBLEND = 20,
  D3DRS_CULLMODE = 22,
  D3DRS_ZFUNC = 23,
  D3DRS_ALPHAREF = 24,
  D3DRS_ALPHAFUNC = 25,
  D3DRS_ALPHABLENDENABLE = 27,
  D3DRS_SPECULARENABLE = 29,
  D3DRS_TEXTUREFACTOR = 60,
  D3DRS_LIGHTING = 137,
  D3DRS_AMBIENT = 139,
  D3DRS_COLORVERTEX = 141,
  D3DRS_NORMALIZENORMALS = 143,
  D3DRS_DIFFUSEMATERIALSOURCE = 145,
};
constexpr uint32_t kRenderStateCount = 256;
// Every render state above, for code that goes through them all.
constexpr D3DRENDERSTATETYPE kRenderStates[] = {D3DRS_ZENABLE,
                                                D3DRS_ZWRITEENABLE,
                                                D3DRS_ALPHATESTENABLE,
                                                D3DRS_SRCBLEND,
                                                D3DRS_DESTBLEND,
                                                D3DRS_CULLMODE,
                                                D3DRS_ZFUNC,
                                                D3DRS_ALPHAREF,
                                                D3DRS_ALPHAFUNC,
                                                D3DRS_ALPHABLENDENABLE,
                                                D3DRS_SPECULARENABLE,
                                                D3DRS_TEXTUREFACTOR,
                                                D3DRS_LIGHTING,
                                                D3DRS_AMBIENT,
                                                D3DRS_COLORVERTEX,
                                                D3DRS_NORMALIZENORMALS,
                                                D3DRS_DIFFUSEMATERIALSOURCE};

enum D3DBLEND : uint32_t {
  D3DBLEND_ZERO = 1,
  D3DBLEND_ONE = 2,
  D3DBLEND_SRCCOLOR = 3,
  D3DBLEND_INVSRCCOLOR = 4,
  D3DBLEND_SRCALPHA = 5,
  D3DBLEND_INVSRCALPHA = 6,
  D3DBLEND_DESTALPHA = 7,
  D3DBLEND_INVDESTALPHA = 8,
  D3DBLEND_DESTCOLOR = 9,
  D3DBLEND_INVDESTCOLOR = 10,
};

enum D3DCULL : uint32_t { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };

enum D3DCMPFUNC : uint32_t {
  D3DCMP_NEVER = 1,
  D3DCMP_LESS = 2,
  D3DCMP_EQUAL = 3,
  D3DCMP_LESSEQUAL = 4,
  D3DCMP_GREATER = 5,
  D3DCMP_NOTEQUAL = 6,
  D3DCMP_GREATEREQUAL = 7,
  D3DCMP_ALWAYS = 8,
};

enum D3DMATERIALCOLORSOURCE : uint32_t {
  D3DMCS_MATERIAL = 0,
  D3DMCS_COLOR1 = 1,
  D3DMCS_COLOR2 = 2
};

enum D3DTEXTURESTAGESTATETYPE : uint32_t {
  D3DTSS_COLOROP = 1,
  D3DTSS_COLORARG1 = 2,
  D3DTSS_COLORARG2 = 3,
  D3DTSS_ALPHAOP = 4,
  D3DTSS_ALPHAARG1 = 5,
  D3DTSS_ALPHAARG2 = 6,
  D3DTSS_TEXTURETRANSFORMFLAGS = 24,
};
constexpr uint32_t kTextureStageStateCount = 33;
// Every texture stage state above.
constexpr D3DTEXTURESTAGESTATETYPE kTextureStageStates[] = {D3DTSS_COLOROP,
                                                            D3DTSS_COLORARG1,
                                                            D3DTSS_COLORARG2,
                                                            D3DTSS_ALPHAOP,
                                                            D3DTSS_ALPHAARG1,
                                                            D3DTSS_ALPHAARG2,
                                                            D3DTSS_TEXTURETRANSFORMFLAGS};
constexpr uint32_t kTextureStageCount = 8;

// Sampler states: how a stage's texture is filtered. Only the filters are
// supported; the game's devices start with linear filtering on every stage
// (Direct3D's own default is point).
enum D3DSAMPLERSTATETYPE : uint32_t {
  D3DSAMP_MAGFILTER = 5,
  D3DSAMP_MINFILTER = 6,
};
constexpr uint32_t kSamplerStateCount = 7;
constexpr D3DSAMPLERSTATETYPE kSamplerStates[] = {D3DSAMP_MAGFILTER, D3DSAMP_MINFILTER};
enum D3DTEXTUREFILTERTYPE : uint32_t {
  D3DTEXF_POINT = 1,
  D3DTEXF_LINEAR = 2,
};

enum D3DTEXTUREOP : uint32_t {
  D3DTOP_DISABLE = 1,
  D3DTOP_SELECTARG1 = 2,
  D3DTOP_SELECTARG2 = 3,
  D3DTOP_MODULATE = 4,
  D3DTOP_MODULATE2X = 5,
  D3DTOP_MODULATE4X = 6,
  D3DTOP_ADD = 7,
};

// Texture argument selectors.
constexpr uint32_t D3DTA_DIFFUSE = 0;
constexpr uint32_t D3DTA_CURRENT = 1;
constexpr uint32_t D3DTA_TEXTURE = 2;
constexpr uint32_t D3DTA_TFACTOR = 3;

enum D3DTEXTURETRANSFORMFLAGS : uint32_t {
  D3DTTFF_DISABLE = 0,
  D3DTTFF_COUNT1 = 1,
  D3DTTFF_COUNT2 = 2,
  D3DTTFF_COUNT3 = 3,
  D3DTTFF_COUNT4 = 4,
};

enum D3DPRIMITIVETYPE : uint32_t {
  D3DPT_TRIANGLELIST = 4,
  D3DPT_TRIANGLESTRIP = 5,
  D3DPT_TRIANGLEFAN = 6,
};

constexpr uint32_t D3DCLEAR_TARGET = 1;
constexpr uint32_t D3DCLEAR_ZBUFFER = 2;

// Results of the device calls that can fail.
using HRESULT = int32_t;
constexpr HRESULT D3D_OK = 0;
constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x8876086C);
constexpr HRESULT D3DERR_DEVICELOST = static_cast<HRESULT>(0x88760868);

// Vertex declarations.
enum D3DDECLTYPE : uint8_t {
  D3DDECLTYPE_FLOAT2 = 1,
  D3DDECLTYPE_FLOAT3 = 2,
  D3DDECLTYPE_D3DCOLOR = 4,
  D3DDECLTYPE_UNUSED = 17,
};
enum D3DDECLUSAGE : uint8_t {
  D3DDECLUSAGE_POSITION = 0,
  D3DDECLUSAGE_NORMAL = 3,
  D3DDECLUSAGE_TEXCOORD = 5,
  D3DDECLUSAGE_COLOR = 10,
};
struct D3DVERTEXELEMENT9 {
  uint16_t Stream;
  uint16_t Offset;
  uint8_t Type;
  uint8_t Method;
  uint8_t Usage;
  uint8_t UsageIndex;
};
constexpr D3DVERTEXELEMENT9 D3DDECL_END() {
  return {0xFF, 0, D3DDECLTYPE_UNUSED, 0, 0, 0};
}

// Sprite flags.
constexpr uint32_t D3DXSPRITE_ALPHABLEND = 0x10;

// Font drawing formats.
constexpr uint32_t DT_TOP = 0x0;
constexpr uint32_t DT_LEFT = 0x0;
constexpr uint32_t DT_WORDBREAK = 0x10;
constexpr uint32_t DT_NOCLIP = 0x100;
