#include "platform/Folders.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "platform/Files.h"

namespace {

// Sets environment variables for one test and puts the old values back.
class EnvGuard {
public:
    void Set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        mSaved.push_back({name, old != nullptr, old ? old : ""});
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~EnvGuard() {
        for (auto it = mSaved.rbegin(); it != mSaved.rend(); ++it) {
            if (it->had) {
                setenv(it->name.c_str(), it->value.c_str(), 1);
            } else {
                unsetenv(it->name.c_str());
            }
        }
    }

private:
    struct Saved {
        std::string name;
        bool had;
        std::string value;
    };
    std::vector<Saved> mSaved;
};

}  // namespace

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
