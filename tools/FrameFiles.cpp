#include "tools/FrameFiles.h"

#include "tools/PngWriter.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace tools {

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
    return true;
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
    std::snprintf(name, sizeof name, "%06lld.png", static_cast<long long>(frame.sequence));
    return writePng(folder + "/" + name, platform::screenWidth, platform::screenHeight, rgb, failure);
}

}  // namespace tools
