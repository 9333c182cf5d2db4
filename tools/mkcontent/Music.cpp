#include "tools/mkcontent/Music.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include "tools/mkcontent/Canvas.h"

namespace mkcontent {

namespace {

constexpr int kBarsPerSection = 8;
constexpr int kEighthsPerBar = 8;
constexpr float kTail = 4.0f;  // seconds rendered past the end, folded back onto the start

const int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
const int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};

// Chord roots (scale degrees), one a bar.
const std::vector<std::vector<int>> kMajorProgressions = {
        {0, 0, 3, 3, 4, 4, 0, 0}, {0, 5, 3, 4, 0, 5, 3, 4}, {5, 3, 0, 4, 5, 3, 0, 4},
        {3, 4, 2, 5, 3, 4, 0, 0}, {1, 4, 0, 5, 1, 4, 0, 0}, {0, 2, 3, 0, 5, 1, 4, 4},
};
const std::vector<std::vector<int>> kMinorProgressions = {
        {0, 0, 5, 5, 2, 2, 6, 6}, {0, 3, 4, 0, 5, 2, 6, 0}, {5, 6, 0, 0, 3, 4, 0, 0},
        {0, 6, 5, 6, 0, 6, 3, 4}, {3, 0, 3, 0, 5, 6, 0, 0}, {2, 6, 0, 3, 5, 3, 4, 4},
};

// Melody rhythms of one bar: the eighths notes start on.
const std::vector<std::vector<int>> kRhythms = {
        {0, 2, 4, 6}, {0, 3, 4, 6}, {0, 2, 3, 4, 6}, {0, 4}, {0, 1, 2, 4, 6}, {0, 6}, {0, 2, 4}, {0, 3, 6},
};

enum Instrument : unsigned {
    kPad = 1,
    kBass = 2,
    kArpeggio = 4,
    kMelody = 8,
    kDrums = 16,
    kDescant = 32,  // long notes of the melody doubled a third above, on bells
};

struct Note {
    int eighth;  // start, from the section's beginning
    int length;  // in eighths
    int degree;  // scale degree from the melody's root
};

struct Section {
    std::vector<int> chords;  // one root degree a bar
    std::vector<Note> melody;
};

float Frequency(int semitonesFromA4) { return 440.0f * std::pow(2.0f, static_cast<float>(semitonesFromA4) / 12.0f); }

class Composer {
public:
    explicit Composer(const MusicPlan& trackPlan)
            : plan(trackPlan),
              scale(trackPlan.minor ? kMinor : kMajor),
              random(trackPlan.seed),
              frames(SampleCount(trackPlan.beat * 4 * kBarsPerSection) * std::string(trackPlan.form).size()),
              left(frames + SampleCount(kTail), 0.0f),
              right(left.size(), 0.0f) {}

    Samples Compose() {
        const std::string form = plan.form;
        std::map<char, int> occurrences;
        for (size_t s = 0; s < form.size(); ++s) {
            const char letter = form[s];
            if (!sections.count(letter)) sections[letter] = MakeSection();
            const int occurrence = occurrences[letter]++;
            unsigned instruments = kPad | kBass | kMelody;
            if (s == 0)
                instruments = kPad | kMelody;  // the opening: quiet
            else if (s + 1 == form.size())
                instruments = kPad | kBass | kMelody;  // the close thins out towards the start
            else {
                if ((s + occurrence) % 2 == 1) instruments |= kArpeggio;
                if (s >= 2 && s % 3 != 0) instruments |= kDrums;
                if (occurrence >= 1) instruments |= kDescant;
            }
            Play(sections[letter], VaryMelody(sections[letter].melody, occurrence), instruments, occurrence,
                 static_cast<float>(s) * Bar() * kBarsPerSection);
        }
        return Finish();
    }

private:
    float Bar() const { return plan.beat * 4; }
    float Eighth() const { return plan.beat / 2; }

    // Semitones from A4 of a scale degree in the octave `octave` (0 = the root's).
    int Pitch(int degree, int octave) const {
        const int wrapped = ((degree % 7) + 7) % 7;
        const int octaves = (degree - wrapped) / 7;
        return plan.root + 12 * (octave + octaves) + scale[wrapped];
    }

    int Pick(int n) { return static_cast<int>(random.Next() % static_cast<uint32_t>(n)); }

