// The OpenGL device's buffers and vertex declarations, and the shared note of
// whether the context they were made in still exists.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/graphics_device.h"
#include "platform/sdl_gl/gl_functions.h"

// Resources may outlive the device during a faulty shut-down; they then skip
// their OpenGL calls instead of touching a context that is gone.
struct ContextLife {
  bool alive = true;
  GlFunctions* gl = nullptr;
};

// Buffers upload their bytes lazily: a draw that finds the bytes changed since
// the last upload sends them again.
template <class Base>
class GlBuffer : public Base {
 public:
  GlBuffer(std::shared_ptr<ContextLife> life, uint32_t size) : Base(size), life_(std::move(life)) {
    life_->gl->glGenBuffers(1, &id_);
  }
  ~GlBuffer() override {
    if (life_->alive) life_->gl->glDeleteBuffers(1, &id_);
  }
  void Bind(GLenum target) {
    GlFunctions& gl = *life_->gl;
    gl.glBindBuffer(target, id_);
    if (uploaded_ != this->Version() || !everUploaded_) {
      gl.glBufferData(target, this->Size(), this->Data(), GL_DYNAMIC_DRAW);
      uploaded_ = this->Version();
      everUploaded_ = true;
    }
  }

 private:
  std::shared_ptr<ContextLife> life_;
  GLuint id_ = 0;
  uint64_t uploaded_ = 0;
  bool everUploaded_ = false;
};

class GlVertexBuffer : public GlBuffer<VertexBuffer> {
 public:
  using GlBuffer::GlBuffer;
};
class GlIndexBuffer : public GlBuffer<IndexBuffer> {
 public:
  using GlBuffer::GlBuffer;
};

class GlDeclaration : public VertexDeclaration {
 public:
  explicit GlDeclaration(const D3DVERTEXELEMENT9* e) : VertexDeclaration(e) {}
};
