// The OpenGL device's textures. Textures made from the same pixels share one
// OpenGL object (the wall's 36 pieces each load the same picture), so their
// draws can merge; a shared texture that is changed gets an object of its own
// first.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/common/state_device.h"
#include "platform/sdl_gl/gl_resources.h"

// Swaps each A8R8G8B8 word's red and blue bytes: B, G, R, A in memory become
// R, G, B, A, the only order OpenGL ES uploads and reads.
void SwapRedAndBlue(uint32_t* words, size_t count);

// An OpenGL texture object.
struct GlTextureObject {
  GlTextureObject(std::shared_ptr<ContextLife> context, GLuint name, int w, int h)
      : life(std::move(context)), id(name), width(w), height(h) {}
  ~GlTextureObject() {
    if (life->alive) life->gl->glDeleteTextures(1, &id);
  }
  GlTextureObject(const GlTextureObject&) = delete;
  GlTextureObject& operator=(const GlTextureObject&) = delete;

  std::shared_ptr<ContextLife> life;
  GLuint id;
  int width, height;
  // The filters the object is set to sample with (GL_LINEAR from the start),
  // so a draw changes them only when its sampler states differ.
  GLint magFilter = GL_LINEAR, minFilter = GL_LINEAR;
  // Whether a texture made later from the same pixels may share it: not a
  // big picture, nor one that has been changed.
  bool shareable = false;
};

class GlTexture : public Texture {
 public:
  GlTexture(int w, int h, std::shared_ptr<GlTextureObject> shared,
            std::shared_ptr<TextureWatch> watch)
      : Texture(w, h), object(std::move(shared)), watch_(std::move(watch)) {}
  ~GlTexture() override { watch_->Tell(this); }
  GLuint Id() const { return object->id; }

  std::shared_ptr<GlTextureObject> object;

 private:
  std::shared_ptr<TextureWatch> watch_;
};

// Makes and changes textures, sharing objects between textures of the same
// pixels. Its calls bind textures on unit 0, so whoever caches that binding
// must forget it after them.
class GlTextureStore {
 public:
  explicit GlTextureStore(std::shared_ptr<ContextLife> life) : life_(std::move(life)) {}

  // A texture of the pixels (A8R8G8B8), sharing an object with an earlier
  // texture of the same pixels where it can; null when the size is outside
  // 1..8192 or OpenGL refuses it.
  GlTexture* Create(int width, int height, const uint32_t* argb,
                    std::shared_ptr<TextureWatch> watch);
  // Changes a rectangle of the texture (checked by the caller), first giving
  // it an object of its own when it shares one; false with the reason when
  // there is no memory for that copy.
  bool Update(GlTexture* texture, int x, int y, int w, int h, const uint32_t* argb,
              std::string* error);

  // The pixels a texture object holds, read back from OpenGL.
  std::vector<uint32_t> PixelsOf(const GlTextureObject& object);

 private:
  static constexpr size_t kSharedTexturePixels = 512 * 512;

  std::shared_ptr<GlTextureObject> NewObject(int width, int height, const uint32_t* argb);
  GlFunctions& gl() { return *life_->gl; }

  std::shared_ptr<ContextLife> life_;
  // Texture objects that a texture made from the same pixels may share, by
  // a hash of their size and pixels (expired entries are swept now and then).
  std::unordered_multimap<uint64_t, std::weak_ptr<GlTextureObject>> shared_;
  size_t sweepAt_ = 64;
};
