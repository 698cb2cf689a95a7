#include "platform/sdl_gl/gl_state.h"

#include <algorithm>
#include <cstring>

namespace {

GLenum BlendFactor(uint32_t b) {
  switch (b) {
    case D3DBLEND_ZERO:
      return GL_ZERO;
    case D3DBLEND_ONE:
      return GL_ONE;
    case D3DBLEND_SRCCOLOR:
      return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
      return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
      return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
      return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
      return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
      return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
      return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
      return GL_ONE_MINUS_DST_COLOR;
  }
  return GL_ONE;
}

GLenum CompareFunc(uint32_t f) {
  switch (f) {
    case D3DCMP_NEVER:
      return GL_NEVER;
    case D3DCMP_LESS:
      return GL_LESS;
    case D3DCMP_EQUAL:
      return GL_EQUAL;
    case D3DCMP_LESSEQUAL:
      return GL_LEQUAL;
    case D3DCMP_GREATER:
      return GL_GREATER;
    case D3DCMP_NOTEQUAL:
      return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL:
      return GL_GEQUAL;
  }
  return GL_ALWAYS;
}

// The inverse of a matrix, or the identity for one that has none.
Matrix InverseOrIdentity(const Matrix& m) {
  Matrix inv;
  if (!MatrixInverse(&inv, nullptr, m)) inv = Matrix::Identity();
  return inv;
}

// Copies value into cache when they differ; true when they did.
template <typename T>
bool Changed(T& cache, const T& value, bool valid) {
  if (valid && std::memcmp(&cache, &value, sizeof(T)) == 0) return false;
  std::memcpy(&cache, &value, sizeof(T));
  return true;
}

}  // namespace

void GlStateCache::ApplyRaster(const uint32_t* rs) {
  const RasterValues now = RasterOf(rs);
  if (rasterKnown_ && now == raster_) return;
  raster_ = now;
  rasterKnown_ = true;
  if (rs[D3DRS_ZENABLE]) {
    gl_.glEnable(GL_DEPTH_TEST);
    gl_.glDepthFunc(CompareFunc(rs[D3DRS_ZFUNC]));
  } else {
    gl_.glDisable(GL_DEPTH_TEST);
  }
  gl_.glDepthMask(rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
  if (rs[D3DRS_ALPHABLENDENABLE]) {
    gl_.glEnable(GL_BLEND);
    gl_.glBlendFunc(BlendFactor(rs[D3DRS_SRCBLEND]), BlendFactor(rs[D3DRS_DESTBLEND]));
  } else {
    gl_.glDisable(GL_BLEND);
  }
  switch (rs[D3DRS_CULLMODE]) {
    case D3DCULL_NONE:
      gl_.glDisable(GL_CULL_FACE);
      break;
    case D3DCULL_CW:
      gl_.glEnable(GL_CULL_FACE);
      gl_.glCullFace(GL_FRONT);
      break;
    default:
      gl_.glEnable(GL_CULL_FACE);
      gl_.glCullFace(GL_BACK);
      break;
  }
}

void GlStateCache::Upload(GlProgram* program, const DrawStates& s) {
  const uint32_t* rs = s.render;
  const Uniforms* u = &program->u;
  UniformCache* cache = &program->cache;
  const bool valid = cache->valid;
  cache->valid = true;
  if (Changed(cache->world, s.world, valid))
    gl_.glUniformMatrix4fv(u->world, 1, GL_FALSE, &s.world.m[0][0]);
  if (!viewKnown_ || s.view != lastView_ || s.projection != lastProjection_) {
    viewKnown_ = true;
    lastView_ = s.view;
    lastProjection_ = s.projection;
    const Matrix viewProj = s.view * s.projection;
    std::copy_n(&viewProj.m[0][0], 16, viewProj_);
    const Matrix viewInv = InverseOrIdentity(s.view);
    eye_[0] = viewInv[3][0];
    eye_[1] = viewInv[3][1];
    eye_[2] = viewInv[3][2];
  }
  if (Changed(cache->viewProj, viewProj_, valid))
    gl_.glUniformMatrix4fv(u->viewProj, 1, GL_FALSE, viewProj_);
  if (rs[D3DRS_LIGHTING]) UploadLighting(program, s, valid);
  if (s.stage0[D3DTSS_TEXTURETRANSFORMFLAGS] != D3DTTFF_DISABLE &&
      Changed(cache->texMatrix, s.texture0, valid))
    gl_.glUniformMatrix4fv(u->texMatrix, 1, GL_FALSE, &s.texture0.m[0][0]);

  GlTexture* tex = s.texture;
  const GLuint id = tex ? tex->Id() : 0;
  if (id != boundTexture_) {
    gl_.glActiveTexture(GL_TEXTURE0);
    gl_.glBindTexture(GL_TEXTURE_2D, id);
    boundTexture_ = id;
  }
  if (tex) {
    auto filter = [](uint32_t f) { return f == D3DTEXF_POINT ? GL_NEAREST : GL_LINEAR; };
    const GLint mag = filter(s.sampler0[D3DSAMP_MAGFILTER]);
    const GLint min = filter(s.sampler0[D3DSAMP_MINFILTER]);
    GlTextureObject& o = *tex->object;
    if (o.magFilter != mag) gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mag);
    if (o.minFilter != min) gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min);
    o.magFilter = mag;
    o.minFilter = min;
  }
  float tf[4];
  ColorToFloats(rs[D3DRS_TEXTUREFACTOR], tf);
  if (Changed(cache->tFactor, tf, valid)) gl_.glUniform4fv(u->tFactor, 1, tf);
  const float alphaRef = static_cast<float>(rs[D3DRS_ALPHAREF] & 0xFF);
  if (Changed(cache->alphaRef, alphaRef, valid)) gl_.glUniform1f(u->alphaRef, alphaRef);
}

