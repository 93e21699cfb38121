// The browser build's GL and SDL layer, included ahead of every engine source
// file (compiler option -include). The browser offers OpenGL 1.x only through
// emscripten's emulation over WebGL, which lacks the attribute stack, display
// lists, sphere-map coordinate generation, the GL_BLEND texture environment,
// GL_CLAMP and a few entry points, and which makes every immediate-mode
// primitive a draw of its own. Each call the layer needs is renamed here to a
// function of gl_web.cpp that gives the desktop result with what WebGL has
// (the matrix calls too, so that primitives can be collected into one draw);
// the engine's source stays the same as on the desktop.
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
void vw_glTexSubImage2D(GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* pixels);
void vw_glCopyTexImage2D(GLenum target, GLint level, GLenum internalFormat, GLint x, GLint y, GLsizei width,
                         GLsizei height, GLint border);
void vw_glCopyTexSubImage2D(GLenum target, GLint level, GLint xoffset, GLint yoffset, GLint x, GLint y, GLsizei width,
                            GLsizei height);
GLint vw_gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                           GLenum type, const void* data);
GLuint vw_glGenLists(GLsizei range);
void vw_glNewList(GLuint list, GLenum mode);
void vw_glEndList(void);
void vw_glCallList(GLuint list);
void vw_glMultMatrixf(const GLfloat* m);
void vw_glMatrixMode(GLenum mode);
void vw_glPushMatrix(void);
void vw_glPopMatrix(void);
void vw_glLoadIdentity(void);
void vw_glTranslatef(GLfloat x, GLfloat y, GLfloat z);
void vw_glScalef(GLfloat x, GLfloat y, GLfloat z);
void vw_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void vw_glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble nearVal, GLdouble farVal);
void vw_glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble nearVal, GLdouble farVal);
void vw_gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
void vw_glMaterialfv(GLenum face, GLenum name, const GLfloat* values);
void vw_glMaterialf(GLenum face, GLenum name, GLfloat value);
void vw_glColorMaterial(GLenum face, GLenum mode);
void vw_glShadeModel(GLenum mode);
void vw_glBlendFunc(GLenum src, GLenum dst);
void vw_glDepthMask(GLboolean flag);
void vw_glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void vw_glColorMask(GLboolean r, GLboolean g, GLboolean b, GLboolean a);
void vw_glClear(GLbitfield mask);
void vw_glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a);
void vw_glClearDepth(GLclampd depth);
void vw_glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels);
void vw_glFlush(void);
void vw_glFinish(void);
void vw_glArrayElement(GLint i);
void vw_glEnableClientState(GLenum array);
void vw_glDisableClientState(GLenum array);
void vw_glVertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
void vw_glNormalPointer(GLenum type, GLsizei stride, const void* pointer);
void vw_glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);

