#pragma once

// plat::d3d7: the hardware drawing device (what the Direct3D 7 HAL device was), on OpenGL 2.1
// in the compatibility profile.
//
// The device draws pre-transformed, pre-lit vertices (x and y in pixels of the render target,
// pixel centres at integer coordinates as Direct3D had them) into a render target that is a
// plat::dd surface. It renders into a framebuffer of its own of the surface's size and keeps
// the two copies coherent through the surface's access hook: the device's pixels are written
// back into the surface at EndScene and before anyone else locks or blits the surface, and the
// surface's pixels are taken up again before the next drawing call when someone wrote them.
//
// There is one GL context per process, taken on first use: the windows' own context when a
// window on a real display made one (SdlVideo.h; the device then draws in the context the
// window presents from), else an EGL context without a surface (EGL_MESA_platform_surfaceless,
// which Mesa's llvmpipe serves when there is no GPU and no display; else the default EGL
// display) for headless runs and tests. The thread that took it is the GL thread: every
// device and texture operation belongs to it, and makes the context current again when a
// window's present or another context took its place. A texture released on another thread has its GL
// name queued; the queue is emptied at the next drawing call.
//
// Results are the 32-bit DirectX result codes (negative on failure) shared with plat::dd, so
// that callers keep their labels and error names. Drawing calls can be made to fail once by
// fault injection (tests).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/DdSurface.h"
#include "platform/GlTextureAtlas.h"

namespace plat {
namespace d3d7 {

using Result = dd::Result;

// Texture formats as the device describes them (the DDPIXELFORMAT fields that matter).
enum PixelFormatFlags : uint32_t {
    kPfAlphaPixels = 0x1,
    kPfPaletteIndexed8 = 0x20,
    kPfRgb = 0x40,
};

struct PixelFormat {
    uint32_t flags = 0;
    int bitCount = 0;
    uint32_t alphaMask = 0;
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;

    static PixelFormat A8R8G8B8() { return {kPfRgb | kPfAlphaPixels, 32, 0xFF000000u, 0xFF0000, 0xFF00, 0xFF}; }
    static PixelFormat A4R4G4B4() { return {kPfRgb | kPfAlphaPixels, 16, 0xF000, 0xF00, 0xF0, 0xF}; }
    static PixelFormat R5G6B5() { return {kPfRgb, 16, 0, 0xF800, 0x7E0, 0x1F}; }
};

bool operator==(const PixelFormat& a, const PixelFormat& b);

// What GetCaps reports; sizes in texels. Palette textures are not offered, so textureCaps
// never holds kTexCapsAlphaPalette.
constexpr uint32_t kTexCapsAlphaPalette = 0x80;
struct Caps {
    int minTextureWidth = 1;
    int minTextureHeight = 1;
    int maxTextureWidth = 0;
    int maxTextureHeight = 0;
    int maxTextureAspectRatio = 0;  // 0: no limit
    uint32_t textureCaps = 0;
};

// A transformed, lit vertex (D3DFVF_TLVERTEX): position in render-target pixels, z and rhw
// unused (0 and 1), diffuse colour 0xAARRGGBB, specular unused, texture coordinates 0..1.
struct TLVertex {
    float x = 0, y = 0, z = 0, rhw = 1;
    uint32_t color = 0xFFFFFFFFu;
    uint32_t specular = 0;
    float tu = 0, tv = 0;
};

// Render states, texture-stage states and their values, numbered as Direct3D 7 numbered them.
enum RenderState : uint32_t {
    kRsZEnable = 7,
    kRsZWriteEnable = 14,
    kRsSrcBlend = 19,
    kRsDestBlend = 20,
    kRsCullMode = 22,
    kRsDitherEnable = 26,
    kRsAlphaBlendEnable = 27,
    kRsSpecularEnable = 29,
    kRsLighting = 137,
};
enum Blend : uint32_t { kBlendOne = 2, kBlendSrcAlpha = 5, kBlendInvSrcAlpha = 6 };
constexpr uint32_t kCullNone = 1;

enum StageState : uint32_t {
    kTssAlphaOp = 4,
    kTssAddressU = 13,
    kTssAddressV = 14,
    kTssMagFilter = 16,
    kTssMinFilter = 17,
    kTssMipFilter = 18,
};
constexpr uint32_t kTopModulate = 4;
constexpr uint32_t kAddressClamp = 3;
// Filter values: 1 point (mip filter: none), 2 linear (mip filter: point).
constexpr uint32_t kFilterPoint = 1;
constexpr uint32_t kFilterLinear = 2;

enum Primitive : uint32_t {
    kLineStrip = 3,
    kTriangleList = 4,
    kTriangleStrip = 5,
    kTriangleFan = 6,
};

// The adapter as the GL strings describe it. The identifier is a 16-byte hash of vendor,
// renderer and version; the driver is the path of the driver's library file when it can be
// found (its date gives the driver's year), else its name.
struct AdapterIdentity {
    std::string vendor;
    std::string renderer;
    std::string version;
    std::string description;  // "renderer (vendor)"
    std::string driver;
    uint8_t identifier[16] = {};
};

// Whether a GL context can be had; on false `why` says what was missing. The first call
// makes the context on the calling thread.
bool IsAvailable(std::string* why = nullptr);
Result GetAdapterIdentity(AdapterIdentity* identity);
// Video memory in bytes when a GL extension reports it (NVX_gpu_memory_info,
// ATI_meminfo); kErrUnsupported otherwise.
Result GetAvailableVidMem(uint64_t* totalBytes);

// Texture names released on other threads and not yet deleted (tests).
size_t PendingTextureDeletes();

// The drawing calls that can be made to fail by tests.
enum class Op { CreateDevice, SetRenderTarget, SetTexture, DrawPrimitive, LockTexture, Count };
// The (skip + 1)-th next call of op returns result instead of working.
void InjectFault(Op op, Result result, int skip = 0);
void ClearFaults();

class Device;

// A texture of one of the three formats. Lock gives a buffer of width x height texels at
// `pitch` bytes per row: for writing it starts undefined and Unlock uploads it; for reading
// it holds the texture's texels, read back from GL. GL keeps every format as 32-bit texels
// (16-bit channels widened by repeating their top bits, which reading back undoes), and small
// textures share the pages of the atlas (GlTextureAtlas.h).
class Texture {
public:
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    const PixelFormat& Format() const { return mFormat; }
    int BytesPerTexel() const { return mFormat.bitCount / 8; }

