#include "platform/D3D7.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/FaultHandler.h"
#include "platform/Files.h"
#include "platform/SdlVideo.h"

namespace plat {
namespace d3d7 {

namespace {

// Direct3D's "not in scene" and "scene in scene" results.
constexpr Result kErrSceneNotInScene = static_cast<Result>(0x887600B3u);
constexpr Result kErrSceneInScene = static_cast<Result>(0x887600B2u);

using GenFramebuffersFn = void (*)(GLsizei, GLuint*);
using DeleteFramebuffersFn = void (*)(GLsizei, const GLuint*);
using BindFramebufferFn = void (*)(GLenum, GLuint);
using FramebufferTexture2DFn = void (*)(GLenum, GLenum, GLenum, GLuint, GLint);
using CheckFramebufferStatusFn = GLenum (*)(GLenum);
using CopyImageSubDataFn = void (*)(GLuint, GLenum, GLint, GLint, GLint, GLint, GLuint, GLenum, GLint, GLint, GLint,
                                    GLint, GLsizei, GLsizei, GLsizei);
using ClearTexSubImageFn = void (*)(GLuint, GLint, GLint, GLint, GLint, GLsizei, GLsizei, GLsizei, GLenum, GLenum,
                                    const void*);

struct FaultSlot {
    Result result = 0;
    int skip = 0;
    bool armed = false;
};

// The process's one GL context and what hangs on it.
struct GlState {
    std::mutex mutex;
    bool tried = false;
    bool ok = false;
    std::string why;
    bool shared = false;  // the windows' context (SdlVideo.h) rather than one of our own
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    std::thread::id thread;
    // Textures released on other threads: their GL textures or atlas places go at the next
    // drawing call.
    struct PendingDelete {
        const Texture* texture;  // gone; only compared
        GlTextureAtlas::Place place;
    };
    std::vector<PendingDelete> pendingDeletes;
    GlTextureAtlas atlas;
    std::vector<Device*> devices;
    std::array<FaultSlot, static_cast<size_t>(Op::Count)> faults;

