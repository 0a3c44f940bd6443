// The services beside the windows: resources by id, the local time, the
// random generator, pauses and the end of the process.
#include "platform/Core.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace platform {

using namespace core;

// ---- Resources --------------------------------------------------------------

int loadString(int id, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    const char* text = resources::findString(id);
    if (!text) {
        buffer[0] = '\0';
        return 0;
    }
    int length = std::min(static_cast<int>(std::strlen(text)), size - 1);
    std::memcpy(buffer, text, static_cast<std::size_t>(length));
    buffer[length] = '\0';
    return length;
}

namespace {

// Images point into the program's own data, so one record per picture,
// found by id without a search, serves every caller for the whole run. Built
// before main: the pictures are constant data.
std::vector<Image> imagesById()
{
    std::vector<Image> byId;
    for (int i = 0; i < resources::bitmapCount(); ++i) {
        const resources::Bitmap* bitmap = resources::bitmapAt(i);
        if (bitmap->id >= static_cast<int>(byId.size()))
            byId.resize(static_cast<std::size_t>(bitmap->id) + 1, Image{0, 0, nullptr});
        byId[static_cast<std::size_t>(bitmap->id)] = {bitmap->width, bitmap->height, bitmap->pixels};
    }
    return byId;
}
const std::vector<Image> images = imagesById();

}  // namespace

const Image* loadImage(int id)
{
    if (static_cast<unsigned>(id) >= images.size() || !images[static_cast<std::size_t>(id)].pixels)
        return nullptr;
    return &images[static_cast<std::size_t>(id)];
}

std::uint32_t paletteColor(std::uint8_t index)
{
    return resources::paletteColor(index);
}

// ---- Time, randomness, pacing, process -----------------------------------

int localSeconds()
{
    return std::clamp(currentBackend().localSeconds(), 0, 59);
}

std::uint64_t gameSeed()
{
    return currentBackend().gameSeed();
}

bool changePlayerData(const char* name, const PlayerDataChange& change, std::string& problem)
{
    return currentBackend().changePlayerData(name, change, problem);
}

std::string playerDataPlace(const char* name)
{
    return currentBackend().playerDataPlace(name);
}

void seedRandom(std::uint32_t seed)
{
    state().generator.seed(seed);
}

std::uint32_t nextRandom()
{
    return static_cast<std::uint32_t>(state().generator());
}

void waitUnits(int units)
{
    if (state().exited)
        return;
    units = std::max(0, units);
    // The pause runs from here, so the time showing its screen takes is part of it.
    currentBackend().startPause(units);
    present();
    currentBackend().waitUnits(units);
}

void exitProcess(int status)
{
    CoreState& s = state();
    // Taken first: what the handler does may end the process again.
    if (void (*leaving)() = std::exchange(s.leaving, nullptr))
        leaving();
    s.exited = true;
    s.queue.clear();
    s.backend->exitProcess(status);
}

void setLeavingHandler(void (*handler)())
{
    state().leaving = handler;
}

}  // namespace platform