    Result Lock(bool readOnly, uint8_t** bits, int* pitch);
    Result Unlock();

private:
    friend class Device;
    Texture(int width, int height, const PixelFormat& format, const GlTextureAtlas::Place& place);
    // The texels of mStaging as 32-bit texels, with the border an atlas place has.
    std::vector<uint32_t> Expanded() const;

    int mWidth;
    int mHeight;
    PixelFormat mFormat;
    unsigned mName;                // the GL texture that holds the texels
    GlTextureAtlas::Place mPlace;  // page -1: a GL texture of its own, texel (0, 0) at (0, 0)
    float mU0 = 0, mV0 = 0;        // texture coordinates 0..1 to the GL texture's
    float mUScale = 1, mVScale = 1;
    std::vector<uint8_t> mStaging;
    bool mLocked = false;
    bool mReadOnly = false;
};

class Device : private dd::AccessHook {
public:
    // A device drawing into renderTarget (16- or 32-bit). The surface must outlive the device
    // or be replaced by SetRenderTarget first.
    static Result Create(dd::Surface* renderTarget, std::unique_ptr<Device>* out);
    ~Device() override;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    Result GetCaps(Caps* caps) const;
    std::vector<PixelFormat> EnumTextureFormats() const;
    // A texture of A8R8G8B8, A4R4G4B4 or R5G6B5 (the last is not listed but still made); kErrInvalidPixelFormat else.
    Result CreateTexture(int width, int height, const PixelFormat& format, std::shared_ptr<Texture>* out);

    Result SetRenderTarget(dd::Surface* surface);
    dd::Surface* GetRenderTarget() const { return mTarget; }
    // Drawing and Clear are limited to this rectangle (a scissor).
    Result SetViewport(int x, int y, int width, int height);
    Result Clear(uint32_t argb);
    Result BeginScene();
    // Writes the rendered pixels back into the render target.
    Result EndScene();
    // Ends the frame for showing it straight from the device (a window's PresentTexture): the
    // device's copy is brought up to date (surface pixels written since the last drawing call
    // are taken up) and an open scene ends without the copy back; the surface gets the pixels
    // only when someone reads it. False when the frame cannot be shown that way: the context
    // is not the windows' (SdlVideo.h), or another thread asks.
    bool EndFrameInDevice();
    // The texture that holds the render target's pixels (row 0 the top row), of Width() x
    // Height(); valid in the windows' context after EndFrameInDevice.
    unsigned FrameTexture() const { return mColorTexture; }
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    // Waits until GL has drawn everything sent so far, leaving the pixels in the device
    // (no read-back); for timing the drawing apart from the copy back.
    Result Finish();
    bool InScene() const { return mInScene; }
    // How many times the device's pixels were copied back into the render target, and how many
    // GL draw calls it made (batches of primitives); for tests and benchmarks.
    uint64_t ReadBackCount() const { return mReadBacks; }
    uint64_t DrawCallCount() const { return mDrawCalls; }

