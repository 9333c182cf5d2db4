#include "platform/MappedFile.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "tests/platform/TempDir.h"

TEST(MappedFileTest, MapsTheWholeFileAndFailsCleanly) {
    velmtest::TempDir dir;
    const std::string bytes("PAK\0\x01\xFF", 6);
    ASSERT_TRUE(plat::WriteFileAtomic(dir / "Main.pak", bytes.data(), bytes.size()));
    ASSERT_TRUE(plat::WriteFileAtomic(dir / "empty.pak", "", 0));

    plat::MappedFile file;
    ASSERT_TRUE(file.Open(dir / "MAIN.PAK"));
    ASSERT_EQ(file.Size(), bytes.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.Data()), file.Size()), bytes);

    EXPECT_TRUE(file.Open(dir / "empty.pak"));  // replaces the first mapping
    EXPECT_EQ(file.Size(), 0u);
    EXPECT_EQ(file.Data(), nullptr);

    EXPECT_FALSE(file.Open(dir / "missing.pak"));
    EXPECT_FALSE(file.Open(dir.Path()));  // a folder
    EXPECT_EQ(file.Size(), 0u);
}