    GenFramebuffersFn genFramebuffers = nullptr;
    DeleteFramebuffersFn deleteFramebuffers = nullptr;
    BindFramebufferFn bindFramebuffer = nullptr;
    FramebufferTexture2DFn framebufferTexture2D = nullptr;
    CheckFramebufferStatusFn checkFramebufferStatus = nullptr;
    // Texel copies and fills without drawing (GL 4.3 and 4.4, or their extensions); null when
    // the context has none, and then rectangles are drawn.
    CopyImageSubDataFn copyImageSubData = nullptr;
    ClearTexSubImageFn clearTexSubImage = nullptr;
};

GlState& State() {
    static GlState* state = new GlState;  // lives as long as the process: textures may die late
    return *state;
}

bool HasWord(const char* list, const char* word) {
    if (list == nullptr) return false;
    const size_t n = std::strlen(word);
    for (const char* p = std::strstr(list, word); p != nullptr; p = std::strstr(p + 1, word)) {
        if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
    }
    return false;
}

template <typename Fn>
Fn LoadProc(bool shared, const char* core, const char* ext) {
    if (shared) {
        void* proc = GlProcAddress(core);
        if (proc == nullptr) proc = GlProcAddress(ext);
        return reinterpret_cast<Fn>(proc);
    }
    void (*proc)() = eglGetProcAddress(core);
    if (proc == nullptr) proc = eglGetProcAddress(ext);
    return reinterpret_cast<Fn>(proc);
}

// The context made on this thread by EGL alone: surfaceless where Mesa offers it.
bool InitOwnContext(GlState& s) {
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto getPlatformDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay != nullptr && HasWord(clientExtensions, "EGL_MESA_platform_surfaceless"))
        s.display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (s.display == EGL_NO_DISPLAY) s.display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    EGLint major = 0, minor = 0;
    if (s.display == EGL_NO_DISPLAY || !eglInitialize(s.display, &major, &minor)) {
        s.why = "no EGL display";
        return false;
    }
    const char* extensions = eglQueryString(s.display, EGL_EXTENSIONS);
    if (!HasWord(extensions, "EGL_KHR_surfaceless_context")) {
        s.why = "EGL_KHR_surfaceless_context missing";
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        s.why = "EGL has no desktop OpenGL";
        return false;
    }
    EGLConfig config = nullptr;
    if (!HasWord(extensions, "EGL_KHR_no_config_context")) {
        const EGLint want[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
        EGLint count = 0;
        if (!eglChooseConfig(s.display, want, &config, 1, &count) || count < 1) {
            s.why = "no EGL config for OpenGL";
            return false;
        }
    }
    const EGLint versioned[] = {EGL_CONTEXT_MAJOR_VERSION, 2, EGL_CONTEXT_MINOR_VERSION, 1, EGL_NONE};
    s.context = eglCreateContext(s.display, config, EGL_NO_CONTEXT, versioned);
    if (s.context == EGL_NO_CONTEXT) s.context = eglCreateContext(s.display, config, EGL_NO_CONTEXT, nullptr);
    if (s.context == EGL_NO_CONTEXT) {
        s.why = "eglCreateContext failed";
        return false;
    }
    if (!eglMakeCurrent(s.display, EGL_NO_SURFACE, EGL_NO_SURFACE, s.context)) {
        s.why = "eglMakeCurrent failed";
        return false;
    }
    NoteOtherGlContextCurrent();
    return true;
}

// The windows' context when one is made (frames are then shown straight from it), else one
// of our own.
bool InitContext(GlState& s) {
    s.shared = SharedGlContext() != nullptr && RestoreSharedGlContext();
    if (!s.shared && !InitOwnContext(s)) return false;
    const bool shared = s.shared;
    s.genFramebuffers = LoadProc<GenFramebuffersFn>(shared, "glGenFramebuffers", "glGenFramebuffersEXT");
    s.deleteFramebuffers = LoadProc<DeleteFramebuffersFn>(shared, "glDeleteFramebuffers", "glDeleteFramebuffersEXT");
    s.bindFramebuffer = LoadProc<BindFramebufferFn>(shared, "glBindFramebuffer", "glBindFramebufferEXT");
    s.framebufferTexture2D =
            LoadProc<FramebufferTexture2DFn>(shared, "glFramebufferTexture2D", "glFramebufferTexture2DEXT");
    s.checkFramebufferStatus =
            LoadProc<CheckFramebufferStatusFn>(shared, "glCheckFramebufferStatus", "glCheckFramebufferStatusEXT");
    if (!s.genFramebuffers || !s.deleteFramebuffers || !s.bindFramebuffer || !s.framebufferTexture2D ||
        !s.checkFramebufferStatus) {
        s.why = "OpenGL framebuffer objects missing";
        return false;
    }
    // Entry points are found whether or not the context offers them: the version or the
    // extension says.
    int major = 0, minor = 0;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version == nullptr || std::sscanf(version, "%d.%d", &major, &minor) != 2) major = minor = 0;
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const int level = major * 10 + minor;
    if (level >= 43 || HasWord(extensions, "GL_ARB_copy_image"))
        s.copyImageSubData = LoadProc<CopyImageSubDataFn>(shared, "glCopyImageSubData", "glCopyImageSubDataARB");
    if (level >= 44 || HasWord(extensions, "GL_ARB_clear_texture"))
        s.clearTexSubImage = LoadProc<ClearTexSubImageFn>(shared, "glClearTexSubImage", "glClearTexSubImageARB");
    s.thread = std::this_thread::get_id();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    return true;
}

std::string GlString(GLenum name);

bool EnsureContext() {
    GlState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.tried) {
        s.tried = true;
        s.ok = InitContext(s);
        if (s.ok) SetGraphicsRendererText(GlString(GL_RENDERER) + " (" + GlString(GL_VERSION) + ")");
    }
    return s.ok;
}

// Makes the device's context current again when a window's present or another context took
// its place on this thread.
bool Rebind(GlState& s) {
    if (s.shared) return RestoreSharedGlContext();
    if (eglGetCurrentContext() == s.context) return true;
    if (!eglMakeCurrent(s.display, EGL_NO_SURFACE, EGL_NO_SURFACE, s.context)) return false;
    NoteOtherGlContextCurrent();
    return true;
}

bool OnGlThread() {
    GlState& s = State();
    return s.ok && std::this_thread::get_id() == s.thread && Rebind(s);
}

Result TakeFault(Op op) {
    GlState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    FaultSlot& slot = s.faults[static_cast<size_t>(op)];
    if (!slot.armed) return dd::kOk;
    if (slot.skip > 0) {
        --slot.skip;
        return dd::kOk;
    }
    slot.armed = false;
    return slot.result;
}

bool IsTextureFormat(const PixelFormat& f) {
    return f == PixelFormat::A8R8G8B8() || f == PixelFormat::A4R4G4B4() || f == PixelFormat::R5G6B5();
}

struct Channel {
    int shift = 0;
    int bits = 0;
};

Channel ChannelOf(uint32_t mask) {
    Channel c;
    if (mask == 0) return c;
    while (!(mask & 1u)) {
        mask >>= 1;
        ++c.shift;
    }
    while (mask & 1u) {
        mask >>= 1;
        ++c.bits;
    }
    return c;
}

uint32_t Expand(uint32_t value, int bits) {
    if (bits >= 8) return value >> (bits - 8);
    if (bits <= 0) return 0;
    uint32_t out = value << (8 - bits);
    for (int filled = bits; filled < 8; filled += bits) out |= (value << (8 - bits)) >> filled;
    return out & 0xFF;
}

uint64_t Fnv1a(const std::string& text, uint64_t seed) {
    uint64_t hash = seed;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string GlString(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text != nullptr ? reinterpret_cast<const char*>(text) : std::string();
}

}  // namespace

bool operator==(const PixelFormat& a, const PixelFormat& b) {
    return a.flags == b.flags && a.bitCount == b.bitCount && a.alphaMask == b.alphaMask && a.redMask == b.redMask &&
           a.greenMask == b.greenMask && a.blueMask == b.blueMask;
}

bool IsAvailable(std::string* why) {
    const bool ok = EnsureContext();
    if (!ok && why != nullptr) *why = State().why;
    if (ok && !OnGlThread()) {
        if (why != nullptr) *why = "the GL context belongs to another thread";
        return false;
    }
    return ok;
}

size_t PendingTextureDeletes() {
    GlState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.pendingDeletes.size();
}

void InjectFault(Op op, Result result, int skip) {
    GlState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.faults[static_cast<size_t>(op)] = {result, skip, true};
}

void ClearFaults() {
    GlState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    for (FaultSlot& slot : s.faults) slot = FaultSlot();
}

Result GetAdapterIdentity(AdapterIdentity* identity) {
    if (identity == nullptr) return dd::kErrInvalidParams;
    if (!IsAvailable()) return dd::kErrNoDirectDrawHw;
    identity->vendor = GlString(GL_VENDOR);
    identity->renderer = GlString(GL_RENDERER);
    identity->version = GlString(GL_VERSION);
    identity->description = identity->renderer + " (" + identity->vendor + ")";
    const std::string all = identity->vendor + "\n" + identity->renderer + "\n" + identity->version;
    const uint64_t a = Fnv1a(all, 14695981039346656037ull);
    const uint64_t b = Fnv1a(all, a ^ 0x9E3779B97F4A7C15ull);
    for (int i = 0; i < 8; ++i) {
        identity->identifier[i] = static_cast<uint8_t>(a >> (8 * i));
        identity->identifier[8 + i] = static_cast<uint8_t>(b >> (8 * i));
    }
    // The driver's library: EGL_MESA_query_driver names it; the file lies in the DRI folder.
    identity->driver.clear();
    using DriverNameFn = const char* (*)(EGLDisplay);
    auto driverName = reinterpret_cast<DriverNameFn>(eglGetProcAddress("eglGetDisplayDriverName"));
    const char* name = driverName != nullptr ? driverName(State().display) : nullptr;
    if (name != nullptr && *name != '\0') {
        identity->driver = name;
        std::vector<std::string> folders;
        if (const char* env = std::getenv("LIBGL_DRIVERS_PATH")) folders.push_back(env);
        folders.insert(folders.end(), {"/usr/lib/x86_64-linux-gnu/dri", "/usr/lib/aarch64-linux-gnu/dri",
                                       "/usr/lib64/dri", "/usr/lib/dri"});
        for (const std::string& folder : folders) {
            const std::string path = folder + "/" + name + "_dri.so";
            if (FileModifiedTime(path) != 0) {
                identity->driver = path;
                break;
            }
        }
    }
    return dd::kOk;
}

Result GetAvailableVidMem(uint64_t* totalBytes) {
    if (totalBytes == nullptr) return dd::kErrInvalidParams;
    if (!IsAvailable()) return dd::kErrNoDirectDrawHw;
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    GLint values[4] = {0, 0, 0, 0};
    if (HasWord(extensions, "GL_NVX_gpu_memory_info")) {
        glGetIntegerv(0x9048, values);  // GPU_MEMORY_INFO_TOTAL_AVAILABLE_MEMORY_NVX, KB
    } else if (HasWord(extensions, "GL_ATI_meminfo")) {
        glGetIntegerv(0x87FC, values);  // TEXTURE_FREE_MEMORY_ATI: total free KB first
    } else {
        return dd::kErrUnsupported;
    }
    if (glGetError() != GL_NO_ERROR || values[0] <= 0) return dd::kErrUnsupported;
    *totalBytes = static_cast<uint64_t>(values[0]) * 1024u;
    return dd::kOk;
}

// ---- Texture ----

namespace {

// One texel of a texture format as 0xAARRGGBB (channels widened to 8 bits by repeating their
// top bits, as GL widens them), and back.
uint32_t TexelToArgb(const uint8_t* texel, const PixelFormat& format) {
    if (format.bitCount == 32) {
        uint32_t p;
        std::memcpy(&p, texel, 4);
        return p;
    }
    uint16_t h;
    std::memcpy(&h, texel, 2);
    if (format.alphaMask == 0)  // R5G6B5
        return 0xFF000000u | Expand(h >> 11, 5) << 16 | Expand(h >> 5 & 0x3F, 6) << 8 | Expand(h & 0x1F, 5);
    return Expand(h >> 12, 4) << 24 | Expand(h >> 8 & 0xF, 4) << 16 | Expand(h >> 4 & 0xF, 4) << 8 | Expand(h & 0xF, 4);
}

void ArgbToTexel(uint32_t p, const PixelFormat& format, uint8_t* texel) {
    if (format.bitCount == 32) {
        std::memcpy(texel, &p, 4);
        return;
    }
    const uint16_t h =
            format.alphaMask == 0
                    ? static_cast<uint16_t>((p >> 8 & 0xF800) | (p >> 5 & 0x7E0) | (p >> 3 & 0x1F))
                    : static_cast<uint16_t>((p >> 16 & 0xF000) | (p >> 12 & 0xF00) | (p >> 8 & 0xF0) | (p >> 4 & 0xF));
    std::memcpy(texel, &h, 2);
}

// A texture's place in the atlas, or its own GL texture, goes (after the devices forgot it).
void ReleaseTexels(GlState& s, const GlTextureAtlas::Place& place) {
    if (place.page >= 0) {
        s.atlas.Free(place);
    } else {
        GLuint name = place.name;
        glDeleteTextures(1, &name);
    }
}

}  // namespace

Texture::Texture(int width, int height, const PixelFormat& format, const GlTextureAtlas::Place& place)
        : mWidth(width), mHeight(height), mFormat(format), mName(place.name), mPlace(place) {
    if (place.page >= 0) {
        const float size = static_cast<float>(GlTextureAtlas::kPageSize);
        mU0 = static_cast<float>(place.x) / size;
        mV0 = static_cast<float>(place.y) / size;
        mUScale = static_cast<float>(width) / size;
        mVScale = static_cast<float>(height) / size;
    }
}

Texture::~Texture() {
    GlState& s = State();
    if (OnGlThread()) {
        for (Device* device : s.devices) device->ForgetTexture(this, mName);
        ReleaseTexels(s, mPlace);
        return;
    }
    std::lock_guard<std::mutex> lock(s.mutex);
    s.pendingDeletes.push_back({this, mPlace});
}

std::vector<uint32_t> Texture::Expanded() const {
    const int border = mPlace.page >= 0 ? 1 : 0;
    const int w = mWidth + 2 * border, h = mHeight + 2 * border;
    std::vector<uint32_t> out(static_cast<size_t>(w) * h);
    const int bytes = BytesPerTexel();
    for (int y = 0; y < h; ++y) {
        const int from = std::min(std::max(y - border, 0), mHeight - 1);
        const uint8_t* row = mStaging.data() + static_cast<size_t>(from) * mWidth * bytes;
        for (int x = 0; x < w; ++x) {
            const int column = std::min(std::max(x - border, 0), mWidth - 1);
            out[static_cast<size_t>(y) * w + x] = TexelToArgb(row + column * bytes, mFormat);
        }
    }
    return out;
}

Result Texture::Lock(bool readOnly, uint8_t** bits, int* pitch) {
    if (bits == nullptr || pitch == nullptr) return dd::kErrInvalidParams;
    if (mLocked) return dd::kErrSurfaceBusy;
    if (!OnGlThread()) return dd::kErrGeneric;
    const Result fault = TakeFault(Op::LockTexture);
    if (dd::Failed(fault)) return fault;
    mStaging.assign(static_cast<size_t>(mWidth) * mHeight * BytesPerTexel(), 0);
    if (readOnly) {
        // GL reads whole textures: the page (or the texture's own) and then our texels of it.
        const int fullWidth = mPlace.page >= 0 ? GlTextureAtlas::kPageSize : mWidth;
        const int fullHeight = mPlace.page >= 0 ? GlTextureAtlas::kPageSize : mHeight;
        std::vector<uint32_t> all(static_cast<size_t>(fullWidth) * fullHeight);
        glBindTexture(GL_TEXTURE_2D, mName);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, all.data());
        if (glGetError() != GL_NO_ERROR) {
            std::vector<uint8_t>().swap(mStaging);
            return dd::kErrGeneric;
        }
        const int x0 = mPlace.page >= 0 ? mPlace.x : 0, y0 = mPlace.page >= 0 ? mPlace.y : 0;
        for (int y = 0; y < mHeight; ++y)
            for (int x = 0; x < mWidth; ++x)
                ArgbToTexel(all[static_cast<size_t>(y0 + y) * fullWidth + x0 + x], mFormat,
                            mStaging.data() + (static_cast<size_t>(y) * mWidth + x) * BytesPerTexel());
    }
    mLocked = true;
    mReadOnly = readOnly;
    *bits = mStaging.data();
    *pitch = mWidth * BytesPerTexel();
    return dd::kOk;
}