    Result SetRenderState(RenderState state, uint32_t value);
    Result SetTextureStageState(StageState state, uint32_t value);
    // Texture of stage 0; null draws the diffuse colour alone. Texels are modulated by the
    // diffuse colour (colour and alpha).
    Result SetTexture(Texture* texture);
    // Line strips draw their last point as well. Triangles are gathered into one batch while
    // texture, blend and filter stay the same, and sent to GL as one draw call when one of them
    // changes, before anything reads or replaces the pixels, and at the end of the scene.
    Result DrawPrimitive(Primitive type, const TLVertex* vertices, int count);

private:
    friend class Texture;
    // What a batch of triangles is drawn with.
    struct DrawState {
        unsigned texture = 0;  // 0: untextured
        bool blend = false;
        uint32_t srcBlend = kBlendOne;
        uint32_t destBlend = 0;  // zero: none given yet, taken as "zero"
        bool linear = false;
        bool flat = false;  // every primitive in one colour: nothing to interpolate
        bool operator==(const DrawState& o) const {
            return texture == o.texture && blend == o.blend && srcBlend == o.srcBlend && destBlend == o.destBlend &&
                   linear == o.linear && flat == o.flat;
        }
    };
    // A vertex as GL's client arrays take it: position, colour bytes R, G, B, A, texture position.
    struct GlVertex {
        float x, y;
        uint8_t rgba[4];
        float u, v;
    };

    Device() = default;
    // A texture is going away: triangles drawn from its GL texture go first, and it is unset
    // when it is the one set.
    void ForgetTexture(const Texture* texture, unsigned name);
    void BeforeSurfaceAccess(dd::Surface& surface, bool write) override;
    bool MakeFramebuffer(int width, int height);
    void ReleaseFramebuffer();
    void PushTarget();  // surface -> framebuffer
    void PullTarget();  // framebuffer -> surface
    // Framebuffer, matrices and scissor set, and the surface's newer pixels taken up.
    void BeginDrawing();
    void ApplyState(const DrawState& state);
    void Append(const TLVertex& vertex);
    // An unblended rectangle on whole pixels, untextured or with texels one to one and
    // untinted, written as a fill or a texel copy rather than drawn (the same pixels); false
    // when the rectangle is not one of those.
    bool CopyOrFillRect(const TLVertex* vertices);
    // Sends the gathered triangles to GL.
    void Flush();
    // Deletes the texture names queued by other threads, after sending batches that use them.
    static void DrainDeletes();

    dd::Surface* mTarget = nullptr;
    unsigned mFramebuffer = 0;
    unsigned mColorTexture = 0;
    int mWidth = 0;
    int mHeight = 0;
    enum class Newer { Same, Device, Surface } mNewer = Newer::Surface;
    bool mInScene = false;
    bool mPrepared = false;  // framebuffer, matrices and scissor set for drawing
    int mViewX = 0, mViewY = 0, mViewWidth = 0, mViewHeight = 0;
    DrawState mState;    // as the caller set it
    DrawState mApplied;  // as GL has it, when mStateApplied
    bool mStateApplied = false;
    const Texture* mTexture = nullptr;  // the texture set, and where its texels are in mState.texture
    float mMapU0 = 0, mMapV0 = 0, mMapUScale = 1, mMapVScale = 1;
    bool mTextureOpaque = true;  // the texture set has no alpha channel (or none is set)
    static constexpr size_t kMaxBatchVertices = 3 * 20000;
    DrawState mBatchState;  // what the gathered triangles are drawn with
    std::vector<GlVertex> mBatch;
    uint64_t mReadBacks = 0;
    uint64_t mDrawCalls = 0;
    std::vector<uint32_t> mScratch;
};

}  // namespace d3d7
}  // namespace plat
