// The message queue: input from the back end, posted messages, dispatch with
// its hit-testing of taps, accelerators, and the modal scope that keeps board
// input away from an open box, dialog or pop-up.
#include "platform/Core.h"

#include <cctype>

namespace platform::core {

static_assert(resources::acceleratorKeyF2 == keyF2, "the accelerator table and the key messages must agree on F2");

namespace {
void resolveInputWindow(Message& message)
{
    if (message.msg == Msg::tap)
        message.window = topLevelAt(static_cast<int>(message.wparam), static_cast<int>(message.lparam));
    else if (message.msg == Msg::keyDown)
        message.window = focusWindow();
}

Handle controlAt(Handle topLevel, int x, int y)
{
    const CoreState& s = state();
    const WindowRecord* parent = findWindow(topLevel);
    for (auto it = s.zOrder.rbegin(); it != s.zOrder.rend(); ++it) {
        const WindowRecord* control = findWindow(*it);
        if (control && control->kind == WindowKind::control && control->parent == topLevel && control->visible &&
            contains(intersect(screenRectOf(*control), parent->rect), x, y))
            return *it;
    }
    return 0;
}

Param dispatchTap(int x, int y, bool topLevelInput)
{
    if (handleMenuBarTap(x, y))
        return 0;
    Handle window = topLevelAt(x, y);
    Handle control = window ? controlAt(window, x, y) : 0;
    int controlId = control ? findWindow(control)->id : 0;
    if (topLevelInput)
        currentBackend().tapTaken(controlId);
    if (!window)
        return 0;
    if (control)
        return sendMessage(window, Msg::command, makeCommandParam(controlId, 0), control);
    return sendMessage(window, Msg::tap, x, y);
}

bool sameMessage(const Message& a, const Message& b)
{
    return a.window == b.window && a.msg == b.msg && a.wparam == b.wparam && a.lparam == b.lparam;
}

}  // namespace

// ---- Input ----------------------------------------------------------------

bool isKey(const Message& message, Param key)
{
    return message.msg == Msg::keyDown && !(message.lparam & modifierControl) && message.wparam == key;
}

bool isLetter(const Message& message, char upper)
{
    return message.msg == Msg::keyDown && !(message.lparam & modifierControl) && message.wparam >= 0 &&
           message.wparam < 128 && std::toupper(static_cast<int>(message.wparam)) == upper;
}

bool isTapIn(const Message& message, const Rect& area)
{
    return message.msg == Msg::tap &&
           contains(area, static_cast<int>(message.wparam), static_cast<int>(message.lparam));
}

bool repaintShowAndWait()
{
    // Under an open box, dialog or pop-up the board is disabled and keeps
    // what it shows; what it has waiting is painted once the modal closes.
    if (state().modalDepth == 0)
        repaintInvalid();
    if (state().exited)
        return false;
    present();
    return currentBackend().waitForInput();
}

ModalScope::ModalScope()
{
    CoreState& s = state();
    // What has arrived so far was made before the modal opened.
    if (!s.exited)
        s.backend->collectInput();
    first = s.nextInputSerial;
    ++s.modalDepth;
}

ModalScope::~ModalScope()
{
    --state().modalDepth;
}

bool takeModalInput(const ModalScope& scope, InputFilter accepts, void* context, Message& message)
{
    CoreState& s = state();
    while (!s.exited) {
        for (auto it = s.queue.begin(); it != s.queue.end();) {
            if (it->origin == Origin::closeButton) {
                platform::exitProcess(0);
                return false;
            }
            Message candidate = it->message;
            resolveInputWindow(candidate);
            if (candidate.msg != Msg::quit && accepts(candidate, context)) {
                s.queue.erase(it);
                message = candidate;
                return true;
            }
            if (it->origin == Origin::input && it->serial >= scope.firstInput())
                it = s.queue.erase(it);
            else
                ++it;
        }
        if (!repaintShowAndWait())
            return false;
    }
    return false;
}

}  // namespace platform::core

namespace platform::backend {

void queueTap(int x, int y)
{
    core::CoreState& s = core::state();
    s.queue.push_back({{0, Msg::tap, x, y}, core::Origin::input, s.nextInputSerial++});
}

void queueKey(Param key, Param modifiers)
{
    // A letter reaches the program upper-case, whichever case a back end or a test hands in.
    if (key >= 'a' && key <= 'z')
        key -= 'a' - 'A';
    core::CoreState& s = core::state();
    s.queue.push_back({{0, Msg::keyDown, key, modifiers}, core::Origin::input, s.nextInputSerial++});
}

void queueClose()
{
    // A box or menu waiting for an answer cannot let the close path run inside
    // it, and a player closing the window then means it: leave at once.
    if (core::state().modalDepth > 0) {
        platform::exitProcess(0);
        return;
    }
    Handle board = core::focusWindow();
    std::vector<core::Pending>& queue = core::state().queue;
    if (board)
        queue.insert(queue.begin(), {{board, Msg::command, makeCommandParam(1, 0), 0}, core::Origin::closeButton});
}

std::size_t queueLength()
{
    return core::state().queue.size();
}
bool quitReceived()
{
    return core::state().quitReceived;
}
int quitCode()
{
    return core::state().quitCode;
}

}  // namespace platform::backend

