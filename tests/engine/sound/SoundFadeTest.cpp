#include <gtest/gtest.h>

#include "SoundTestSupport.h"

using namespace soundtest;

namespace {

// The refill ticks of a fade are TimerTick calls; the volumes are read off the voice.
class Fade : public ManualDevice {
protected:
    Sound::Sound_t* MakeLooping(int32_t groupAttenuation = 0) {
        const int handle =
                AddStatic(Wav16(1, std::vector<int16_t>(20, 10000)), Sound::StaticBufferFlags(0), true, false);
        Sound::Sound_t* s = device.FindSound(handle);
        s->SetGroupVolume(groupAttenuation, true);
        return s;
    }
    int32_t Volume(Sound::Sound_t* s) { return s->GetBuffer()->GetVolume(); }
};

}  // namespace

TEST_F(Fade, FadeOutOfOneSecondTakesFiftyStepsAndStopsOnTheFiftyFirstTick) {
    Sound::Sound_t* s = MakeLooping();
    device.SetEndCallbackByHandle(s->GetHandle(), &CallbackLog::Record, 1);
    device.PlayByHandle(s->GetHandle(), 0);
    device.StopByHandle(s->GetHandle(), 1000, false);
    for (int tick = 1; tick <= 50; ++tick) {
        device.TimerTick();
        ASSERT_EQ(Volume(s), -180 * tick) << tick;
        ASSERT_TRUE(device.IsPlayingByHandle(s->GetHandle())) << tick;
    }
    EXPECT_TRUE(CallbackLog::Calls().empty());
    device.TimerTick();
    EXPECT_EQ(Volume(s), -9000);
    EXPECT_FALSE(device.IsPlayingByHandle(s->GetHandle()));
    EXPECT_EQ(CallbackLog::Calls().size(), 1u);
    EXPECT_FALSE(s->IsFading());
}

TEST_F(Fade, FadeInEndsExactlyOnItsTarget) {
    struct Case {
        const char* why;
        int ms;
        int32_t group;
        int steps;
    };
    const Case cases[] = {
            {"10 ms is one step", 10, 0, 1},
            {"one second to 0 mB", 1000, 0, 50},
            {"one second to -602 mB (steps do not divide evenly)", 1000, -602, 50},
            {"70 ms to -1000 mB", 70, -1000, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Sound::Sound_t* s = MakeLooping(c.group);
        device.PlayByHandle(s->GetHandle(), c.ms);
        EXPECT_EQ(Volume(s), -9000);
        int32_t last = -9000;
        for (int tick = 1; tick <= c.steps + 1; ++tick) {
            device.TimerTick();
            ASSERT_GE(Volume(s), last) << tick;
            ASSERT_LE(Volume(s), c.group) << "never above the target, tick " << tick;
            last = Volume(s);
        }
        EXPECT_EQ(Volume(s), c.group);
        EXPECT_FALSE(s->IsFading());
        EXPECT_TRUE(device.IsPlayingByHandle(s->GetHandle()));
        device.StopByHandle(s->GetHandle(), 0, true);
    }
}

TEST_F(Fade, GroupVolumeDuringAFade) {
    Sound::Sound_t* out = MakeLooping();
    device.PlayByHandle(out->GetHandle(), 0);
    device.StopByHandle(out->GetHandle(), 200, false);
    device.TimerTick();
    const int32_t during = Volume(out);
    device.SetGroupAttenuation(1, -2000);
    EXPECT_EQ(Volume(out), during) << "a fade-out only stores the new group volume";
    EXPECT_TRUE(out->IsFading());

    Sound::Sound_t* in = MakeLooping();
    device.StopByHandle(out->GetHandle(), 0, true);
    device.PlayByHandle(in->GetHandle(), 1000);
    device.TimerTick();
    device.SetGroupAttenuation(1, -1000);
    EXPECT_FALSE(in->IsFading()) << "a fade-in gives way";
    EXPECT_EQ(Volume(in), -1000);
    device.TimerTick();
    EXPECT_EQ(Volume(in), -1000);
}

TEST_F(Fade, StopGroupFadesOutAndReleases) {
    Sound::Sound_t* s = MakeLooping();
    const int handle = s->GetHandle();
    device.PlayByHandle(handle, 0);
    device.StopGroup(1, 40);  // two steps
    device.TimerTick();
    device.TimerTick();
    EXPECT_TRUE(device.IsPlayingByHandle(handle));
    device.TimerTick();
    EXPECT_FALSE(device.IsPlayingByHandle(handle));
    EXPECT_EQ(device.FindSound(handle), nullptr) << "deleted at the rebuild after the fade";
}