Result Texture::Unlock() {
    if (!mLocked) return dd::kErrNotLocked;
    mLocked = false;
    Result result = dd::kOk;
    if (!mReadOnly) {
        // Triangles gathered from the GL texture are drawn with the old texels first.
        for (Device* device : State().devices)
            if (device->mBatchState.texture == mName) device->Flush();
        const std::vector<uint32_t> texels = Expanded();
        const int border = mPlace.page >= 0 ? 1 : 0;
        const int x0 = mPlace.page >= 0 ? mPlace.x - 1 : 0, y0 = mPlace.page >= 0 ? mPlace.y - 1 : 0;
        glBindTexture(GL_TEXTURE_2D, mName);
        glTexSubImage2D(GL_TEXTURE_2D, 0, x0, y0, mWidth + 2 * border, mHeight + 2 * border, GL_BGRA,
                        GL_UNSIGNED_INT_8_8_8_8_REV, texels.data());
        if (glGetError() != GL_NO_ERROR) result = dd::kErrGeneric;
    }
    std::vector<uint8_t>().swap(mStaging);
    return result;
}

// ---- Device ----

Result Device::Create(dd::Surface* renderTarget, std::unique_ptr<Device>* out) {
    if (out == nullptr) return dd::kErrInvalidParams;
    out->reset();
    const Result fault = TakeFault(Op::CreateDevice);
    if (dd::Failed(fault)) return fault;
    if (!IsAvailable()) return dd::kErrNoDirectDrawHw;
    if (renderTarget == nullptr) return dd::kErrInvalidParams;
    const int bits = renderTarget->Format().bitCount;
    if (bits != 16 && bits != 32) return dd::kErrInvalidPixelFormat;
    std::unique_ptr<Device> device(new Device);
    if (!device->MakeFramebuffer(renderTarget->Width(), renderTarget->Height())) return dd::kErrOutOfMemory;
    {
        GlState& s = State();
        std::lock_guard<std::mutex> lock(s.mutex);
        s.devices.push_back(device.get());
    }
    device->mTarget = renderTarget;
    renderTarget->SetAccessHook(device.get());
    device->mNewer = Newer::Surface;
    device->mViewWidth = renderTarget->Width();
    device->mViewHeight = renderTarget->Height();
    *out = std::move(device);
    return dd::kOk;
}

