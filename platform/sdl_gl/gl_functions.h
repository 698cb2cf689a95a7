// OpenGL 3.3 core entry points, loaded at run time through SDL once a context
// exists; in the browser, OpenGL ES 3.0 (WebGL 2), which lacks a few of them
// (kGlEs: the device works around those). Only files of the OpenGL backend
// include this.
#pragma once

#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>
constexpr bool kGlEs = true;
#else
#include <GL/glcorearb.h>
constexpr bool kGlEs = false;
#endif

#define ORVELUNE_GL_FUNCTIONS(X)                                                         \
  X(PFNGLGETERRORPROC, glGetError)                                                       \
  X(PFNGLGETSTRINGPROC, glGetString)                                                     \
  X(PFNGLGETINTEGERVPROC, glGetIntegerv)                                                 \
  X(PFNGLENABLEPROC, glEnable)                                                           \
  X(PFNGLDISABLEPROC, glDisable)                                                         \
  X(PFNGLVIEWPORTPROC, glViewport)                                                       \
  X(PFNGLSCISSORPROC, glScissor)                                                         \
  X(PFNGLCLEARCOLORPROC, glClearColor)                                                   \
  X(PFNGLCLEARPROC, glClear)                                                             \
  X(PFNGLDEPTHMASKPROC, glDepthMask)                                                     \
  X(PFNGLDEPTHFUNCPROC, glDepthFunc)                                                     \
  X(PFNGLCULLFACEPROC, glCullFace)                                                       \
  X(PFNGLFRONTFACEPROC, glFrontFace)                                                     \
  X(PFNGLBLENDFUNCPROC, glBlendFunc)                                                     \
  X(PFNGLGENTEXTURESPROC, glGenTextures)                                                 \
  X(PFNGLDELETETEXTURESPROC, glDeleteTextures)                                           \
  X(PFNGLBINDTEXTUREPROC, glBindTexture)                                                 \
  X(PFNGLTEXIMAGE2DPROC, glTexImage2D)                                                   \
  X(PFNGLTEXSUBIMAGE2DPROC, glTexSubImage2D)                                             \
  X(PFNGLTEXPARAMETERIPROC, glTexParameteri)                                             \
  X(PFNGLACTIVETEXTUREPROC, glActiveTexture)                                             \
  X(PFNGLPIXELSTOREIPROC, glPixelStorei)                                                 \
  X(PFNGLGENBUFFERSPROC, glGenBuffers)                                                   \
  X(PFNGLDELETEBUFFERSPROC, glDeleteBuffers)                                             \
  X(PFNGLBINDBUFFERPROC, glBindBuffer)                                                   \
  X(PFNGLBUFFERDATAPROC, glBufferData)                                                   \
  X(PFNGLGENVERTEXARRAYSPROC, glGenVertexArrays)                                         \
  X(PFNGLDELETEVERTEXARRAYSPROC, glDeleteVertexArrays)                                   \
  X(PFNGLBINDVERTEXARRAYPROC, glBindVertexArray)                                         \
  X(PFNGLENABLEVERTEXATTRIBARRAYPROC, glEnableVertexAttribArray)                         \
  X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, glDisableVertexAttribArray)                       \
  X(PFNGLVERTEXATTRIBPOINTERPROC, glVertexAttribPointer)                                 \
  X(PFNGLVERTEXATTRIB4FPROC, glVertexAttrib4f)                                           \
  X(PFNGLCREATESHADERPROC, glCreateShader)                                               \
  X(PFNGLSHADERSOURCEPROC, glShaderSource)                                               \
  X(PFNGLCOMPILESHADERPROC, glCompileShader)                                             \
  X(PFNGLGETSHADERIVPROC, glGetShaderiv)                                                 \
  X(PFNGLGETSHADERINFOLOGPROC, glGetShaderInfoLog)                                       \
  X(PFNGLDELETESHADERPROC, glDeleteShader)                                               \
  X(PFNGLCREATEPROGRAMPROC, glCreateProgram)                                             \
  X(PFNGLATTACHSHADERPROC, glAttachShader)                                               \
  X(PFNGLDETACHSHADERPROC, glDetachShader)                                               \
  X(PFNGLBINDATTRIBLOCATIONPROC, glBindAttribLocation)                                   \
  X(PFNGLLINKPROGRAMPROC, glLinkProgram)                                                 \
  X(PFNGLGETPROGRAMIVPROC, glGetProgramiv)                                               \
  X(PFNGLGETPROGRAMINFOLOGPROC, glGetProgramInfoLog)                                     \
  X(PFNGLDELETEPROGRAMPROC, glDeleteProgram)                                             \
  X(PFNGLUSEPROGRAMPROC, glUseProgram)                                                   \
  X(PFNGLGETUNIFORMLOCATIONPROC, glGetUniformLocation)                                   \
  X(PFNGLUNIFORM1IPROC, glUniform1i)                                                     \
  X(PFNGLUNIFORM1FPROC, glUniform1f)                                                     \
  X(PFNGLUNIFORM1IVPROC, glUniform1iv)                                                   \
  X(PFNGLUNIFORM3FVPROC, glUniform3fv)                                                   \
  X(PFNGLUNIFORM4FVPROC, glUniform4fv)                                                   \
  X(PFNGLUNIFORMMATRIX3FVPROC, glUniformMatrix3fv)                                       \
  X(PFNGLUNIFORMMATRIX4FVPROC, glUniformMatrix4fv)                                       \
  X(PFNGLGENFRAMEBUFFERSPROC, glGenFramebuffers)                                         \
  X(PFNGLDELETEFRAMEBUFFERSPROC, glDeleteFramebuffers)                                   \
  X(PFNGLBINDFRAMEBUFFERPROC, glBindFramebuffer)                                         \
  X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, glFramebufferRenderbuffer)                         \
  X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, glCheckFramebufferStatus)                           \
  X(PFNGLGENRENDERBUFFERSPROC, glGenRenderbuffers)                                       \
  X(PFNGLDELETERENDERBUFFERSPROC, glDeleteRenderbuffers)                                 \
  X(PFNGLBINDRENDERBUFFERPROC, glBindRenderbuffer)                                       \
  X(PFNGLRENDERBUFFERSTORAGEPROC, glRenderbufferStorage)                                 \
  X(PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC, glRenderbufferStorageMultisample)           \
  X(PFNGLBLITFRAMEBUFFERPROC, glBlitFramebuffer)                                         \
  X(PFNGLFRAMEBUFFERTEXTURE2DPROC, glFramebufferTexture2D)                               \
  X(PFNGLDRAWELEMENTSPROC, glDrawElements)                                               \
  X(PFNGLREADPIXELSPROC, glReadPixels)                                                   \
  X(PFNGLREADBUFFERPROC, glReadBuffer)                                                   \
  X(PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVPROC, glGetFramebufferAttachmentParameteriv) \
  X(PFNGLFINISHPROC, glFinish)                                                           \
  X(PFNGLGENQUERIESPROC, glGenQueries)                                                   \
  X(PFNGLDELETEQUERIESPROC, glDeleteQueries)                                             \
  X(PFNGLBEGINQUERYPROC, glBeginQuery)                                                   \
  X(PFNGLENDQUERYPROC, glEndQuery)                                                       \
  X(PFNGLGETQUERYOBJECTUIVPROC, glGetQueryObjectuiv)

