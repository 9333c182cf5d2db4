#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/anim/Trajectories.h"
#include "tests/engine/anim/AnimTestSupport.h"
#include "tests/platform/TempDir.h"
#include "tools/mktraj/MkTraj.h"

namespace {

const char* const kText =
        "# two paths for the sparks\r\n"
        "trajectory Spark\r\n"
        "0 0\r\n"
        "100 50 2 0.5 1 1\r\n"
        "200 0\r\n"
        "\n"
        "; a plain line\n"
        "trajectory Line\n"
        "-10 -20\n"
        "90 -20 1.5\n";

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void ExpectSameTrajectories(const std::vector<Trajectory_t>& written, Trajectories_t& loaded) {
    ASSERT_EQ(loaded.GetCount(), static_cast<int>(written.size()));
    for (size_t t = 0; t < written.size(); ++t) {
        SCOPED_TRACE(written[t].name);
        const Trajectory_t& got = *loaded.GetTrajectory(static_cast<int>(t));
        EXPECT_EQ(got.name, written[t].name);
        ASSERT_EQ(got.pointCount, static_cast<int>(written[t].points.size()));
        ASSERT_EQ(got.points.size(), written[t].points.size());
        for (size_t k = 0; k < got.points.size(); ++k) {
            const TrajectoryPoint_t& a = got.points[k];
            const TrajectoryPoint_t& b = written[t].points[k];
            EXPECT_EQ(a.x, b.x);
            EXPECT_EQ(a.y, b.y);
            EXPECT_EQ(a.scale, b.scale);
            EXPECT_EQ(a.angle, b.angle);
            EXPECT_EQ(a.angleFactor, b.angleFactor);
            EXPECT_EQ(a.scaleFactor, b.scaleFactor);
            EXPECT_EQ(a.segmentLength, b.segmentLength);
        }
        EXPECT_FLOAT_EQ(got.totalLength, written[t].totalLength);
    }
}

TEST(TrajectoryFileTest, RoundTripThroughMktraj) {
    velmtest::TempDir dir;
    std::vector<Trajectory_t> parsed;
    std::string error;
    ASSERT_TRUE(ParseTrajectoryText(kText, parsed, error)) << error;
    ASSERT_EQ(parsed.size(), 2u);
    EXPECT_EQ(parsed[0].points[1].scale, 2.0f);
    EXPECT_EQ(parsed[0].points[1].angle, 0.5f);
    EXPECT_EQ(parsed[1].points[1].scale, 1.5f);
    EXPECT_EQ(parsed[1].points[1].angle, 0.0f);  // defaults for what the line leaves out
    ASSERT_TRUE(WriteTrajectoryFile(dir / "trajectories.dat", parsed, error)) << error;
    EXPECT_NEAR(parsed[1].points[0].segmentLength, 100.0f, 0.01f);  // lengths computed on writing
    EXPECT_GT(parsed[0].totalLength, 200.0f);

    Trajectories_t loaded;
    ASSERT_TRUE(loaded.Load(dir / "trajectories.dat", true));
    ExpectSameTrajectories(parsed, loaded);
    // 4 + 2 x 24 + 5 x 28 bytes.
    EXPECT_EQ(ReadAll(dir / "trajectories.dat").size(), 4u + 2 * 24 + 5 * 28);

    // The tool itself writes the same file.
    animtest::WriteFile(dir / "paths.txt", kText);
    const std::string command =
            std::string("\"") + MKTRAJ_PATH + "\" \"" + (dir / "paths.txt") + "\" \"" + (dir / "tool.dat") + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadAll(dir / "tool.dat"), ReadAll(dir / "trajectories.dat"));
    const std::string bad = std::string("\"") + MKTRAJ_PATH + "\" \"" + (dir / "none.txt") + "\" \"" +
                            (dir / "never.dat") + "\" 2>/dev/null";
    EXPECT_NE(std::system(bad.c_str()), 0);
    EXPECT_TRUE(ReadAll(dir / "never.dat").empty());
}

TEST(TrajectoryFileTest, TextErrorsNameTheLine) {
    struct Case {
        const char* why;
        const char* text;
        const char* error;
    };
    const Case cases[] = {
            {"point before a trajectory", "1 2\n", "line 1"},
            {"name too long", "trajectory ABCDEFGHIJKLMNOPQRST\n", "line 1"},
            {"junk number", "trajectory A\n0 0\n1 x\n", "line 3"},
            {"too many numbers", "trajectory A\n0 0 1 1 1 1 1\n", "line 2"},
            {"one point only", "trajectory A\n0 0\n", "fewer than two points"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::vector<Trajectory_t> out;
        std::string error;
        EXPECT_FALSE(ParseTrajectoryText(c.text, out, error));
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

TEST(TrajectoryFileTest, DamagedFilesLoadNothing) {
    velmtest::TempDir dir;
    std::vector<Trajectory_t> parsed;
    std::string error;
    ASSERT_TRUE(ParseTrajectoryText(kText, parsed, error));
    ASSERT_TRUE(WriteTrajectoryFile(dir / "good.dat", parsed, error));
    const std::string good = ReadAll(dir / "good.dat");

    struct Case {
        const char* why;
        std::string bytes;
    };
    std::string hugeCount = good;
    hugeCount[3] = 0x7F;
    std::string negativePoints = good;
    negativePoints[4 + 3] = static_cast<char>(0x80);
    const Case cases[] = {
            {"empty file", ""},
            {"count cut short", good.substr(0, 3)},
            {"cut inside a name", good.substr(0, 10)},
            {"cut inside the points", good.substr(0, good.size() - 1)},
            {"count larger than the file", hugeCount},
            {"negative point count", negativePoints},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        animtest::WriteFile(dir / "bad.dat", c.bytes);
        Trajectories_t loaded;
        EXPECT_FALSE(loaded.Load(dir / "bad.dat", true));
        EXPECT_EQ(loaded.GetCount(), 0);
        EXPECT_EQ(loaded.GetTrajectory(0), nullptr);
    }
    Trajectories_t missing(std::string(dir / "none.dat").c_str());
    EXPECT_EQ(missing.GetCount(), 0);
}

TEST(TrajectoryFileTest, NameWithoutTerminatorKeepsNineteenCharacters) {
    velmtest::TempDir dir;
    std::string bytes(4, '\0');
    bytes[0] = 1;
    bytes += std::string("\x02\0\0\0", 4);
    bytes += std::string(20, 'N');
    bytes += std::string(2 * 28, '\0');
    animtest::WriteFile(dir / "name.dat", bytes);
    Trajectories_t loaded;
    ASSERT_TRUE(loaded.Load(dir / "name.dat", false));
    EXPECT_EQ(loaded.GetTrajectory(0)->name, std::string(19, 'N'));
    EXPECT_EQ(loaded.GetTrajectory(0)->points.size(), 2u);
}

}  // namespace
