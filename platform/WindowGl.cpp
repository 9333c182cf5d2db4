#include "platform/WindowGl.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <string>

#include "platform/Window.h"

namespace plat {

// The GL 1.1 calls the presenter makes, and the framebuffer binding (GL 3.0 or
// EXT_framebuffer_object) that the 3D device leaves on its own framebuffer.
struct WindowGl::Procs {
    void(APIENTRY* viewport)(GLint, GLint, GLsizei, GLsizei);
    void(APIENTRY* clearColor)(GLfloat, GLfloat, GLfloat, GLfloat);
    void(APIENTRY* clear)(GLbitfield);
    void(APIENTRY* enable)(GLenum);
    void(APIENTRY* disable)(GLenum);
    void(APIENTRY* genTextures)(GLsizei, GLuint*);
    void(APIENTRY* deleteTextures)(GLsizei, const GLuint*);
    void(APIENTRY* bindTexture)(GLenum, GLuint);
    void(APIENTRY* texParameteri)(GLenum, GLenum, GLint);
    void(APIENTRY* texEnvi)(GLenum, GLenum, GLint);
    void(APIENTRY* texImage2D)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*);
    void(APIENTRY* texSubImage2D)(GLenum, GLint, GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, const void*);
    void(APIENTRY* pixelStorei)(GLenum, GLint);
    void(APIENTRY* readPixels)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);
    void(APIENTRY* matrixMode)(GLenum);
    void(APIENTRY* loadIdentity)();
    void(APIENTRY* ortho)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble);
    void(APIENTRY* begin)(GLenum);
    void(APIENTRY* end)();
    void(APIENTRY* color4ub)(GLubyte, GLubyte, GLubyte, GLubyte);
    void(APIENTRY* texCoord2f)(GLfloat, GLfloat);
    void(APIENTRY* vertex2f)(GLfloat, GLfloat);
    GLenum(APIENTRY* getError)();
    void(APIENTRY* blendFunc)(GLenum, GLenum);
    void(APIENTRY* scissor)(GLint, GLint, GLsizei, GLsizei);
    void(APIENTRY* bindFramebuffer)(GLenum, GLuint);
    const GLubyte*(APIENTRY* getString)(GLenum);
};

namespace {

template <typename Fn>
bool LoadProc(Fn* slot, const char* name, const char* alternative = nullptr) {
    void* proc = SDL_GL_GetProcAddress(name);
    if (proc == nullptr && alternative != nullptr) proc = SDL_GL_GetProcAddress(alternative);
    *slot = reinterpret_cast<Fn>(proc);
    return proc != nullptr;
}

}  // namespace

bool WindowGl::Load() {
    // One set for the process: there is one context, and GL's dispatch follows it.
    static Procs procs;
    static bool loaded = false;
    static bool ok = false;
    if (!loaded) {
        loaded = true;
        Procs& p = procs;
        ok = LoadProc(&p.viewport, "glViewport") && LoadProc(&p.clearColor, "glClearColor") &&
             LoadProc(&p.clear, "glClear") && LoadProc(&p.enable, "glEnable") && LoadProc(&p.disable, "glDisable") &&
             LoadProc(&p.genTextures, "glGenTextures") && LoadProc(&p.deleteTextures, "glDeleteTextures") &&
             LoadProc(&p.bindTexture, "glBindTexture") && LoadProc(&p.texParameteri, "glTexParameteri") &&
             LoadProc(&p.texEnvi, "glTexEnvi") && LoadProc(&p.texImage2D, "glTexImage2D") &&
             LoadProc(&p.texSubImage2D, "glTexSubImage2D") && LoadProc(&p.pixelStorei, "glPixelStorei") &&
             LoadProc(&p.readPixels, "glReadPixels") && LoadProc(&p.matrixMode, "glMatrixMode") &&
             LoadProc(&p.loadIdentity, "glLoadIdentity") && LoadProc(&p.ortho, "glOrtho") &&
             LoadProc(&p.begin, "glBegin") && LoadProc(&p.end, "glEnd") && LoadProc(&p.color4ub, "glColor4ub") &&
             LoadProc(&p.texCoord2f, "glTexCoord2f") && LoadProc(&p.vertex2f, "glVertex2f") &&
             LoadProc(&p.getError, "glGetError") && LoadProc(&p.blendFunc, "glBlendFunc") &&
             LoadProc(&p.scissor, "glScissor") && LoadProc(&p.getString, "glGetString");
        // Without framebuffer objects nothing else can have bound one.
        LoadProc(&p.bindFramebuffer, "glBindFramebuffer", "glBindFramebufferEXT");
    }
    mGl = ok ? &procs : nullptr;
    return ok;
}

