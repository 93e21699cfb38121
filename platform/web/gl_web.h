// The browser build's GL and SDL layer, included ahead of every engine source
// file (compiler option -include). The browser offers OpenGL 1.x only through
// emscripten's emulation over WebGL, which lacks the attribute stack, display
// lists, sphere-map coordinate generation, the GL_BLEND texture environment,
// GL_CLAMP, mipmaps of pictures whose sides are not powers of two and a few
// entry points. Each such call is renamed here to a function of gl_web.cpp
// that gives the desktop result with what WebGL has; the engine's source
// stays the same as on the desktop.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <SDL/SDL.h>

#ifdef __cplusplus
extern "C" {
#endif

void vw_glEnable(GLenum cap);
void vw_glDisable(GLenum cap);
GLboolean vw_glIsEnabled(GLenum cap);
void vw_glPushAttrib(GLbitfield mask);
void vw_glPopAttrib(void);
void vw_glBegin(GLenum mode);
void vw_glEnd(void);
void vw_glVertex2f(GLfloat x, GLfloat y);
void vw_glVertex3f(GLfloat x, GLfloat y, GLfloat z);
void vw_glVertex3fv(const GLfloat* v);
void vw_glNormal3f(GLfloat x, GLfloat y, GLfloat z);
void vw_glNormal3fv(const GLfloat* v);
void vw_glTexCoord2f(GLfloat s, GLfloat t);
void vw_glColor3f(GLfloat r, GLfloat g, GLfloat b);
void vw_glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void vw_glTexEnvi(GLenum target, GLenum name, GLint value);
void vw_glTexGeni(GLenum coord, GLenum name, GLint value);
void vw_glTexParameteri(GLenum target, GLenum name, GLint value);
void vw_glBindTexture(GLenum target, GLuint texture);
void vw_glDeleteTextures(GLsizei n, const GLuint* textures);
void vw_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                     GLenum format, GLenum type, const void* pixels);
void vw_glCopyTexSubImage2D(GLenum target, GLint level, GLint xoffset, GLint yoffset, GLint x, GLint y,
                            GLsizei width, GLsizei height);
GLint vw_gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                           GLenum type, const void* data);
GLuint vw_glGenLists(GLsizei range);
void vw_glNewList(GLuint list, GLenum mode);
void vw_glEndList(void);
void vw_glCallList(GLuint list);
void vw_glMultMatrixf(const GLfloat* m);
void vw_glMaterialfv(GLenum face, GLenum name, const GLfloat* values);
void vw_glMaterialf(GLenum face, GLenum name, GLfloat value);
void vw_glColorMaterial(GLenum face, GLenum mode);
void vw_glShadeModel(GLenum mode);
void vw_glBlendFunc(GLenum src, GLenum dst);
void vw_glDepthMask(GLboolean flag);
void vw_glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void vw_glArrayElement(GLint i);
void vw_glEnableClientState(GLenum array);
void vw_glDisableClientState(GLenum array);
void vw_glVertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
void vw_glNormalPointer(GLenum type, GLsizei stride, const void* pointer);
void vw_glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);

void* vw_SDL_GL_GetProcAddress(const char* name);
void vw_SDL_GL_SwapBuffers(void);
int vw_SDL_OpenAudio(SDL_AudioSpec* desired, SDL_AudioSpec* obtained);
void vw_SDL_PauseAudio(int pause);
void vw_SDL_CloseAudio(void);
SDL_AudioStatus vw_SDL_GetAudioStatus(void);
// Present in the browser's SDL but missing from its headers.
Uint8* SDL_GetKeyState(int* numkeys);

#ifdef __cplusplus
}
#endif

#ifndef VORN_GL_WEB_IMPLEMENTATION
#define glEnable vw_glEnable
#define glDisable vw_glDisable
#define glIsEnabled vw_glIsEnabled
#define glPushAttrib vw_glPushAttrib
#define glPopAttrib vw_glPopAttrib
#define glBegin vw_glBegin
#define glEnd vw_glEnd
#define glVertex2f vw_glVertex2f
#define glVertex3f vw_glVertex3f
#define glVertex3fv vw_glVertex3fv
#define glNormal3f vw_glNormal3f
#define glNormal3fv vw_glNormal3fv
#define glTexCoord2f vw_glTexCoord2f
#define glColor3f vw_glColor3f
#define glColor4f vw_glColor4f
#define glTexEnvi vw_glTexEnvi
#define glTexGeni vw_glTexGeni
#define glTexParameteri vw_glTexParameteri
#define glBindTexture vw_glBindTexture
#define glDeleteTextures vw_glDeleteTextures
#define glTexImage2D vw_glTexImage2D
#define glCopyTexSubImage2D vw_glCopyTexSubImage2D
#define gluBuild2DMipmaps vw_gluBuild2DMipmaps
#define glGenLists vw_glGenLists
#define glNewList vw_glNewList
#define glEndList vw_glEndList
#define glCallList vw_glCallList
#define glMultMatrixf vw_glMultMatrixf
#define glMaterialfv vw_glMaterialfv
#define glMaterialf vw_glMaterialf
#define glColorMaterial vw_glColorMaterial
#define glShadeModel vw_glShadeModel
#define glBlendFunc vw_glBlendFunc
#define glDepthMask vw_glDepthMask
#define glViewport vw_glViewport
#define glArrayElement vw_glArrayElement
#define glEnableClientState vw_glEnableClientState
#define glDisableClientState vw_glDisableClientState
#define glVertexPointer vw_glVertexPointer
#define glNormalPointer vw_glNormalPointer
#define glTexCoordPointer vw_glTexCoordPointer
#define SDL_GL_GetProcAddress vw_SDL_GL_GetProcAddress
#define SDL_GL_SwapBuffers vw_SDL_GL_SwapBuffers
#define SDL_OpenAudio vw_SDL_OpenAudio
#define SDL_PauseAudio vw_SDL_PauseAudio
#define SDL_CloseAudio vw_SDL_CloseAudio
#define SDL_GetAudioStatus vw_SDL_GetAudioStatus
#endif