Device::~Device() {
    if (OnGlThread()) Flush();
    if (mTarget != nullptr && mTarget->GetAccessHook() == this) {
        if (mNewer == Newer::Device && OnGlThread()) PullTarget();
        mTarget->SetAccessHook(nullptr);
    }
    ReleaseFramebuffer();
    GlState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.devices.erase(std::remove(s.devices.begin(), s.devices.end(), this), s.devices.end());
}

void Device::ForgetTexture(const Texture* texture, unsigned name) {
    if (mBatchState.texture == name) Flush();
    if (mTexture == texture) {
        mTexture = nullptr;
        mState.texture = 0;
    }
    if (mApplied.texture == name) mStateApplied = false;
}

void Device::DrainDeletes() {
    GlState& s = State();
    std::vector<GlState::PendingDelete> pending;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.pendingDeletes.empty()) return;
        pending.swap(s.pendingDeletes);
    }
    for (const GlState::PendingDelete& gone : pending) {
        for (Device* device : s.devices) device->ForgetTexture(gone.texture, gone.place.name);
        ReleaseTexels(s, gone.place);
    }
}

bool Device::MakeFramebuffer(int width, int height) {
    GlState& s = State();
    mPrepared = false;
    ReleaseFramebuffer();
    if (width <= 0 || height <= 0) return false;
    glGenTextures(1, &mColorTexture);
    glBindTexture(GL_TEXTURE_2D, mColorTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    s.genFramebuffers(1, &mFramebuffer);
    s.bindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);
    s.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, mColorTexture, 0);
    const bool complete = s.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (glGetError() != GL_NO_ERROR || !complete) {
        ReleaseFramebuffer();
        return false;
    }
    mWidth = width;
    mHeight = height;
    return true;
}

