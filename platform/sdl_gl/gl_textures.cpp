#include "platform/sdl_gl/gl_textures.h"

#include <algorithm>

namespace {

// A8R8G8B8 words are B, G, R, A bytes in memory, which desktop OpenGL takes
// as they are; OpenGL ES takes only R, G, B, A, so there they go up swapped.
constexpr GLenum kUploadFormat = kGlEs ? GL_RGBA : GL_BGRA;
const void* InUploadOrder(const uint32_t* argb, size_t count, std::vector<uint32_t>* swapped) {
  if (!kGlEs || !argb) return argb;
  swapped->assign(argb, argb + count);
  SwapRedAndBlue(swapped->data(), count);
  return swapped->data();
}

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

void SwapRedAndBlue(uint32_t* words, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = words[i];
    words[i] = (v & 0xFF00FF00u) | (v >> 16 & 0xFFu) | (v & 0xFFu) << 16;
  }
}

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
          std::equal(argb, argb + count, PixelsOf(*object).begin()))
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
  std::vector<uint32_t> swapped;
  gl().glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, kUploadFormat, GL_UNSIGNED_BYTE,
                       InUploadOrder(argb, static_cast<size_t>(w) * h, &swapped));
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
  std::vector<uint32_t> swapped;
  gl().glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, kUploadFormat, GL_UNSIGNED_BYTE,
                    InUploadOrder(argb, static_cast<size_t>(width) * height, &swapped));
  if (gl().glGetError() != GL_NO_ERROR) {
    gl().glDeleteTextures(1, &id);
    return nullptr;
  }
  return std::make_shared<GlTextureObject>(life_, id, width, height);
}

std::vector<uint32_t> GlTextureStore::PixelsOf(const GlTextureObject& object) {
  std::vector<uint32_t> argb(static_cast<size_t>(object.width) *
                             static_cast<size_t>(object.height));
  if (kGlEs) {
    // OpenGL ES reads no texture back directly: through a frame buffer.
    GLuint fbo = 0;
    GLint bound = 0;
    gl().glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    gl().glGenFramebuffers(1, &fbo);
    gl().glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    gl().glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, object.id, 0);
    gl().glReadPixels(0, 0, object.width, object.height, GL_RGBA, GL_UNSIGNED_BYTE, argb.data());
    gl().glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(bound));
    gl().glDeleteFramebuffers(1, &fbo);
    SwapRedAndBlue(argb.data(), argb.size());
    return argb;
  }
  gl().glActiveTexture(GL_TEXTURE0);
  gl().glBindTexture(GL_TEXTURE_2D, object.id);
  gl().glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, argb.data());
  return argb;
}
