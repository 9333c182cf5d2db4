#include "platform/SingleInstance.h"

#include "platform/Folders.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace plat {
namespace {

// An abstract address: sun_path starts with a NUL and the name follows; its length is
// given by the address length, not by a terminator.
socklen_t MakeAddress(const std::string& name, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    size_t length = name.size() < sizeof addr.sun_path - 1 ? name.size() : sizeof addr.sun_path - 1;
    std::memcpy(addr.sun_path + 1, name.data(), length);
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
}

// The user's data folder as a short hex tag: the player files live there, so one
// running instance per data folder (a test run with its own XDG_DATA_HOME is another
// user as far as the game is concerned). FNV-1a keeps the name within sun_path.
std::string DataFolderTag() {
    uint32_t hash = 2166136261u;
    for (unsigned char c : DataHomeFolder()) hash = (hash ^ c) * 16777619u;
    char text[9];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(hash));
    return text;
}

}  // namespace

SingleInstance::SingleInstance(const std::string& productName)
        : mName("velm-instance/" + productName + "/" + std::to_string(getuid()) + "/" + DataFolderTag()) {
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return;
    sockaddr_un addr;
    socklen_t length = MakeAddress(mName, addr);
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), length) != 0) {
        mFirst = errno != EADDRINUSE;
        close(fd);
        return;
    }
    mFd = fd;
}

SingleInstance::~SingleInstance() {
    if (mFd >= 0) close(mFd);
}

bool SingleInstance::KnockOnFirst() {
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un addr;
    socklen_t length = MakeAddress(mName, addr);
    const char knock = 'K';
    bool sent = sendto(fd, &knock, 1, MSG_NOSIGNAL | MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&addr), length) == 1;
    close(fd);
    return sent;
}

bool SingleInstance::PollKnock() {
    if (mFd < 0) return false;
    bool knocked = false;
    char buf[16];
    while (recv(mFd, buf, sizeof buf, MSG_DONTWAIT) >= 0) knocked = true;
    return knocked;
}

}  // namespace plat
