// zarta-sim's --frames: the folder, the frame observer and the closing list.
// Builds without libpng (the node build) refuse the option.
#include "tools/SimulatorFrames.h"

#include "platform/Headless.h"
#ifdef ZARTA_SIM_FRAMES
#include "tools/FrameFiles.h"
#endif

#include <cstdio>
#include <string>

namespace sim {

bool prepareFrames(const Options& options)
{
    if (options.framesFolder.empty())
        return true;
    if (options.noPixels) {
        std::fprintf(stderr, "zarta-sim: --frames needs pixels; leave out --no-pixels\n");
        return false;
    }
#ifdef ZARTA_SIM_FRAMES
    std::string failure;
    if (!tools::prepareFrameFolder(options.framesFolder, failure)) {
        std::fprintf(stderr, "zarta-sim: cannot write frames to '%s': %s\n", options.framesFolder.c_str(),
                     failure.c_str());
        return false;
    }
    return true;
#else
    std::fprintf(stderr, "zarta-sim: --frames is not available in this build\n");
    return false;
#endif
}

void recordFrames(const std::string& folder, std::string& failure)
{
#ifdef ZARTA_SIM_FRAMES
    if (folder.empty())
        return;
    platform::headless::recordFrames(1);
    platform::headless::setFrameObserver([folder, &failure](const platform::headless::Frame& frame) {
        std::string why;
        if (failure.empty() && !tools::writeFrame(folder, frame, why))
            failure = "frame " + std::to_string(frame.sequence) + " could not be written: " + why;
    });
#else
    (void)folder;
    (void)failure;
#endif
}

void finishFrames([[maybe_unused]] std::string& failure)
{
#ifdef ZARTA_SIM_FRAMES
    if (std::string why; failure.empty() && !tools::finishFrameFolder(why))
        failure = why;
#endif
}

}  // namespace sim