void Device::ReleaseFramebuffer() {
    if (!OnGlThread()) return;
    GlState& s = State();
    if (mFramebuffer != 0) {
        s.bindFramebuffer(GL_FRAMEBUFFER, 0);
        s.deleteFramebuffers(1, &mFramebuffer);
    }
    if (mColorTexture != 0) glDeleteTextures(1, &mColorTexture);
    mFramebuffer = 0;
    mColorTexture = 0;
}

Result Device::GetCaps(Caps* caps) const {
    if (caps == nullptr) return dd::kErrInvalidParams;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    *caps = Caps();
    caps->maxTextureWidth = maxSize;
    caps->maxTextureHeight = maxSize;
    return dd::kOk;
}

// GL keeps every texture as 32-bit texels, so 16-bit textures save nothing here: offering
// R5G6B5 would only cut opaque images (backgrounds with soft gradients) to 565 and band them.
// A4R4G4B4 stays on offer for the images that ask for it by name.
std::vector<PixelFormat> Device::EnumTextureFormats() const {
    return {PixelFormat::A8R8G8B8(), PixelFormat::A4R4G4B4()};
}

Result Device::CreateTexture(int width, int height, const PixelFormat& format, std::shared_ptr<Texture>* out) {
    if (out == nullptr || width <= 0 || height <= 0) return dd::kErrInvalidParams;
    out->reset();
    if (!OnGlThread()) return dd::kErrGeneric;
    if (!IsTextureFormat(format)) return dd::kErrInvalidPixelFormat;
    DrainDeletes();
    GlTextureAtlas::Place place;
    if (!State().atlas.Allocate(width, height, &place)) {
        // Too large for the atlas: a GL texture of its own.
        const unsigned name = GlTextureAtlas::MakeTexture(width, height);
        if (name == 0) return dd::kErrOutOfMemory;
        place = GlTextureAtlas::Place();
        place.name = name;
        place.width = width;
        place.height = height;
    }
    out->reset(new Texture(width, height, format, place));
    return dd::kOk;
}

Result Device::SetRenderTarget(dd::Surface* surface) {
    const Result fault = TakeFault(Op::SetRenderTarget);
    if (dd::Failed(fault)) return fault;
    if (surface == nullptr) return dd::kErrInvalidParams;
    if (!OnGlThread()) return dd::kErrGeneric;
    if (surface == mTarget) return dd::kOk;
    const int bits = surface->Format().bitCount;
    if (bits != 16 && bits != 32) return dd::kErrInvalidPixelFormat;
    Flush();
    if (mTarget != nullptr && mTarget->GetAccessHook() == this) {
        if (mNewer == Newer::Device) PullTarget();
        mTarget->SetAccessHook(nullptr);
    }
    mTarget = surface;
    surface->SetAccessHook(this);
    if ((surface->Width() != mWidth || surface->Height() != mHeight) &&
        !MakeFramebuffer(surface->Width(), surface->Height())) {
        surface->SetAccessHook(nullptr);
        mTarget = nullptr;
        return dd::kErrOutOfMemory;
    }
    mNewer = Newer::Surface;
    return dd::kOk;
}

Result Device::SetViewport(int x, int y, int width, int height) {
    if (width < 0 || height < 0) return dd::kErrInvalidParams;
    Flush();
    mPrepared = false;
    mViewX = x;
    mViewY = y;
    mViewWidth = width;
    mViewHeight = height;
    return dd::kOk;
}

void Device::BeforeSurfaceAccess(dd::Surface& surface, bool write) {
    if (&surface != mTarget || !OnGlThread()) return;
    Flush();
    if (mNewer == Newer::Device) PullTarget();
    mNewer = write ? Newer::Surface : Newer::Same;
}

void Device::PushTarget() {
    const dd::PixelFormat& format = mTarget->Format();
    const Channel r = ChannelOf(format.redMask), g = ChannelOf(format.greenMask), b = ChannelOf(format.blueMask);
    mScratch.resize(static_cast<size_t>(mWidth) * mHeight);
    if (format == dd::PixelFormat::X8R8G8B8()) {
        for (int y = 0; y < mHeight; ++y)
            std::memcpy(mScratch.data() + static_cast<size_t>(y) * mWidth, mTarget->Row(y), mWidth * 4u);
    }
    for (int y = 0; y < mHeight && !(format == dd::PixelFormat::X8R8G8B8()); ++y) {
        const uint8_t* row = mTarget->Row(y);
        uint32_t* out = mScratch.data() + static_cast<size_t>(y) * mWidth;
        for (int x = 0; x < mWidth; ++x) {
            uint32_t p;
            if (format.bitCount == 32) {
                std::memcpy(&p, row + 4 * x, 4);
            } else {
                uint16_t h;
                std::memcpy(&h, row + 2 * x, 2);
                p = h;
            }
            out[x] = 0xFF000000u | Expand((p & format.redMask) >> r.shift, r.bits) << 16 |
                     Expand((p & format.greenMask) >> g.shift, g.bits) << 8 |
                     Expand((p & format.blueMask) >> b.shift, b.bits);
        }
    }
    NoteGlTextureChanging(mColorTexture);
    glBindTexture(GL_TEXTURE_2D, mColorTexture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, mWidth, mHeight, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, mScratch.data());
    mNewer = Newer::Same;
}