bool WindowGl::IsSoftware() const {
    if (mGl == nullptr) return false;
    const GLubyte* name = mGl->getString(GL_RENDERER);
    if (name == nullptr) return false;
    const std::string renderer(reinterpret_cast<const char*>(name));
    for (const char* software : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
        if (renderer.find(software) != std::string::npos) return true;
    return false;
}

bool WindowGl::Upload(const uint32_t* pixels, int width, int height, int pitchBytes,
                      const std::vector<ScreenRect>* changed) {
    if (mGl == nullptr || pitchBytes % 4 != 0) return false;
    const Procs& gl = *mGl;
    while (gl.getError() != GL_NO_ERROR) {
    }
    if (mTexture == 0) gl.genTextures(1, &mTexture);
    gl.bindTexture(GL_TEXTURE_2D, mTexture);
    gl.pixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl.pixelStorei(GL_UNPACK_ROW_LENGTH, pitchBytes / 4);
    if (width != mWidth || height != mHeight) {
        gl.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        gl.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        gl.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        gl.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        gl.texImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels);
        mWidth = width;
        mHeight = height;
    } else if (changed != nullptr) {
        for (const ScreenRect& part : *changed) {
            const uint32_t* from = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                                     static_cast<size_t>(part.y) * pitchBytes) +
                                   part.x;
            gl.texSubImage2D(GL_TEXTURE_2D, 0, part.x, part.y, part.width, part.height, GL_BGRA,
                             GL_UNSIGNED_INT_8_8_8_8_REV, from);
        }
    } else {
        gl.texSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels);
    }
    gl.pixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    gl.pixelStorei(GL_UNPACK_ALIGNMENT, 1);  // as the 3D device keeps it
    if (gl.getError() != GL_NO_ERROR) {
        mWidth = mHeight = 0;
        return false;
    }
    return true;
}

bool WindowGl::UploadOverlay(const uint32_t* pixels, int width, int height) {
    if (mGl == nullptr) return false;
    const Procs& gl = *mGl;
    if (pixels == nullptr || width <= 0 || height <= 0) {
        if (mOverlayTexture != 0) gl.deleteTextures(1, &mOverlayTexture);
        mOverlayTexture = 0;
        mOverlayWidth = mOverlayHeight = 0;
        return true;
    }
    while (gl.getError() != GL_NO_ERROR) {
    }
    if (mOverlayTexture == 0) gl.genTextures(1, &mOverlayTexture);
    gl.bindTexture(GL_TEXTURE_2D, mOverlayTexture);
    gl.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    gl.texImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels);
    if (gl.getError() != GL_NO_ERROR) {
        gl.deleteTextures(1, &mOverlayTexture);
        mOverlayTexture = 0;
        mOverlayWidth = mOverlayHeight = 0;
        return false;
    }
    mOverlayWidth = width;
    mOverlayHeight = height;
    return true;
}

void WindowGl::DrawOverlay(const ScreenRect& place, int clientHeight, int frameWidth, int frameHeight, int x, int y) {
    const Procs& gl = *mGl;
    // Frame pixels to client pixels; nothing lands on the bars around the frame.
    const float sx = static_cast<float>(place.width) / static_cast<float>(frameWidth);
    const float sy = static_cast<float>(place.height) / static_cast<float>(frameHeight);
    const float x0 = place.x + x * sx, y0 = place.y + y * sy;
    const float x1 = x0 + mOverlayWidth * sx, y1 = y0 + mOverlayHeight * sy;
    gl.enable(GL_SCISSOR_TEST);
    gl.scissor(place.x, clientHeight - place.y - place.height, place.width, place.height);
    gl.enable(GL_BLEND);
    gl.blendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gl.bindTexture(GL_TEXTURE_2D, mOverlayTexture);
    gl.begin(GL_TRIANGLE_STRIP);
    gl.texCoord2f(0, 0);
    gl.vertex2f(x0, y0);
    gl.texCoord2f(1, 0);
    gl.vertex2f(x1, y0);
    gl.texCoord2f(0, 1);
    gl.vertex2f(x0, y1);
    gl.texCoord2f(1, 1);
    gl.vertex2f(x1, y1);
    gl.end();
    gl.disable(GL_BLEND);
    gl.disable(GL_SCISSOR_TEST);
}

