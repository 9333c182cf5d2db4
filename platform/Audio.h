#pragma once

// Sound output (what DirectSound was): our own software mixer with voices shaped like
// DirectSound buffers, and an output that plays the mix on the sound card.
//
// A voice (Voice) is a block of PCM bytes in its own format (8-bit unsigned or 16-bit
// signed, mono or stereo, any rate). Callers write it through Lock/Unlock of byte
// regions, start it once or looping, read its play cursor, and ask for notifications:
// an event is set when the play cursor passes a byte offset, or when the voice stops
// (kOffsetStop, set at the end of a non-looping voice and synchronously inside Stop).
// Volume and pan are in millibels (hundredths of a decibel): a gain of 10^(mB/2000),
// -10000 is silence. A frequency other than the format's resamples the voice (linear
// interpolation). A duplicate shares the samples and has its own cursor and volume. 3-D
// voices are placed against one listener: distance attenuation (inverse distance between
// the minimum and maximum distance), an optional sound cone and left/right panning.
//
// The Mixer mixes every playing voice into interleaved signed 16-bit stereo at its
// output rate (44100 Hz by default). Tests pull Mixer::Mix by hand; OpenOutput hands the
// mixer to an SDL audio callback. When no device can be opened the answer is null and
// the program runs without sound ("no sound").
//
// Threads: every operation may be called from any thread. The mixer has one internal
// lock, taken by each operation and by Mix for a short time; callers' own locks must be
// taken before any call here, and the mixer never calls back into its callers (it only
// sets plat::Event objects).

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Event.h"

namespace plat {
namespace audio {

constexpr uint32_t kOutputRate = 44100;
constexpr int32_t kVolumeSilent = -10000;
constexpr int32_t kVolumeFull = 0;
constexpr int32_t kPanLeft = -10000;
constexpr int32_t kPanCenter = 0;
constexpr int32_t kPanRight = 10000;
constexpr uint32_t kFrequencyOriginal = 0;
constexpr uint32_t kFrequencyMin = 100;
constexpr uint32_t kFrequencyMax = 200000;
// Notification offset meaning "when the voice stops".
constexpr uint32_t kOffsetStop = 0xFFFFFFFFu;

// Capability flags of a voice; the bit values are DirectSound's, so flag words computed
// by the engine pass through unchanged. A voice without a control refuses its setter.
enum BufferFlags : uint32_t {
    kLocSoftware = 0x00008,
    kCtrl3D = 0x00010,
    kCtrlFrequency = 0x00020,
    kCtrlPan = 0x00040,
    kCtrlVolume = 0x00080,
    kCtrlPositionNotify = 0x00100,
    kGetCurrentPosition2 = 0x10000,
    kMute3DAtMaxDistance = 0x20000,
};

struct PcmFormat {
    uint16_t channels = 2;  // 1 or 2
    uint32_t samplesPerSec = 22050;
    uint16_t bitsPerSample = 16;  // 8 (unsigned) or 16 (signed, little-endian)

    uint32_t BlockAlign() const { return uint32_t(channels) * bitsPerSample / 8; }
};

struct BufferDesc {
    uint32_t flags = 0;  // BufferFlags
    uint32_t bytes = 0;  // whole frames, at least one
    PcmFormat format;
};

struct Vec3 {
    float x = 0;
    float y = 0;
    float z = 0;
};

enum Mode3D : uint32_t {
    kMode3DNormal = 0,        // position in world coordinates
    kMode3DHeadRelative = 1,  // position relative to the listener
    kMode3DDisable = 2,       // no 3-D processing: plays as a plain voice
};

// 3-D parameters of one voice. Angles in degrees; the cone's outside volume in millibels.
struct Voice3D {
    Vec3 position;
    Vec3 velocity;  // kept, not used (no Doppler shift)
    uint32_t insideConeAngle = 360;
    uint32_t outsideConeAngle = 360;
    Vec3 coneOrientation{0, 0, 1};
    int32_t coneOutsideVolume = 0;
    float minDistance = 1.0f;
    float maxDistance = 1.0e9f;
    uint32_t mode = kMode3DNormal;
};

// The one listener. Front and top need not be normalised; right is top x front.
struct Listener3D {
    Vec3 position;
    Vec3 velocity;  // kept, not used
    Vec3 front{0, 0, 1};
    Vec3 top{0, 1, 0};
    float distanceFactor = 1.0f;
    float rolloffFactor = 1.0f;
    float dopplerFactor = 1.0f;  // kept, not used
};

// An event set when the play cursor passes `offset` (a byte of the voice), or when the
// voice stops for kOffsetStop. The event is not owned and must outlive the voice's use.
struct Notification {
    uint32_t offset;
    Event* event;
};

// A locked byte region: up to two parts when it wraps around the end of the voice.
struct LockedRegion {
    uint8_t* part1 = nullptr;
    uint32_t bytes1 = 0;
    uint8_t* part2 = nullptr;
    uint32_t bytes2 = 0;
};

// Form of the mixer's sample loops: SSE2, four output frames at a time, where the build
// targets it (every x86-64 build; elsewhere kSse2 runs the plain loops), or the plain C++
// loops. Both give the same output bit for bit.
enum class MixLoopKind { kPlain, kSse2 };

class Mixer;
struct MixerCore;
struct VoiceData;

class Voice {
public:
    ~Voice();
    Voice(const Voice&) = delete;
    Voice& operator=(const Voice&) = delete;