void Device::PullTarget() {
    Flush();
    ++mReadBacks;
    State().bindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);
    mScratch.resize(static_cast<size_t>(mWidth) * mHeight);
    glReadPixels(0, 0, mWidth, mHeight, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, mScratch.data());
    const dd::PixelFormat& format = mTarget->Format();
    if (format == dd::PixelFormat::X8R8G8B8()) {
        // The X byte of the surface stays 0, as the other formats' conversion leaves it.
        for (int y = 0; y < mHeight; ++y) {
            uint8_t* row = mTarget->MutableRow(y);  // rows may sit at any byte offset
            const uint32_t* in = mScratch.data() + static_cast<size_t>(y) * mWidth;
            for (int x = 0; x < mWidth; ++x) {
                const uint32_t value = in[x] & 0xFFFFFFu;
                std::memcpy(row + 4 * x, &value, 4);
            }
        }
        mNewer = Newer::Same;
        return;
    }
    if (format == dd::PixelFormat::R5G6B5()) {
        for (int y = 0; y < mHeight; ++y) {
            uint8_t* row = mTarget->MutableRow(y);
            const uint32_t* in = mScratch.data() + static_cast<size_t>(y) * mWidth;
            for (int x = 0; x < mWidth; ++x) {
                const uint32_t p = in[x];
                const uint16_t value = static_cast<uint16_t>((p >> 8 & 0xF800) | (p >> 5 & 0x7E0) | (p >> 3 & 0x1F));
                std::memcpy(row + 2 * x, &value, 2);
            }
        }
        mNewer = Newer::Same;
        return;
    }
    const Channel r = ChannelOf(format.redMask), g = ChannelOf(format.greenMask), b = ChannelOf(format.blueMask);
    for (int y = 0; y < mHeight; ++y) {
        uint8_t* row = mTarget->MutableRow(y);
        const uint32_t* in = mScratch.data() + static_cast<size_t>(y) * mWidth;
        for (int x = 0; x < mWidth; ++x) {
            const uint32_t p = in[x];
            const uint32_t value = ((p >> 16 & 0xFF) >> (8 - r.bits)) << r.shift |
                                   ((p >> 8 & 0xFF) >> (8 - g.bits)) << g.shift |
                                   ((p & 0xFF) >> (8 - b.bits)) << b.shift;
            if (format.bitCount == 32) {
                std::memcpy(row + 4 * x, &value, 4);
            } else {
                const uint16_t h = static_cast<uint16_t>(value);
                std::memcpy(row + 2 * x, &h, 2);
            }
        }
    }
    mNewer = Newer::Same;
}

void Device::BeginDrawing() {
    NoteGlTextureChanging(mColorTexture);  // a window may show the previous frame from it
    if (mNewer == Newer::Surface) {
        State().bindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);
        PushTarget();
    }
    if (mPrepared) return;
    // Framebuffer, matrices and scissor hold within a scene; a window's present between
    // scenes changes them (and every other state) in the shared context.
    mPrepared = true;
    mStateApplied = false;
    State().bindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);
    glViewport(0, 0, mWidth, mHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Row 0 of the framebuffer is the surface's top row, so y runs up in GL's terms and down
    // in ours; pixel centres sit half a pixel off the integer coordinates the vertices use.
    glOrtho(0, mWidth, 0, mHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.5f, 0.5f, 0.0f);
    glEnable(GL_SCISSOR_TEST);
    glScissor(mViewX, mViewY, mViewWidth, mViewHeight);
    glDisable(GL_DITHER);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_ALPHA_TEST);
}

namespace {

GLenum GlBlend(uint32_t blend) {
    switch (blend) {
        case kBlendOne: return GL_ONE;
        case kBlendSrcAlpha: return GL_SRC_ALPHA;
        case kBlendInvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
        default: return GL_ZERO;
    }
}

}  // namespace

void Device::ApplyState(const DrawState& state) {
    const bool all = !mStateApplied;
    if (all || state.blend != mApplied.blend) {
        if (state.blend)
            glEnable(GL_BLEND);
        else
            glDisable(GL_BLEND);
    }
    if (state.blend &&
        (all || !mApplied.blend || state.srcBlend != mApplied.srcBlend || state.destBlend != mApplied.destBlend))
        glBlendFunc(GlBlend(state.srcBlend), GlBlend(state.destBlend));
    if (all || (state.texture != 0) != (mApplied.texture != 0)) {
        if (state.texture != 0) {
            glEnable(GL_TEXTURE_2D);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        } else {
            glDisable(GL_TEXTURE_2D);
        }
    }
    if (all || state.flat != mApplied.flat) glShadeModel(state.flat ? GL_FLAT : GL_SMOOTH);
    if (state.texture != 0) {
        // Texture uploads bind their own names, so the binding is set every time; GL skips
        // filter values that are already set.
        glBindTexture(GL_TEXTURE_2D, state.texture);
        const GLint filter = state.linear ? GL_LINEAR : GL_NEAREST;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    }
    mApplied = state;
    mStateApplied = true;
}

