// The sparks of the swap and remover flights read their constants as tuning values: the
// tuning facility lists them under their source files, and a value given while an effect
// runs changes the sparks it makes from then on.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "game/board/effects/EffectRemover.h"
#include "game/board/effects/EffectSinus.h"
// Last: it defines the macro M.
#include "app/devaids/ModVal.h"

namespace {

// The tuning-value file record of the source file whose path ends with `name`.
const Velm::ModValFileRecord* FileEndingWith(const std::string& name) {
    for (const auto& [path, record] : Velm::GetModValFileMap()) {
        if (path.size() >= name.size() && path.compare(path.size() - name.size(), name.size(), name) == 0)
            return &record;
    }
    return nullptr;
}

// Gives marker `index` of the file the value a reparse of its source would give.
void SetTuningValue(const Velm::ModValFileRecord& file, int index, double value) {
    Velm::ModValMarker* marker = file.mEntries.at(index).mMarker;
    if (marker->mRecord == nullptr) Velm::ModValResolve(marker);
    marker->mRecord->mSet = true;
    marker->mRecord->mInt = static_cast<int32_t>(value);
    marker->mRecord->mDouble = value;
}

void ClearTuningValues(const Velm::ModValFileRecord& file) {
    for (const auto& [index, entry] : file.mEntries)
        if (entry.mMarker->mRecord != nullptr) entry.mMarker->mRecord->mSet = false;
}

TEST(SparkTuning, TheFacilityListsEverySparkConstantWithItsDefault) {
    ASSERT_TRUE(Velm::ModValScanMemory());
    struct Case {
        const char* file;
        size_t count;
    };
    for (const Case& c : {Case{"EffectSinus.cpp", 5}, Case{"EffectRemover.cpp", 3}}) {
        SCOPED_TRACE(c.file);
        const Velm::ModValFileRecord* file = FileEndingWith(c.file);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->mEntries.size(), c.count);
    }
    EXPECT_EQ(EffectSinus::SparkEveryUpdates(), 2);
    EXPECT_EQ(EffectSinus::SparksPerSpawn(), 4);
    EXPECT_FLOAT_EQ(EffectSinus::SparkSpeedX(), 0.25f);
    EXPECT_FLOAT_EQ(EffectSinus::SparkSpeedY(), 0.25f);
    EXPECT_FLOAT_EQ(EffectSinus::GravityDivisor(), 5000.0f);
    EXPECT_FLOAT_EQ(EffectRemover::SparkSpeedX(), 0.25f);
    EXPECT_FLOAT_EQ(EffectRemover::SparkSpeedY(), 0.25f);
    EXPECT_FLOAT_EQ(EffectRemover::GravityDivisor(), 5000.0f);
}

TEST(SparkTuning, AValueGivenWhileASwapFlightRunsChangesItsSparks) {
    ASSERT_TRUE(Velm::ModValScanMemory());
    const Velm::ModValFileRecord* file = FileEndingWith("EffectSinus.cpp");
    ASSERT_NE(file, nullptr);

    EffectSinus flight(0, 0, 400, 0, 0, nullptr);
    flight.Update();
    flight.Update();  // the second update spawns the first four
    ASSERT_EQ(flight.sparks.size(), 4u);

    // Ten sparks on every update from now on, each moving ten times as fast sideways.
    SetTuningValue(*file, 0, 1);
    SetTuningValue(*file, 1, 10);
    SetTuningValue(*file, 2, 2.5);
    flight.Update();
    EXPECT_EQ(flight.sparks.size(), 14u);
    flight.Update();
    EXPECT_EQ(flight.sparks.size(), 24u);
    float fastest = 0.0f;
    for (const auto& spark : flight.sparks) fastest = std::max(fastest, std::abs(spark->vx));
    EXPECT_GT(fastest, 0.3f);

    ClearTuningValues(*file);
    flight.Update();
    EXPECT_EQ(flight.sparks.size(), 24u);  // back to every second update
}

TEST(SparkTuning, TheRemoverSparksTakeTheirSpeedFromTheTuningValues) {
    ASSERT_TRUE(Velm::ModValScanMemory());
    const Velm::ModValFileRecord* file = FileEndingWith("EffectRemover.cpp");
    ASSERT_NE(file, nullptr);
    EffectRemover remover(0, 0, {{300, 0}}, nullptr);
    SetTuningValue(*file, 0, 0.0);
    SetTuningValue(*file, 1, 0.0);
    for (int i = 0; i < 5; ++i) remover.Update();
    ASSERT_FALSE(remover.sparks.empty());
    for (const auto& spark : remover.sparks) {
        EXPECT_FLOAT_EQ(spark->vx, 0.0f);
        EXPECT_FLOAT_EQ(spark->vy, 0.0f);
    }
    ClearTuningValues(*file);
}

}  // namespace