namespace platform {

using namespace core;

// ---- Messages --------------------------------------------------------------

Param sendMessage(Handle window, Msg msg, Param wparam, Param lparam)
{
    if (state().exited)
        return 0;
    const WindowRecord* target = findWindow(window);
    if (!target || !target->procedure)
        return 0;
    if (msg == Msg::eraseBackground && wparam == 0 && target->kind == WindowKind::topLevel)
        return repaintAtOnce(window);
    WindowProc procedure = target->procedure;
    return procedure(window, msg, wparam, lparam);
}

bool postMessage(Handle window, Msg msg, Param wparam, Param lparam)
{
    CoreState& s = state();
    if (s.exited || (window != 0 && !findWindow(window)))
        return false;
    s.queue.push_back({{window, msg, wparam, lparam}, Origin::posted});
    return true;
}

void postQuitMessage(int code)
{
    CoreState& s = state();
    if (!s.exited)
        s.queue.push_back({{0, Msg::quit, code, 0}, Origin::posted});
}

bool getMessage(Message& message)
{
    CoreState& s = state();
    message = {};
    while (!s.exited) {
        if (!s.queue.empty()) {
            Pending taken = s.queue.front();
            s.queue.erase(s.queue.begin());
            resolveInputWindow(taken.message);
            s.lastTaken = taken;
            message = taken.message;
            if (message.msg == Msg::quit) {
                s.quitReceived = true;
                s.quitCode = static_cast<int>(message.wparam);
                return false;
            }
            return true;
        }
        if (!repaintShowAndWait())
            break;
    }
    return false;
}

Param dispatchMessage(const Message& message)
{
    CoreState& s = state();
    if (s.exited)
        return 0;
    Origin origin = sameMessage(message, s.lastTaken.message) ? s.lastTaken.origin : Origin::posted;
    s.lastTaken = {};
    bool topLevelInput = s.modalDepth == 0;

    Param result = 0;
    switch (message.msg) {
    case Msg::tap:
        result = dispatchTap(static_cast<int>(message.wparam), static_cast<int>(message.lparam), topLevelInput);
        break;
    case Msg::command:
        if (topLevelInput && (origin == Origin::menuChoice || origin == Origin::closeButton))
            s.backend->commandChosen(lowWord(message.wparam));
        result = sendMessage(message.window, message.msg, message.wparam, message.lparam);
        break;
    default:
        return sendMessage(message.window, message.msg, message.wparam, message.lparam);
    }
    if (topLevelInput)
        state().backend->inputFinished();
    return result;
}

Param defWindowProc(Handle window, Msg msg, Param, Param)
{
    if (msg == Msg::close)
        destroyWindow(window);
    return 0;
}

Handle loadAccelerators(int id)
{
    if (!resources::findAccelerators(id))
        return 0;
    // A table is read-only data: every loop that loads it shares one handle,
    // so a long run of message loops does not grow.
    for (const auto& [handle, loaded] : state().acceleratorTables) {
        if (loaded == id)
            return handle;
    }
    Handle handle = newHandle();
    state().acceleratorTables.emplace(handle, id);
    return handle;
}

bool translateAccelerator(Handle window, Handle accelerators, const Message& message)
{
    CoreState& s = state();
    if (s.exited || message.msg != Msg::keyDown || !findWindow(window))
        return false;
    auto table = s.acceleratorTables.find(accelerators);
    if (table == s.acceleratorTables.end())
        return false;
    const resources::AcceleratorTable* entries = resources::findAccelerators(table->second);
    bool control = (message.lparam & modifierControl) != 0;
    int key = message.wparam >= 0 && message.wparam < 128 ? std::toupper(static_cast<int>(message.wparam))
                                                          : static_cast<int>(message.wparam);
    for (int i = 0; i < entries->count; ++i) {
        const resources::Accelerator& entry = entries->entries[i];
        if (entry.control != control || entry.key != key)
            continue;
        bool topLevelInput = s.modalDepth == 0;
        if (topLevelInput)
            s.backend->commandChosen(entry.command);
        // Notification 1 marks an accelerator, as a menu choice carries 0.
        sendMessage(window, Msg::command, makeCommandParam(entry.command, 1), 0);
        if (topLevelInput)
            state().backend->inputFinished();
        return true;
    }
    return false;
}

}  // namespace platform