    Section MakeSection() {
        const auto& progressions = plan.minor ? kMinorProgressions : kMajorProgressions;
        Section section;
        section.chords = progressions[static_cast<size_t>(Pick(static_cast<int>(progressions.size())))];
        // Bars 1-4 free, 5-6 repeat the rhythm of 1-2 a step away, 7-8 close on the root.
        std::vector<int> rhythm(kBarsPerSection);
        for (int bar = 0; bar < 4; ++bar) rhythm[static_cast<size_t>(bar)] = Pick(static_cast<int>(kRhythms.size()));
        rhythm[4] = rhythm[0];
        rhythm[5] = rhythm[1];
        rhythm[6] = Pick(static_cast<int>(kRhythms.size()));
        rhythm[7] = 3;  // two halves, the last one held
        int degree = 2 + Pick(3);
        const int shift = Pick(2) == 0 ? 1 : -1;
        for (int bar = 0; bar < kBarsPerSection; ++bar) {
            const std::vector<int>& starts = kRhythms[static_cast<size_t>(rhythm[static_cast<size_t>(bar)])];
            const int chord = section.chords[static_cast<size_t>(bar)];
            for (size_t n = 0; n < starts.size(); ++n) {
                const int end = n + 1 < starts.size() ? starts[n + 1] : kEighthsPerBar;
                if (bar == 4 || bar == 5) {
                    // The sequence: the answer to bars 1-2, a step higher or lower. The model
                    // is copied: the push below may move the melody.
                    const auto found = std::find_if(section.melody.begin(), section.melody.end(), [&](const Note& m) {
                        return m.eighth == (bar - 4) * kEighthsPerBar + starts[n];
                    });
                    if (found != section.melody.end()) {
                        const Note model = *found;
                        section.melody.push_back(
                                {bar * kEighthsPerBar + starts[n], end - starts[n], model.degree + shift});
                        degree = model.degree + shift;
                        continue;
                    }
                }
                if (starts[n] % 4 == 0) {
                    // Strong beats take the chord tone nearest the line.
                    int best = chord;
                    for (int tone :
                         {chord - 7, chord - 5, chord - 3, chord, chord + 2, chord + 4, chord + 7, chord + 9})
                        if (std::abs(tone - degree) < std::abs(best - degree)) best = tone;
                    degree = best;
                } else
                    degree += Pick(5) - 2;
                degree = std::max(-2, std::min(9, degree));
                if (bar == kBarsPerSection - 1 && n + 1 == starts.size()) degree = chord == 0 ? 0 : 7;
                section.melody.push_back({bar * kEighthsPerBar + starts[n], end - starts[n], degree});
            }
        }
        return section;
    }

    // A section heard again: an octave up, with passing notes filled in, or with the long notes
    // answered by a neighbour; the first hearing as written.
    std::vector<Note> VaryMelody(const std::vector<Note>& melody, int occurrence) {
        if (occurrence == 0) return melody;
        std::vector<Note> out;
        for (size_t i = 0; i < melody.size(); ++i) {
            Note note = melody[i];
            if (occurrence % 2 == 1 && note.length >= 2 && i + 1 < melody.size() && Pick(3) == 0) {
                // A passing note in the second half of the note, towards the next one.
                const int next = melody[i + 1].degree;
                const int half = note.length / 2;
                out.push_back({note.eighth, half, note.degree});
                out.push_back({note.eighth + half, note.length - half, note.degree + (next > note.degree ? 1 : -1)});
                continue;
            }
            if (occurrence % 2 == 0 && note.length >= 4) {
                out.push_back({note.eighth, 2, note.degree});
                out.push_back({note.eighth + 2, 1, note.degree + 1});
                out.push_back({note.eighth + 3, note.length - 3, note.degree});
                continue;
            }
            out.push_back(note);
        }
        return out;
    }

    void Put(const Samples& sound, float at, float gain, float pan) {
        const float angle = pan * 1.5707963f;
        MixInto(left, sound, at, gain * std::cos(angle));
        MixInto(right, sound, at, gain * std::sin(angle));
    }

