#include "platform/sdl_gl/gl_textures.h"

#include <algorithm>
#include <span>

namespace {

// FNV-1a over a picture's size and pixels.
uint64_t PixelHash(int width, int height, const uint32_t* argb) {
  uint64_t h = 14695981039346656037ull;
  auto add = [&h](uint32_t word) {
    h ^= word;
    h *= 1099511628211ull;
  };
  add(static_cast<uint32_t>(width));
  add(static_cast<uint32_t>(height));
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (size_t i = 0; i < count; ++i) add(argb[i]);
  return h;
}

}  // namespace

GlTexture* GlTextureStore::Create(int width, int height, const uint32_t* argb,
                                  std::shared_ptr<TextureWatch> watch) {
  if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return nullptr;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  const bool shareable = count <= kSharedTexturePixels;
  uint64_t hash = 0;
  if (shareable) {
    hash = PixelHash(width, height, argb);
    auto [it, end] = shared_.equal_range(hash);
    while (it != end) {
      std::shared_ptr<GlTextureObject> object = it->second.lock();
      if (!object) {
        it = shared_.erase(it);
        continue;
      }
      if (object->shareable && object->width == width && object->height == height &&
          std::ranges::equal(PixelsOf(*object), std::span(argb, count)))
        return new GlTexture(width, height, std::move(object), std::move(watch));
      ++it;
    }
  }
  std::shared_ptr<GlTextureObject> object = NewObject(width, height, argb);
  if (!object) return nullptr;
  if (shareable) {
    object->shareable = true;
    if (shared_.size() >= sweepAt_) {
      std::erase_if(shared_, [](const auto& entry) { return entry.second.expired(); });
      sweepAt_ = 2 * shared_.size() + 64;
    }
    shared_.emplace(hash, object);
  }
  return new GlTexture(width, height, std::move(object), std::move(watch));
}

bool GlTextureStore::Update(GlTexture* t, int x, int y, int w, int h, const uint32_t* argb,
                            std::string* error) {
  if (t->object.use_count() > 1) {
    // Other textures share the object: this one takes a copy to change.
    std::shared_ptr<GlTextureObject> own =
        NewObject(t->Width(), t->Height(), PixelsOf(*t->object).data());
    if (!own) {
      *error = "UpdateTexture: no memory for the texture's own copy";
      return false;
    }
    t->object = std::move(own);
  }
  t->object->shareable = false;  // changed: no longer what a new texture would match
  gl().glActiveTexture(GL_TEXTURE0);
  gl().glBindTexture(GL_TEXTURE_2D, t->Id());
  gl().glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_BGRA, GL_UNSIGNED_BYTE, argb);
  return true;
}

std::shared_ptr<GlTextureObject> GlTextureStore::NewObject(int width, int height,
                                                           const uint32_t* argb) {
  GLuint id = 0;
  gl().glGenTextures(1, &id);
  gl().glActiveTexture(GL_TEXTURE0);
  gl().glBindTexture(GL_TEXTURE_2D, id);
  gl().glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  gl().glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  gl().glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  gl().glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  gl().glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  // A8R8G8B8 words are B, G, R, A bytes in memory.
  gl().glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, argb);
  if (gl().glGetError() != GL_NO_ERROR) {
    gl().glDeleteTextures(1, &id);
    return nullptr;
  }
  return std::make_shared<GlTextureObject>(life_, id, width, height);
}

std::vector<uint32_t> GlTextureStore::PixelsOf(const GlTextureObject& object) {
  std::vector<uint32_t> argb(static_cast<size_t>(object.width) *
                             static_cast<size_t>(object.height));
  gl().glActiveTexture(GL_TEXTURE0);
  gl().glBindTexture(GL_TEXTURE_2D, object.id);
  gl().glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, argb.data());
  return argb;
}
