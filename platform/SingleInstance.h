// The single-instance rule across processes of one user. Copies meet in a
// private directory: the first holds a lock file for the rest of its life and
// listens on a Unix socket beside it; a later copy, finding the lock taken,
// asks the first to come to the front and ends.
#pragma once

#include <string>
#include <string_view>

namespace platform::instance {

// $XDG_RUNTIME_DIR/zarta, or /tmp/zarta-<uid> without a runtime directory or
// when a socket path in it would be too long.
std::string defaultDirectory();

enum class Claim {
    first,        // this process holds the rendezvous from now on
    signalled,    // another copy runs and was asked to come to the front
    unavailable,  // no safe rendezvous (the directory is not ours and private); run alone
};

// Creates `directory` (mode 0700) when missing and refuses it unless it is a
// directory owned by this user that nobody else may enter. The first caller
// for a class name and title serves raise requests on a background thread
// for the rest of the process, calling `onRaise` (which must be thread-safe)
// for each; the request is answered only when it returns true.
Claim claimOrSignal(const std::string& directory, std::string_view className, std::string_view title,
                    bool (*onRaise)());

}  // namespace platform::instance
