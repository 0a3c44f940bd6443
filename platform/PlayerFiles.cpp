#include "platform/PlayerFiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::files {

namespace {

std::string failure(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

// mkdir -p for the folders above `path`, private to the player.
bool makeFoldersFor(const std::string& path, std::string& problem)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            problem = failure("cannot make the folder", folder);
            return false;
        }
    }
    return true;
}

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

bool readWhole(int fd, std::string& text)
{
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

bool writeWhole(int fd, const std::string& text)
{
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t put = ::write(fd, text.data() + written, text.size() - written);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        written += static_cast<std::size_t>(put);
    }
    return true;
}

}  // namespace

std::string dataFolder(std::string& problem)
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    // XDG base directories must be absolute; a relative one is ignored.
    if (xdg && xdg[0] == '/')
        return std::string(xdg) + "/zarta";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.local/share/zarta";
    problem = "neither XDG_DATA_HOME nor HOME names a folder";
    return {};
}

bool changeFile(const std::string& path, const PlayerDataChange& change, std::string& problem)
{
    if (!makeFoldersFor(path, problem))
        return false;
    Descriptor lock{::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)};
    if (lock.fd < 0) {
        problem = failure("cannot open", path + ".lock");
        return false;
    }
    while (::flock(lock.fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            problem = failure("cannot lock", path + ".lock");
            return false;
        }
    }
    std::string stored;
    bool exists = false;
    {
        Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
        if (file.fd >= 0) {
            exists = true;
            if (!readWhole(file.fd, stored)) {
                problem = failure("cannot read", path);
                return false;
            }
        } else if (errno != ENOENT) {
            problem = failure("cannot read", path);
            return false;
        }
    }
    const std::string text = change(exists ? &stored : nullptr);
    if (text.empty() || (exists && text == stored))
        return true;
    // The process id keeps two copies' temporary files apart, though the lock already does.
    const std::string temporary = path + ".new-" + std::to_string(::getpid());
    Descriptor file{::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)};
    if (file.fd < 0) {
        problem = failure("cannot write", temporary);
        return false;
    }
    if (!writeWhole(file.fd, text) || ::fsync(file.fd) != 0) {
        problem = failure("cannot write", temporary);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        problem = failure("cannot replace", path);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace platform::files
