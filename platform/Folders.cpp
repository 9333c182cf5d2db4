#include "platform/Folders.h"

#include <cstdlib>
#include <vector>

#include <pwd.h>
#include <sys/types.h>
#include <unistd.h>

#include "platform/Files.h"

namespace plat {
namespace {

std::string WithSlash(std::string path) {
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return WithSlash(home);
    if (passwd* pw = getpwuid(getuid())) {
        if (pw->pw_dir && pw->pw_dir[0] == '/') return WithSlash(pw->pw_dir);
    }
    return std::string();
}

// An XDG base folder: the variable when it holds an absolute path (relative values are
// invalid and ignored), else the fallback under the home folder.
std::string XdgFolder(const char* variable, const char* fallbackUnderHome) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') return WithSlash(value);
    std::string home = HomeFolder();
    if (home.empty()) return std::string();
    return home + fallbackUnderHome;
}

}  // namespace

std::string ExecutablePath() {
    std::vector<char> buf(256);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return std::string();
        if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<size_t>(n));
        buf.resize(buf.size() * 2);
    }
}

std::string ExecutableFolder() {
    const std::string exe = ExecutablePath();
    const size_t slash = exe.find_last_of('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
}

std::string DataHomeFolder() { return XdgFolder("XDG_DATA_HOME", ".local/share/"); }

std::string AppDataFolder(const std::string& company, const std::string& product) {
    std::string base = DataHomeFolder();
    if (base.empty()) return std::string();
    for (const std::string* part : {&company, &product}) {
        if (!part->empty()) base += *part + "/";
    }
    return base;
}

std::string ConfigHomeFolder() { return XdgFolder("XDG_CONFIG_HOME", ".config/"); }

bool SetCurrentFolder(const std::string& path) { return chdir(NativePath(path).c_str()) == 0; }

}  // namespace plat
