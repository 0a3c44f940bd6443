// The single-instance rule across processes of one user on one display.
// Copies meet in a private directory: the first holds a lock file (with its
// process id in it) for the rest of its life and listens on a Unix socket
// beside it; a later copy, finding the lock taken, asks the first to come to
// the front and ends. Copies on different displays meet under different
// names, so each display has a game of its own.
#pragma once

#include <string>
#include <string_view>

namespace platform::instance {

// $XDG_RUNTIME_DIR/zarta, or /tmp/zarta-<uid> without a runtime directory or
// when a socket path in it would be too long.
std::string defaultDirectory();

enum class Claim {
    first,        // this process holds the rendezvous from now on
    signalled,    // another copy runs and came to the front
    unanswered,   // another copy holds the rendezvous but gave no answer in time (stopped, or stuck)
    unavailable,  // no safe rendezvous (the directory is not ours and private); run alone
};

// What copies compare: they are the same game only when all three match.
struct InstanceKey {
    std::string_view className;
    std::string_view title;
    std::string_view display;  // the display the window shows on; empty with only one
};

// Creates `directory` (mode 0700) when missing and refuses it unless it is a
// directory owned by this user that nobody else may enter. The first caller
// for a key serves raise requests on a background thread for the rest of the
// process, calling `onRaise` (which must be thread-safe) for each; the
// request is answered only when it returns true. After `unanswered`,
// `holder` is the other copy's process id, or 0 when it cannot be read.
Claim claimOrSignal(const std::string& directory, const InstanceKey& key, bool (*onRaise)(), long& holder);

}  // namespace platform::instance