    void Play(const Section& section, const std::vector<Note>& melody, unsigned instruments, int occurrence,
              float start) {
        static const std::vector<float> kPadTone = {0.6f, 0.25f, 0.12f, 0.05f};
        static const std::vector<float> kBassTone = {1.0f, 0.45f, 0.15f};
        static const std::vector<float> kPluck = {1.0f, 0.5f, 0.3f, 0.15f, 0.08f};
        static const std::vector<float> kBell = {1.0f, 0.0f, 0.35f, 0.0f, 0.15f, 0.0f, 0.05f};
        static const std::vector<float> kFlute = {1.0f, 0.12f, 0.04f};
        for (int bar = 0; bar < kBarsPerSection; ++bar) {
            const int chord = section.chords[static_cast<size_t>(bar)];
            const float at = start + static_cast<float>(bar) * Bar();
            if (instruments & kPad) {
                const float pans[3] = {0.25f, 0.5f, 0.75f};
                for (int k = 0; k < 3; ++k) {
                    const float f = Frequency(Pitch(chord + 2 * k, -1));
                    Put(Tone(Bar() + 0.6f, f, f, kPadTone, 0.25f, 3.0f), at, 0.10f, pans[k]);
                }
            }
            if (instruments & kBass) {
                const float f = Frequency(Pitch(chord, -2));
                Put(Tone(plan.beat * 1.8f, f, f, kBassTone, 0.006f, 0.6f), at, 0.30f, 0.5f);
                const int answer = (bar + occurrence) % 2 == 0 ? chord + 4 : chord;
                const float g = Frequency(Pitch(answer, -2));
                Put(Tone(plan.beat * 1.6f, g, g, kBassTone, 0.006f, 0.5f), at + 2 * plan.beat, 0.24f, 0.5f);
            }
            if (instruments & kArpeggio) {
                static const int kUp[8] = {0, 2, 4, 7, 9, 7, 4, 2};
                for (int e = 0; e < kEighthsPerBar; ++e) {
                    const float f = Frequency(Pitch(chord + kUp[e], 0));
                    Put(Tone(plan.beat * 1.2f, f, f, kPluck, 0.003f, 0.22f), at + static_cast<float>(e) * Eighth(),
                        e % 4 == 0 ? 0.10f : 0.07f, e % 2 == 0 ? 0.3f : 0.7f);
                }
            }
            if (instruments & kDrums) {
                for (int e = 0; e < kEighthsPerBar; ++e) {
                    Put(Noise(0.06f, 7000, 0.001f, 0.018f, plan.seed * 131 + static_cast<uint32_t>(bar * 8 + e)),
                        at + static_cast<float>(e) * Eighth(), e % 2 == 0 ? 0.09f : 0.05f, 0.62f);
                }
                for (int beat : {0, 2})
                    Put(Tone(0.25f, 90, 45, {1.0f}, 0.002f, 0.08f), at + static_cast<float>(beat) * plan.beat, 0.30f,
                        0.5f);
            }
        }
        if (instruments & kMelody) {
            // The voice changes with every hearing: bell, flute, plucked string.
            const int voice = occurrence % 3;
            const int octave = occurrence % 2 == 1 ? 1 : 0;
            for (const Note& note : melody) {
                const float f = Frequency(Pitch(note.degree, octave));
                const float length = static_cast<float>(note.length) * Eighth();
                const float at = start + static_cast<float>(note.eighth) * Eighth();
                if (voice == 0)
                    Put(Tone(length + 1.0f, f, f, kBell, 0.004f, 0.35f + length * 0.3f), at, 0.26f, 0.42f);
                else if (voice == 1)
                    Put(Tone(length + 0.15f, f, f, kFlute, 0.04f, 2.0f), at, 0.22f, 0.55f);
                else
                    Put(Tone(length + 0.6f, f, f, kPluck, 0.003f, 0.3f), at, 0.24f, 0.45f);
                if ((instruments & kDescant) && note.length >= 4) {
                    const float g = Frequency(Pitch(note.degree + 2, octave + 1));
                    Put(Tone(length + 1.0f, g, g, kBell, 0.004f, 0.5f), at, 0.10f, 0.7f);
                }
            }
        }
    }

    Samples Finish() {
        // What rings past the end sounds again at the start, as it does when the track loops.
        for (size_t i = frames; i < left.size(); ++i) {
            left[i - frames] += left[i];
            right[i - frames] += right[i];
        }
        left.resize(frames);
        right.resize(frames);
        // A few milliseconds from and to silence: the seam lies on zero.
        const size_t fade = SampleCount(0.008f);
        for (size_t i = 0; i < fade; ++i) {
            const float g = static_cast<float>(i) / static_cast<float>(fade);
            left[i] *= g;
            right[i] *= g;
            left[frames - 1 - i] *= g;
            right[frames - 1 - i] *= g;
        }
        Samples stereo(frames * 2);
        for (size_t i = 0; i < frames; ++i) {
            stereo[2 * i] = left[i];
            stereo[2 * i + 1] = right[i];
        }
        Normalise(stereo, 0.8f);
        return stereo;
    }

    const MusicPlan& plan;
    const int* scale;
    Lcg random;
    size_t frames;
    Samples left, right;
    std::map<char, Section> sections;
};

}  // namespace

const std::vector<MusicPlan>& GetMusicPlans() {
    static const std::vector<MusicPlan> plans = {
            {"mainmenu", -9, false, 0.60f, "AABACABA", 41},  // C major, slow: the menu
            {"track1", -7, false, 0.50f, "ABACBADBA", 42},   // D major
            {"track2", -4, true, 0.54f, "AABCBACA", 43},     // F minor
            {"track3", -2, false, 0.46f, "ABCABDACBA", 44},  // G major, lively
    };
    return plans;
}

Samples ComposeMusic(const MusicPlan& plan) { return Composer(plan).Compose(); }

bool MakeMusic(const std::string& root, std::string* error) {
    std::error_code ignored;
    std::filesystem::create_directories(root + "/sounds/music", ignored);
    std::mutex lock;
    std::vector<std::string> failed;
    std::vector<std::thread> threads;
    for (const MusicPlan& plan : GetMusicPlans())
        threads.emplace_back([&, plan] {
            const std::string path = root + "/sounds/music/" + plan.name + ".ogg";
            if (!WriteOgg(path, ComposeMusic(plan), 2, 0.3f)) {
                std::lock_guard<std::mutex> guard(lock);
                failed.push_back(path);
            }
        });
    for (std::thread& thread : threads) thread.join();
    if (!failed.empty()) *error = "cannot encode " + failed.front();
    return failed.empty();
}

}  // namespace mkcontent