void Device::Flush() {
    if (mBatch.empty()) return;
    if (!OnGlThread() || mTarget == nullptr) {
        mBatch.clear();
        return;
    }
    BeginDrawing();
    ApplyState(mBatchState);
    const GLsizei stride = sizeof(GlVertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, stride, &mBatch[0].x);
    glColorPointer(4, GL_UNSIGNED_BYTE, stride, mBatch[0].rgba);
    if (mBatchState.texture != 0) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, &mBatch[0].u);
    }
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(mBatch.size()));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    ++mDrawCalls;
    mBatch.clear();
}

void Device::Append(const TLVertex& v) {
    GlVertex g;
    g.x = v.x;
    g.y = v.y;
    g.rgba[0] = static_cast<uint8_t>(v.color >> 16);
    g.rgba[1] = static_cast<uint8_t>(v.color >> 8);
    g.rgba[2] = static_cast<uint8_t>(v.color);
    g.rgba[3] = static_cast<uint8_t>(v.color >> 24);
    // Texture coordinates of the texture set, moved to its place in the GL texture.
    g.u = mMapU0 + v.tu * mMapUScale;
    g.v = mMapV0 + v.tv * mMapVScale;
    mBatch.push_back(g);
}

Result Device::Clear(uint32_t argb) {
    if (!OnGlThread() || mTarget == nullptr) return dd::kErrGeneric;
    DrainDeletes();
    Flush();
    BeginDrawing();
    glClearColor((argb >> 16 & 0xFF) / 255.0f, (argb >> 8 & 0xFF) / 255.0f, (argb & 0xFF) / 255.0f,
                 (argb >> 24) / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    mNewer = Newer::Device;
    return glGetError() == GL_NO_ERROR ? dd::kOk : dd::kErrGeneric;
}

Result Device::BeginScene() {
    if (mInScene) return kErrSceneInScene;
    mInScene = true;
    mPrepared = false;
    return dd::kOk;
}

Result Device::EndScene() {
    if (!mInScene) return kErrSceneNotInScene;
    if (OnGlThread()) Flush();
    mInScene = false;
    mPrepared = false;
    if (mNewer == Newer::Device && OnGlThread()) PullTarget();
    return dd::kOk;
}

bool Device::EndFrameInDevice() {
    if (!OnGlThread() || !State().shared || mTarget == nullptr || mColorTexture == 0) return false;
    Flush();
    if (mNewer == Newer::Surface) {
        State().bindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);
        PushTarget();
    }
    mInScene = false;
    mPrepared = false;
    return glGetError() == GL_NO_ERROR;
}

Result Device::Finish() {
    if (!OnGlThread()) return dd::kErrGeneric;
    Flush();
    glFinish();
    return glGetError() == GL_NO_ERROR ? dd::kOk : dd::kErrGeneric;
}

Result Device::SetRenderState(RenderState state, uint32_t value) {
    switch (state) {
        case kRsAlphaBlendEnable: mState.blend = value != 0; break;
        case kRsSrcBlend: mState.srcBlend = value; break;
        case kRsDestBlend: mState.destBlend = value; break;
        default: break;  // depth, culling, lighting, dither and specular stay off
    }
    return dd::kOk;
}

Result Device::SetTextureStageState(StageState state, uint32_t value) {
    if (state == kTssMinFilter || state == kTssMagFilter) mState.linear = value == kFilterLinear;
    return dd::kOk;
}

Result Device::SetTexture(Texture* texture) {
    const Result fault = TakeFault(Op::SetTexture);
    if (dd::Failed(fault)) return fault;
    mTexture = texture;
    mState.texture = texture != nullptr ? texture->mName : 0;
    mMapU0 = texture != nullptr ? texture->mU0 : 0.0f;
    mMapV0 = texture != nullptr ? texture->mV0 : 0.0f;
    mMapUScale = texture != nullptr ? texture->mUScale : 1.0f;
    mMapVScale = texture != nullptr ? texture->mVScale : 1.0f;
    mTextureOpaque = texture == nullptr || texture->Format().alphaMask == 0;
    return dd::kOk;
}

namespace {

bool IsWhole(float value) { return std::floor(value) == value; }

// Texel units of a texture coordinate when they are whole within a thousandth.
bool WholeTexels(float coordinate, int size, int* texels) {
    const float value = coordinate * static_cast<float>(size);
    const float rounded = std::round(value);
    if (std::fabs(value - rounded) > 1e-3f) return false;
    *texels = static_cast<int>(rounded);
    return true;
}

}  // namespace

