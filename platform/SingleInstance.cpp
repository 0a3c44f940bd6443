#include "platform/SingleInstance.h"

#include "platform/Core.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform::instance {

namespace {

using namespace std::chrono_literals;

// A copy that holds the lock may still be starting up when the next one
// knocks; past this it is taken to be running but busy.
constexpr auto answerDeadline = 2s;
constexpr auto retryInterval = 20ms;
constexpr int ioTimeoutSeconds = 1;
constexpr std::string_view reply = "ok\n";

bool isPrivateDirectory(const std::string& path)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & 077) == 0;
}

// What a rendezvous file name adds to the directory: "/instance-" with 16 hex
// digits, and the socket's ".socket".
constexpr std::size_t rendezvousNameLength = 1 + 9 + 16 + 7;

// File names from the exact key; the request carries it again and the first
// copy compares it, so a clash of names is harmless.
std::string rendezvousName(const InstanceKey& key)
{
    std::uint64_t hash = 14695981039346656037ull;
    auto mix = [&](std::string_view text) {
        for (unsigned char c : text) {
            hash ^= c;
            hash *= 1099511628211ull;
        }
        hash ^= 0xFF;
        hash *= 1099511628211ull;
    };
    mix(key.className);
    mix(key.title);
    mix(key.display);
    char name[32];
    std::snprintf(name, sizeof name, "instance-%016llx", static_cast<unsigned long long>(hash));
    return name;
}

std::string requestFor(const InstanceKey& key)
{
    std::string request = "raise\n";
    request.append(key.className).append("\n").append(key.title).append("\n").append(key.display).append("\n");
    return request;
}

// The holder writes its process id into the lock file, for a later copy to name it.
void recordHolder(int lock)
{
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%ld\n", static_cast<long>(::getpid()));
    if (::ftruncate(lock, 0) == 0)
        (void)!::pwrite(lock, text, static_cast<std::size_t>(length), 0);
}

long readHolder(int lock)
{
    char text[32] = {};
    const ssize_t got = ::pread(lock, text, sizeof text - 1, 0);
    if (got <= 0)
        return 0;
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    return pid > 0 && end != text && *end == '\n' ? pid : 0;
}

bool makeAddress(const std::string& path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool peerIsUs(int socket)
{
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::getuid();
}

void setTimeouts(int socket)
{
    timeval timeout{ioTimeoutSeconds, 0};
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

bool sendAll(int socket, std::string_view data)
{
    while (!data.empty()) {
        ssize_t sent = ::send(socket, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

// Reads until `expected` bytes arrived, the peer stops, or a timeout.
std::string receive(int socket, std::size_t expected)
{
    std::string data;
    char buffer[256];
    while (data.size() < expected) {
        ssize_t got = ::recv(socket, buffer, std::min(sizeof buffer, expected - data.size()), 0);
        if (got <= 0)
            break;
        data.append(buffer, static_cast<std::size_t>(got));
    }
    return data;
}

bool sendRaiseRequest(const std::string& socketPath, const std::string& request)
{
    sockaddr_un address;
    if (!makeAddress(socketPath, address))
        return false;
    int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return false;
    bool answered = false;
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 && peerIsUs(socket)) {
        setTimeouts(socket);
        answered = sendAll(socket, request) && receive(socket, reply.size()) == reply;
    }
    ::close(socket);
    return answered;
}

void serveRaiseRequests(int listener, std::string request, bool (*onRaise)())
{
    for (;;) {
        int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            if (errno != EINTR && errno != ECONNABORTED)
                std::this_thread::sleep_for(100ms);
            continue;
        }
        if (peerIsUs(client)) {
            setTimeouts(client);
            // No reply without a window to show: the asking copy then waits
            // out its deadline instead of leaving at once as if handed over.
            if (receive(client, request.size()) == request && onRaise && onRaise())
                sendAll(client, reply);
        }
        ::close(client);
    }
}

void listenForRaiseRequests(const std::string& socketPath, std::string request, bool (*onRaise)())
{
    sockaddr_un address;
    if (!makeAddress(socketPath, address))
        return;
    // We hold the lock, so any socket file left here belongs to a copy that has ended.
    ::unlink(socketPath.c_str());
    int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0)
        return;
    if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 8) != 0) {
        ::close(listener);
        return;
    }
    std::thread(serveRaiseRequests, listener, std::move(request), onRaise).detach();
}

}  // namespace

std::string defaultDirectory()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    // A socket path must fit its address; past that the runtime directory is no use to us.
    if (runtime && runtime[0] == '/') {
        std::string directory = std::string(runtime) + "/zarta";
        if (directory.size() + rendezvousNameLength < sizeof(sockaddr_un::sun_path))
            return directory;
    }
    return "/tmp/zarta-" + std::to_string(::getuid());
}

Claim claimOrSignal(const std::string& directory, const InstanceKey& key, bool (*onRaise)(), long& holder)
{
    holder = 0;
    if (!isPrivateDirectory(directory)) {
        std::fprintf(stderr, "zarta: not using %s for the single-instance check: not a private directory of ours\n",
                     directory.c_str());
        return Claim::unavailable;
    }
    std::string base = directory + "/" + rendezvousName(key);
    std::string socketPath = base + ".socket";
    std::string request = requestFor(key);
    std::string lockPath = base + ".lock";
    int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lock < 0) {
        int error = errno;
        std::fprintf(stderr, "zarta: not using %s for the single-instance check: %s\n", lockPath.c_str(),
                     error == ELOOP ? "it is a symbolic link" : std::strerror(error));
        return Claim::unavailable;
    }

    auto deadline = std::chrono::steady_clock::now() + answerDeadline;
    for (;;) {
        // The lock decides between copies started at the same moment; it
        // stays held (the descriptor is never closed) until this process ends.
        if (::flock(lock, LOCK_EX | LOCK_NB) == 0) {
            recordHolder(lock);
            listenForRaiseRequests(socketPath, request, onRaise);
            return Claim::first;
        }
        if (sendRaiseRequest(socketPath, request)) {
            ::close(lock);
            return Claim::signalled;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            holder = readHolder(lock);
            ::close(lock);
            return Claim::unanswered;
        }
        std::this_thread::sleep_for(retryInterval);
    }
}

}  // namespace platform::instance

namespace platform {

bool bringRunningInstanceToFront(const char* className, const char* title)
{
    if (!className || !title)
        return false;
    backend::Backend& current = core::currentBackend();
    std::string directory = current.instanceDirectory();
    if (directory.empty())
        return false;
    const std::string display = current.instanceDisplay();
    long holder = 0;
    switch (instance::claimOrSignal(directory, {className, title, display}, current.raiseHandler(), holder)) {
    case instance::Claim::signalled:
        return true;
    case instance::Claim::unanswered:
        // Ending quietly would look as if the game never started.
        if (holder > 0)
            std::fprintf(stderr, "zarta: another copy (process %ld) holds the game and does not answer\n", holder);
        else
            std::fprintf(stderr, "zarta: another copy holds the game and does not answer\n");
        exitProcess(1);
        return true;
    case instance::Claim::first:
    case instance::Claim::unavailable:
        break;
    }
    return false;
}

}  // namespace platform