void GlStateCache::UploadLighting(GlProgram* program, const DrawStates& s, bool valid) {
  const Uniforms* u = &program->u;
  UniformCache* cache = &program->cache;
  // Normals go through the inverse transpose of the world matrix.
  if (!normalKnown_ || s.world != lastNormalWorld_) {
    normalKnown_ = true;
    lastNormalWorld_ = s.world;
    const Matrix n = MatrixTranspose(InverseOrIdentity(s.world));
    const float n3[9] = {n[0][0], n[0][1], n[0][2], n[1][0], n[1][1],
                         n[1][2], n[2][0], n[2][1], n[2][2]};
    std::copy_n(n3, 9, normal_);
  }
  if (Changed(cache->normal, normal_, valid))
    gl_.glUniformMatrix3fv(u->normalMatrix, 1, GL_FALSE, normal_);
  if (Changed(cache->eye, eye_, valid)) gl_.glUniform3fv(u->eye, 1, eye_);
  const D3DMATERIAL9& m = s.material;
  if (Changed(cache->material, m, valid)) {
    gl_.glUniform4fv(u->matDiffuse, 1, &m.Diffuse.r);
    gl_.glUniform4fv(u->matAmbient, 1, &m.Ambient.r);
    gl_.glUniform4fv(u->matSpecular, 1, &m.Specular.r);
    gl_.glUniform4fv(u->matEmissive, 1, &m.Emissive.r);
    gl_.glUniform1f(u->matPower, m.Power);
  }
  float ambient[4];
  ColorToFloats(s.render[D3DRS_AMBIENT], ambient);
  if (Changed(cache->ambient, ambient, valid)) gl_.glUniform4fv(u->globalAmbient, 1, ambient);
  const LightSet& l = s.lights;
  if (Changed(cache->lights, l, valid) && l.count) {
    gl_.glUniform4fv(u->lightDiffuse, l.count, &l.diffuse[0][0]);
    gl_.glUniform4fv(u->lightSpecular, l.count, &l.specular[0][0]);
    gl_.glUniform4fv(u->lightAmbient, l.count, &l.ambient[0][0]);
    gl_.glUniform3fv(u->lightPosition, l.count, &l.position[0][0]);
    gl_.glUniform3fv(u->lightDirection, l.count, &l.direction[0][0]);
    gl_.glUniform4fv(u->lightAttenuation, l.count, &l.attenuation[0][0]);
    gl_.glUniform3fv(u->lightSpot, l.count, &l.spot[0][0]);
  }
}

void GlStateCache::BindVertices(GlVertexBuffer* stream, GlIndexBuffer* indices,
                                const VertexDeclaration& declaration, uint32_t streamOffset,
                                uint32_t streamStride) {
  stream->Bind(GL_ARRAY_BUFFER);
  indices->Bind(GL_ELEMENT_ARRAY_BUFFER);
  struct Slot {
    uint8_t usage;
    GLuint location;
    float defaults[4];
  };
  const Slot slots[] = {{D3DDECLUSAGE_POSITION, kAttribPosition, {0, 0, 0, 1}},
                        {D3DDECLUSAGE_NORMAL, kAttribNormal, {0, 1, 0, 0}},
                        {D3DDECLUSAGE_COLOR, kAttribColor, {1, 1, 1, 1}},
                        {D3DDECLUSAGE_TEXCOORD, kAttribTexCoord, {0, 0, 0, 0}}};
  const GLsizei stride = static_cast<GLsizei>(streamStride);
  for (const Slot& slot : slots) {
    const D3DVERTEXELEMENT9* e = declaration.Find(slot.usage);
    if (!e) {
      gl_.glDisableVertexAttribArray(slot.location);
      gl_.glVertexAttrib4f(slot.location, slot.defaults[0], slot.defaults[1], slot.defaults[2],
                           slot.defaults[3]);
      continue;
    }
    const void* offset =
        reinterpret_cast<const void*>(static_cast<uintptr_t>(streamOffset + e->Offset));
    gl_.glEnableVertexAttribArray(slot.location);
    switch (e->Type) {
      case D3DDECLTYPE_FLOAT2:
        gl_.glVertexAttribPointer(slot.location, 2, GL_FLOAT, GL_FALSE, stride, offset);
        break;
      case D3DDECLTYPE_FLOAT3:
        gl_.glVertexAttribPointer(slot.location, 3, GL_FLOAT, GL_FALSE, stride, offset);
        break;
      case D3DDECLTYPE_D3DCOLOR:
        gl_.glVertexAttribPointer(slot.location, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, offset);
        break;
      default:
        gl_.glDisableVertexAttribArray(slot.location);
        break;
    }
  }
}
