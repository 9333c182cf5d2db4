#include "platform/Folders.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "tests/platform/EnvGuard.h"

using velmtest::EnvGuard;

TEST(FoldersTest, XdgFoldersAndTheirFallbacks) {
    struct Case {
        const char* why;
        const char* data;
        const char* config;
        const char* dataFolder;
        const char* configFolder;
    };
    const Case cases[] = {
            {"variables used", "/x/data", "/x/conf/", "/x/data/", "/x/conf/"},
            {"unset falls back to home", nullptr, nullptr, "/home/u/.local/share/", "/home/u/.config/"},
            {"relative values are ignored", "rel/data", "", "/home/u/.local/share/", "/home/u/.config/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EnvGuard env;
        env.Set("HOME", "/home/u");
        env.Set("XDG_DATA_HOME", c.data);
        env.Set("XDG_CONFIG_HOME", c.config);
        EXPECT_EQ(plat::DataHomeFolder(), c.dataFolder);
        EXPECT_EQ(plat::ConfigHomeFolder(), c.configFolder);
    }
    EnvGuard env;
    env.Set("XDG_DATA_HOME", "/x/data");
    EXPECT_EQ(plat::AppDataFolder("Company", "Game"), "/x/data/Company/Game/");
    EXPECT_EQ(plat::AppDataFolder("", "Game"), "/x/data/Game/");
}

TEST(FoldersTest, ExecutableFolderHoldsThisTest) {
    const std::string folder = plat::ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(plat::FileExists(folder + "test_platform"));
}