// What only desktop OpenGL has (null in the browser).
#define ORVELUNE_GL_DESKTOP_FUNCTIONS(X) \
  X(PFNGLCLEARDEPTHPROC, glClearDepth)   \
  X(PFNGLGETTEXIMAGEPROC, glGetTexImage) \
  X(PFNGLDRAWBUFFERPROC, glDrawBuffer)   \
  X(PFNGLDRAWELEMENTSBASEVERTEXPROC, glDrawElementsBaseVertex)

#ifdef __EMSCRIPTEN__
// Stand-ins for the desktop entry points' types, so the table keeps one
// shape; the pointers stay null. ES has glClearDepthf instead.
using PFNGLCLEARDEPTHPROC = void (*)(double);
using PFNGLGETTEXIMAGEPROC = void (*)(GLenum, GLint, GLenum, GLenum, void*);
using PFNGLDRAWBUFFERPROC = void (*)(GLenum);
using PFNGLDRAWELEMENTSBASEVERTEXPROC = void (*)(GLenum, GLsizei, GLenum, const void*, GLint);
// Desktop names the shared code mentions; the browser's path never passes them.
constexpr GLenum GL_BGRA = 0x80E1;
constexpr GLenum GL_SAMPLES_PASSED = 0x8914;
constexpr GLenum GL_DOUBLEBUFFER = 0x0C32;
constexpr GLenum GL_FRONT_LEFT = 0x0400;
constexpr GLenum GL_BACK_LEFT = 0x0402;
#endif

struct GlFunctions {
#define ORVELUNE_GL_DECLARE(type, name) type name = nullptr;
  ORVELUNE_GL_FUNCTIONS(ORVELUNE_GL_DECLARE)
  ORVELUNE_GL_DESKTOP_FUNCTIONS(ORVELUNE_GL_DECLARE)
#undef ORVELUNE_GL_DECLARE
#ifdef __EMSCRIPTEN__
  PFNGLCLEARDEPTHFPROC glClearDepthf = nullptr;
#endif

  // The depth a clear writes (glClearDepth, or ES's glClearDepthf).
  void ClearDepth(float z);

  // Loads every entry point from the current context; false if one is missing.
  bool Load(const char** missing);
};
