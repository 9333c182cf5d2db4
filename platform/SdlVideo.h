#pragma once

// Private to platform/: the SDL video subsystem, which windows, cursors and the clipboard
// share. It is started on first use and kept for the rest of the process (the clipboard's
// contents live in it when there is no real display).

#include <string>

namespace plat {

// Starts SDL's video subsystem once; false with the reason when it cannot start.
bool EnsureSdlVideo(std::string* error = nullptr);
// True for SDL's in-memory drivers ("dummy", "offscreen"), where nobody sees the window.
bool IsHeadlessVideo();

// The process's one OpenGL context on windows: an SDL GL context (EGL under X11), made with
// the first window that can show OpenGL and kept to the end of the process, so that what the
// 3D device keeps in it (textures, its framebuffer) outlives a window's re-creation. Windows
// present through it and the 3D device draws with it. Main thread (the one that made it).
//
// Makes the context current on `window` (an SDL_Window made with SDL_WINDOW_OPENGL), making
// the context first when there is none; false when there is no OpenGL for windows.
bool MakeWindowGlCurrent(void* window);
// A window going away: the context moves off it.
void ForgetGlWindow(void* window);
// The context (SDL_GLContext), null when none was made.
void* SharedGlContext();
// Makes the context current again on the last window it was current on (or on no surface)
// when something else was made current meanwhile. False when there is no context.
bool RestoreSharedGlContext();
// Called by a user of another GL context on this thread after making it current.
void NoteOtherGlContextCurrent();
// An entry point of the context's GL.
void* GlProcAddress(const char* name);

// Frames shown from a texture of the context: a window notes the texture it showed, and
// whoever draws into a texture notes it first, so that a window shows a frame again (with the
// cursor moved over it) only while the texture still holds that frame. Main thread.
void NoteGlTextureShown(unsigned texture);
void NoteGlTextureChanging(unsigned texture);
bool IsGlTextureStillShown(unsigned texture);

}  // namespace plat
