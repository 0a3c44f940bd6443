#include "tools/FrameFiles.h"

#include "tools/PngWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace tools {

namespace {
std::FILE* frameList = nullptr;
}

bool prepareFrameFolder(const std::string& folder, std::string& failure)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error && !std::filesystem::is_directory(folder, error))
        error = std::make_error_code(std::errc::not_a_directory);
    if (error) {
        failure = error.message();
        return false;
    }
    frameList = std::fopen((folder + "/frames.txt").c_str(), "w");
    if (!frameList) {
        failure = std::strerror(errno);
        return false;
    }
    return true;
}

bool finishFrameFolder(std::string& failure)
{
    if (!frameList)
        return true;
    const bool written = std::fflush(frameList) == 0 && !std::ferror(frameList);
    const bool closed = std::fclose(frameList) == 0;
    frameList = nullptr;
    if (!written || !closed)
        failure = "frames.txt could not be written completely";
    return written && closed;
}

bool writeFrame(const std::string& folder, const platform::headless::Frame& frame, std::string& failure)
{
    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<std::size_t>(platform::screenWidth * platform::screenHeight * 3));
    for (int y = 0; y < platform::screenHeight; ++y) {
        for (int x = 0; x < platform::screenWidth; ++x) {
            const std::uint32_t colour = frame.pixel(x, y);
            rgb.push_back(static_cast<std::uint8_t>(colour >> 16));
            rgb.push_back(static_cast<std::uint8_t>(colour >> 8));
            rgb.push_back(static_cast<std::uint8_t>(colour));
        }
    }
    char name[32];
    std::snprintf(name, sizeof name, "%06lld", static_cast<long long>(frame.sequence));
    if (frameList) {
        if (frame.modal)
            std::fprintf(frameList, "%s box\n", name);
        else if (frame.pause > 0)
            std::fprintf(frameList, "%s pause %d\n", name, frame.pause);
        else
            std::fprintf(frameList, "%s input\n", name);
    }
    return writePng(folder + "/" + name + ".png", platform::screenWidth, platform::screenHeight, rgb, failure);
}

}  // namespace tools