void WindowGl::Draw(const ScreenRect& place, int clientWidth, int clientHeight, unsigned texture, bool bottomUp,
                    int frameWidth, int frameHeight, int overlayX, int overlayY) {
    if (mGl == nullptr) return;
    const Procs& gl = *mGl;
    if (gl.bindFramebuffer != nullptr) gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.viewport(0, 0, clientWidth, clientHeight);
    gl.disable(GL_SCISSOR_TEST);
    gl.disable(GL_BLEND);
    gl.disable(GL_DEPTH_TEST);
    gl.disable(GL_ALPHA_TEST);
    gl.disable(GL_CULL_FACE);
    gl.disable(GL_LIGHTING);
    gl.clearColor(0, 0, 0, 1);
    gl.clear(GL_COLOR_BUFFER_BIT);
    gl.matrixMode(GL_PROJECTION);
    gl.loadIdentity();
    // Client pixels, y down.
    gl.ortho(0, clientWidth, clientHeight, 0, -1, 1);
    gl.matrixMode(GL_MODELVIEW);
    gl.loadIdentity();
    gl.enable(GL_TEXTURE_2D);
    gl.bindTexture(GL_TEXTURE_2D, texture != 0 ? texture : mTexture);
    gl.texEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const float top = bottomUp ? 1.0f : 0.0f;
    const float bottom = 1.0f - top;
    const float x0 = static_cast<float>(place.x), y0 = static_cast<float>(place.y);
    const float x1 = x0 + static_cast<float>(place.width), y1 = y0 + static_cast<float>(place.height);
    gl.color4ub(255, 255, 255, 255);
    gl.begin(GL_TRIANGLE_STRIP);
    gl.texCoord2f(0, top);
    gl.vertex2f(x0, y0);
    gl.texCoord2f(1, top);
    gl.vertex2f(x1, y0);
    gl.texCoord2f(0, bottom);
    gl.vertex2f(x0, y1);
    gl.texCoord2f(1, bottom);
    gl.vertex2f(x1, y1);
    gl.end();
    if (overlayX != kNoOverlay && mOverlayTexture != 0 && frameWidth > 0 && frameHeight > 0)
        DrawOverlay(place, clientHeight, frameWidth, frameHeight, overlayX, overlayY);
    gl.disable(GL_TEXTURE_2D);
}

bool WindowGl::Read(int clientWidth, int clientHeight, std::vector<uint32_t>* pixels) {
    if (mGl == nullptr || clientWidth <= 0 || clientHeight <= 0) return false;
    const Procs& gl = *mGl;
    std::vector<uint32_t> bottomUp(static_cast<size_t>(clientWidth) * clientHeight);
    gl.pixelStorei(GL_PACK_ALIGNMENT, 4);
    gl.readPixels(0, 0, clientWidth, clientHeight, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, bottomUp.data());
    gl.pixelStorei(GL_PACK_ALIGNMENT, 1);
    if (gl.getError() != GL_NO_ERROR) return false;
    pixels->resize(bottomUp.size());
    for (int y = 0; y < clientHeight; ++y) {
        const uint32_t* in = bottomUp.data() + static_cast<size_t>(clientHeight - 1 - y) * clientWidth;
        uint32_t* out = pixels->data() + static_cast<size_t>(y) * clientWidth;
        for (int x = 0; x < clientWidth; ++x) out[x] = in[x] & 0x00FFFFFFu;
    }
    return true;
}

void WindowGl::Release() {
    UploadOverlay(nullptr, 0, 0);
    if (mGl != nullptr && mTexture != 0) mGl->deleteTextures(1, &mTexture);
    mTexture = 0;
    mWidth = mHeight = 0;
}

}  // namespace plat