    const BufferDesc& Desc() const { return mDesc; }

    // Opens `bytes` bytes from `offset` (wrapping at the end) for writing; `bytes` 0 or
    // `entire` means the whole voice. The parts hold the current contents; the written
    // bytes reach the voice at Unlock. False when already locked or out of range.
    bool Lock(uint32_t offset, uint32_t bytes, LockedRegion& region, bool entire = false);
    bool Unlock();

    bool Play(bool looping);
    // Stops and keeps the cursor; a playing voice sets its stop notifications before
    // returning. Stopping a stopped voice does nothing.
    void Stop();
    bool IsPlaying() const;
    bool IsLooping() const;

    // Play cursor: the next byte to be played. Write cursor: the first byte that is safe
    // to write ahead of the mix (10 ms ahead of the play cursor while playing).
    void GetCurrentPosition(uint32_t* play, uint32_t* write) const;
    // Moves the play cursor (rounded down to a whole frame); false beyond the end.
    bool SetCurrentPosition(uint32_t offset);

    bool SetVolume(int32_t millibels);  // kVolumeSilent..kVolumeFull, needs kCtrlVolume
    int32_t GetVolume() const;
    bool SetPan(int32_t millibels);  // kPanLeft..kPanRight, needs kCtrlPan
    int32_t GetPan() const;
    // Samples per second to play at; kFrequencyOriginal restores the format's rate.
    bool SetFrequency(uint32_t hz);
    uint32_t GetFrequency() const;

    // Replaces the notifications; needs kCtrlPositionNotify, a stopped voice and offsets
    // inside the voice (or kOffsetStop).
    bool SetNotificationPositions(const std::vector<Notification>& notifications);

    bool Set3D(const Voice3D& params);  // needs kCtrl3D
    bool Get3D(Voice3D& params) const;

private:
    friend class Mixer;
    friend struct MixerCore;
    Voice(std::shared_ptr<MixerCore> core, const BufferDesc& desc, std::shared_ptr<VoiceData> data);

    std::shared_ptr<MixerCore> mCore;
    const BufferDesc mDesc;
    std::shared_ptr<VoiceData> mData;  // shared with duplicates
    // Everything below is guarded by the mixer's lock.
    bool mPlaying = false;
    bool mLooping = false;
    uint32_t mFrame = 0;     // play cursor in frames
    uint32_t mFraction = 0;  // position between mFrame and the next frame, 1/2^32
    int32_t mVolume = kVolumeFull;
    int32_t mPan = kPanCenter;
    uint32_t mFrequency;
    std::vector<Notification> mNotifications;
    Voice3D m3D;
    bool mLocked = false;
    uint32_t mLockOffset = 0;
    std::vector<uint8_t> mLockScratch;
};

class Mixer {
public:
    // Output rates are kept within 1000..384000 Hz; 0 means kOutputRate.
    explicit Mixer(uint32_t outputRate = kOutputRate);
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    uint32_t OutputRate() const;

    // A new stopped voice filled with silence; null for a format or size it cannot play.
    std::unique_ptr<Voice> CreateVoice(const BufferDesc& desc);
    // A stopped voice over the same samples with the source's flags, volume, pan and
    // frequency; no notifications.
    std::unique_ptr<Voice> Duplicate(const Voice& source);

    void SetListener(const Listener3D& listener);
    Listener3D GetListener() const;

    // Mixes the next `frames` frames of every playing voice into `out` (interleaved
    // left/right, 2 x frames samples), advancing cursors and setting notifications.
    void Mix(int16_t* out, size_t frames);

    // kSse2 unless set otherwise (tests hold the two forms against each other).
    void SetMixLoop(MixLoopKind kind);

private:
    std::shared_ptr<MixerCore> mCore;
};

// Plays `mixer` on the default sound device through an SDL audio callback, S16 stereo at
// the mixer's rate. Null when no device can be opened (said once on the debug output);
// the caller then runs without sound. Closing (destroying) the output stops the callback.
class Output {
public:
    virtual ~Output() = default;
    // Name of the SDL driver in use ("dummy", "pulseaudio", ...).
    virtual const char* DriverName() const = 0;
};

std::unique_ptr<Output> OpenOutput(std::shared_ptr<Mixer> mixer);

// Gain factor of an attenuation in millibels: 10^(mB/2000), 0 at kVolumeSilent or below.
float GainFromMillibels(int32_t millibels);

}  // namespace audio
}  // namespace plat
