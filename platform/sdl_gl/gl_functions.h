// OpenGL 3.3 core entry points, loaded at run time through SDL once a context
// exists. Only files of the OpenGL backend include this.
#pragma once

#include <GL/glcorearb.h>

#define ORVELUNE_GL_FUNCTIONS(X)                                                         \
  X(PFNGLGETERRORPROC, glGetError)                                                       \
  X(PFNGLGETSTRINGPROC, glGetString)                                                     \
  X(PFNGLGETINTEGERVPROC, glGetIntegerv)                                                 \
  X(PFNGLENABLEPROC, glEnable)                                                           \
  X(PFNGLDISABLEPROC, glDisable)                                                         \
  X(PFNGLVIEWPORTPROC, glViewport)                                                       \
  X(PFNGLSCISSORPROC, glScissor)                                                         \
  X(PFNGLCLEARCOLORPROC, glClearColor)                                                   \
  X(PFNGLCLEARDEPTHPROC, glClearDepth)                                                   \
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
  X(PFNGLGETTEXIMAGEPROC, glGetTexImage)                                                 \
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
  X(PFNGLREADPIXELSPROC, glReadPixels)                                                   \
  X(PFNGLREADBUFFERPROC, glReadBuffer)                                                   \
  X(PFNGLDRAWBUFFERPROC, glDrawBuffer)                                                   \
  X(PFNGLDRAWELEMENTSBASEVERTEXPROC, glDrawElementsBaseVertex)                           \
  X(PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVPROC, glGetFramebufferAttachmentParameteriv) \
  X(PFNGLFINISHPROC, glFinish)                                                           \
  X(PFNGLGENQUERIESPROC, glGenQueries)                                                   \
  X(PFNGLDELETEQUERIESPROC, glDeleteQueries)                                             \
  X(PFNGLBEGINQUERYPROC, glBeginQuery)                                                   \
  X(PFNGLENDQUERYPROC, glEndQuery)                                                       \
  X(PFNGLGETQUERYOBJECTUIVPROC, glGetQueryObjectuiv)

struct GlFunctions {
#define ORVELUNE_GL_DECLARE(type, name) type name = nullptr;
  ORVELUNE_GL_FUNCTIONS(ORVELUNE_GL_DECLARE)
#undef ORVELUNE_GL_DECLARE

  // Loads every entry point from the current context; false if one is missing.
  bool Load(const char** missing);
};