bool Device::CopyOrFillRect(const TLVertex* v) {
    GlState& s = State();
    // A rectangle on whole pixels (corners top left, bottom left, top right, bottom right, as
    // the callers make them) in one colour.
    if (v[0].x != v[1].x || v[2].x != v[3].x || v[0].y != v[2].y || v[1].y != v[3].y || v[0].x >= v[2].x ||
        v[0].y >= v[1].y)
        return false;
    const float left = v[0].x + 0.5f, top = v[0].y + 0.5f, right = v[2].x + 0.5f, bottom = v[1].y + 0.5f;
    if (!IsWhole(left) || !IsWhole(top) || !IsWhole(right) || !IsWhole(bottom)) return false;
    if (v[1].color != v[0].color || v[2].color != v[0].color || v[3].color != v[0].color) return false;
    int x0 = static_cast<int>(left), y0 = static_cast<int>(top);
    const int w = static_cast<int>(right) - x0, h = static_cast<int>(bottom) - y0;
    int srcX = 0, srcY = 0;
    if (mState.texture != 0) {
        // Texels one to one onto pixels, untinted: the texels themselves.
        if (s.copyImageSubData == nullptr || mTexture == nullptr || v[0].color != 0xFFFFFFFFu) return false;
        if (v[1].tu != v[0].tu || v[3].tu != v[2].tu || v[2].tv != v[0].tv || v[3].tv != v[1].tv) return false;
        int u0 = 0, u1 = 0, t0 = 0, t1 = 0;
        if (!WholeTexels(v[0].tu, mTexture->Width(), &u0) || !WholeTexels(v[2].tu, mTexture->Width(), &u1) ||
            !WholeTexels(v[0].tv, mTexture->Height(), &t0) || !WholeTexels(v[1].tv, mTexture->Height(), &t1) ||
            u1 - u0 != w || t1 - t0 != h || u0 < 0 || t0 < 0 || u1 > mTexture->Width() || t1 > mTexture->Height())
            return false;
        srcX = u0 + (mTexture->mPlace.page >= 0 ? mTexture->mPlace.x : 0);
        srcY = t0 + (mTexture->mPlace.page >= 0 ? mTexture->mPlace.y : 0);
    } else if (s.clearTexSubImage == nullptr) {
        return false;
    }
    // Cut to the viewport and the render target, the source with it.
    const int cutLeft = std::max({x0, mViewX, 0}), cutTop = std::max({y0, mViewY, 0});
    const int cutRight = std::min({x0 + w, mViewX + mViewWidth, mWidth});
    const int cutBottom = std::min({y0 + h, mViewY + mViewHeight, mHeight});
    Flush();
    BeginDrawing();
    mNewer = Newer::Device;
    if (cutRight <= cutLeft || cutBottom <= cutTop) return true;
    srcX += cutLeft - x0;
    srcY += cutTop - y0;
    if (mState.texture != 0) {
        s.copyImageSubData(mState.texture, GL_TEXTURE_2D, 0, srcX, srcY, 0, mColorTexture, GL_TEXTURE_2D, 0, cutLeft,
                           cutTop, 0, cutRight - cutLeft, cutBottom - cutTop, 1);
    } else {
        const uint32_t argb = v[0].color;
        s.clearTexSubImage(mColorTexture, 0, cutLeft, cutTop, 0, cutRight - cutLeft, cutBottom - cutTop, 1, GL_BGRA,
                           GL_UNSIGNED_INT_8_8_8_8_REV, &argb);
    }
    ++mDrawCalls;
    return true;
}

Result Device::DrawPrimitive(Primitive type, const TLVertex* vertices, int count) {
    const Result fault = TakeFault(Op::DrawPrimitive);
    if (dd::Failed(fault)) return fault;
    if (vertices == nullptr || count < 0) return dd::kErrInvalidParams;
    if (!OnGlThread() || mTarget == nullptr) return dd::kErrGeneric;
    if (type != kLineStrip && type != kTriangleList && type != kTriangleStrip && type != kTriangleFan)
        return dd::kErrInvalidParams;
    DrainDeletes();
    DrawState state = mState;
    // Opaque texels under opaque vertices blended as "source alpha, one minus source alpha"
    // come out as the texels themselves: drawn without blending, which is the same picture
    // and saves reading the framebuffer.
    if (state.blend && state.srcBlend == kBlendSrcAlpha && state.destBlend == kBlendInvSrcAlpha && mTextureOpaque &&
        std::all_of(vertices, vertices + count, [](const TLVertex& v) { return v.color >> 24 == 0xFF; }))
        state.blend = false;
    if (type == kTriangleStrip && count == 4 && !state.blend && CopyOrFillRect(vertices)) return dd::kOk;
    state.flat = count > 0 && std::all_of(vertices, vertices + count,
                                          [&](const TLVertex& v) { return v.color == vertices[0].color; });
    if (!(state == mBatchState) || type == kLineStrip || mBatch.size() + 3u * count > kMaxBatchVertices) Flush();
    BeginDrawing();
    mNewer = Newer::Device;
    if (type == kLineStrip) {
        ApplyState(state);
        auto emit = [this](const TLVertex& v) {
            glColor4ub(static_cast<GLubyte>(v.color >> 16), static_cast<GLubyte>(v.color >> 8),
                       static_cast<GLubyte>(v.color), static_cast<GLubyte>(v.color >> 24));
            glTexCoord2f(mMapU0 + v.tu * mMapUScale, mMapV0 + v.tv * mMapVScale);
            glVertex2f(v.x, v.y);
        };
        glBegin(GL_LINE_STRIP);
        for (int i = 0; i < count; ++i) emit(vertices[i]);
        glEnd();
        if (count > 0) {
            // GL leaves out a line's last pixel; Direct3D drivers differ, and callers expect it.
            glBegin(GL_POINTS);
            emit(vertices[count - 1]);
            glEnd();
        }
        ++mDrawCalls;
        return glGetError() == GL_NO_ERROR ? dd::kOk : dd::kErrGeneric;
    }
    mBatchState = state;
    switch (type) {
        case kTriangleList:
            for (int i = 0; i + 2 < count; i += 3)
                for (int k = 0; k < 3; ++k) Append(vertices[i + k]);
            break;
        case kTriangleStrip:
            for (int i = 0; i + 2 < count; ++i) {
                Append(vertices[i]);
                Append(vertices[i + 1]);
                Append(vertices[i + 2]);
            }
            break;
        default:  // fan
            for (int i = 1; i + 1 < count; ++i) {
                Append(vertices[0]);
                Append(vertices[i]);
                Append(vertices[i + 1]);
            }
            break;
    }
    return dd::kOk;
}

}  // namespace d3d7
}  // namespace plat
