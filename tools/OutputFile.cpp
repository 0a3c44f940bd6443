#include "tools/OutputFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tools {

namespace {

bool fail(std::string& failure, const std::string& reason)
{
    failure = reason;
    return false;
}

// The system's reason, after what was being done when there is more to say.
bool failWithErrno(std::string& failure, const std::string& what = {})
{
    const char* reason = std::strerror(errno);
    return fail(failure, what.empty() ? reason : what + ": " + reason);
}

bool writeAll(int descriptor, const std::vector<std::uint8_t>& bytes, std::string& failure)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? failWithErrno(failure) : fail(failure, "nothing could be written");
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// A device or pipe: opened as it is, never created, truncated or removed.
bool writeInPlace(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& failure)
{
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return failWithErrno(failure);
    const bool written = writeAll(descriptor, bytes, failure);
    if (::close(descriptor) != 0 && written)
        return failWithErrno(failure);
    return written;
}

mode_t creationMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The new file beside the target, so the rename stays on one file system and
// replaces the target in one step; the target keeps its permissions.
bool replaceRegularFile(const std::string& target, const struct stat* existing, const std::vector<std::uint8_t>& bytes,
                        std::string& failure)
{
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temporary = folder + "." + name + ".XXXXXX";
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0)
        return failWithErrno(failure, "cannot create a new file beside it");
    bool written = writeAll(descriptor, bytes, failure);
    if (written && ::fchmod(descriptor, existing ? existing->st_mode & 07777 : creationMode()) != 0)
        written = failWithErrno(failure);
    if (written && ::fsync(descriptor) != 0)
        written = failWithErrno(failure);
    if (::close(descriptor) != 0 && written)
        written = failWithErrno(failure);
    if (written && ::rename(temporary.c_str(), target.c_str()) != 0)
        written = failWithErrno(failure, "cannot put the new file in its place");
    if (!written)
        ::unlink(temporary.c_str());
    return written;
}

}  // namespace

bool writeOutputFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& failure)
{
    if (path.empty())
        return fail(failure, "no file name");
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        struct stat link {};
        if (errno != ENOENT || ::lstat(path.c_str(), &link) == 0)
            return failWithErrno(failure);
        return replaceRegularFile(path, nullptr, bytes, failure);
    }
    if (S_ISDIR(info.st_mode))
        return fail(failure, "it is a directory");
    if (!S_ISREG(info.st_mode))
        return writeInPlace(path, bytes, failure);
    // Through a symbolic link the file it leads to is replaced, never the link.
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return failWithErrno(failure);
    const std::string target = resolved;
    std::free(resolved);
    return replaceRegularFile(target, &info, bytes, failure);
}

}  // namespace tools