void* vw_SDL_GL_GetProcAddress(const char* name);
// Sets the mode as SDL does; a GL mode's fragments are then stored as the
// desktop's GL stores them (see roundFragmentsToStoredColours).
SDL_Surface* vw_SDL_SetVideoMode(int width, int height, int bitsPerPixel, Uint32 flags);
void vw_SDL_GL_SwapBuffers(void);
int vw_SDL_OpenAudio(SDL_AudioSpec* desired, SDL_AudioSpec* obtained);
void vw_SDL_PauseAudio(int pause);
void vw_SDL_CloseAudio(void);
SDL_AudioStatus vw_SDL_GetAudioStatus(void);
// Nonzero: each presented frame waits for the browser's next animation frame,
// so that one frame is drawn for each picture the browser shows (the live
// show). Zero, the default: it only yields to the browser, for replays whose
// frames nobody watches.
void vw_pace_to_animation_frames(int on);
// Draws, once while the show loads, what makes the browser prepare each
// shader and pipeline the show's drawing needs, so that no frame of the show
// waits for one; leaves the GL state as it was and the frame cleared.
void vw_prepare_draws(void);
// Between the two calls, the primitives drawn as additive passes (blend
// GL_SRC_ALPHA, GL_ONE; no depth test or culling; unit 0 alone textured, by
// an RGB texture, MODULATE in white with one alpha or REPLACE) are kept, not
// drawn. At the end they are added onto the frame in one pass that stores
// what the passes store on the desktop, where they can be: up to 8, each on
// the first pass's triangles or, like the first, a quad that holds the
// viewport in a plane facing the eye. Otherwise, and wherever the state they were drawn under
// changes before the end, they are drawn as they came. The textures they
// sample may be bound between them. Without a GPU the browser's renderer
// spends most of such a frame on blending, which one pass of several samples
// replaces.
void vw_begin_added_passes(void);
void vw_end_added_passes(void);
// Between the two calls the engine draws a frame that it then copies, whole
// and from the window's corner, into `texture` (at level 0 and offset 0, of
// the texture's size), and draws nothing else. Where the window holds only
// its last clear of colour and depth and `texture` is RGB, the frame is
// drawn straight into the texture, through a framebuffer of the layer's own
// that starts as that clear; the copy then only brings the texture's framed
// copy, if it has one, up to date from the texture. Without a GPU the
// browser's renderer spends far longer on a copy from the window than on one
// between two textures of one format. The window's corner keeps its clear,
// which the engine clears again before it looks. The drawing must not
// sample `texture`.
void vw_begin_captured_drawing(GLuint texture);
void vw_end_captured_drawing(void);
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
#define glTexSubImage2D vw_glTexSubImage2D
#define glCopyTexImage2D vw_glCopyTexImage2D
#define glCopyTexSubImage2D vw_glCopyTexSubImage2D
#define gluBuild2DMipmaps vw_gluBuild2DMipmaps
#define glGenLists vw_glGenLists
#define glNewList vw_glNewList
#define glEndList vw_glEndList
#define glCallList vw_glCallList
#define glMultMatrixf vw_glMultMatrixf
#define glMatrixMode vw_glMatrixMode
#define glPushMatrix vw_glPushMatrix
#define glPopMatrix vw_glPopMatrix
#define glLoadIdentity vw_glLoadIdentity
#define glTranslatef vw_glTranslatef
#define glScalef vw_glScalef
#define glRotatef vw_glRotatef
#define glOrtho vw_glOrtho
#define glFrustum vw_glFrustum
#define gluPerspective vw_gluPerspective
#define glMaterialfv vw_glMaterialfv
#define glMaterialf vw_glMaterialf
#define glColorMaterial vw_glColorMaterial
#define glShadeModel vw_glShadeModel
#define glBlendFunc vw_glBlendFunc
#define glDepthMask vw_glDepthMask
#define glViewport vw_glViewport
#define glColorMask vw_glColorMask
#define glClear vw_glClear
#define glClearColor vw_glClearColor
#define glClearDepth vw_glClearDepth
#define glReadPixels vw_glReadPixels
#define glFlush vw_glFlush
#define glFinish vw_glFinish
#define glArrayElement vw_glArrayElement
#define glEnableClientState vw_glEnableClientState
#define glDisableClientState vw_glDisableClientState
#define glVertexPointer vw_glVertexPointer
#define glNormalPointer vw_glNormalPointer
#define glTexCoordPointer vw_glTexCoordPointer
#define SDL_GL_GetProcAddress vw_SDL_GL_GetProcAddress
#define SDL_SetVideoMode vw_SDL_SetVideoMode
#define SDL_GL_SwapBuffers vw_SDL_GL_SwapBuffers
#define SDL_OpenAudio vw_SDL_OpenAudio
#define SDL_PauseAudio vw_SDL_PauseAudio
#define SDL_CloseAudio vw_SDL_CloseAudio
#define SDL_GetAudioStatus vw_SDL_GetAudioStatus
#endif
