#pragma once

// Sets environment variables for one test and puts the old values back.

#include <cstdlib>
#include <string>
#include <vector>

namespace velmtest {

class EnvGuard {
public:
    EnvGuard() = default;
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;
    // A null value unsets the variable.
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

}  // namespace velmtest
