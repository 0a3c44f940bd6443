// zarta-sim's --frames: the folder, the frame observer and the closing list.
// Builds without libpng (the node build) refuse the option.
#include "tools/SimulatorFrames.h"

#include "platform/Headless.h"
#include "tools/SimulatorRun.h"
#ifdef ZARTA_SIM_FRAMES
#include "tools/FrameFiles.h"
#endif

#include <cstdio>
#include <string>

namespace sim {

bool prepareFrames()
{
    if (run.options.framesFolder.empty())
        return true;
    if (run.options.noPixels) {
        std::fprintf(stderr, "zarta-sim: --frames needs pixels; leave out --no-pixels\n");
        return false;
    }
#ifdef ZARTA_SIM_FRAMES
    std::string failure;
    if (!tools::prepareFrameFolder(run.options.framesFolder, failure)) {
        std::fprintf(stderr, "zarta-sim: cannot write frames to '%s': %s\n", run.options.framesFolder.c_str(),
                     failure.c_str());
        return false;
    }
    return true;
#else
    std::fprintf(stderr, "zarta-sim: --frames is not available in this build\n");
    return false;
#endif
}

void recordFrames()
{
#ifdef ZARTA_SIM_FRAMES
    if (run.options.framesFolder.empty())
        return;
    platform::headless::recordFrames(1);
    platform::headless::setFrameObserver([](const platform::headless::Frame& frame) {
        std::string failure;
        if (run.framesFailure.empty() && !tools::writeFrame(run.options.framesFolder, frame, failure))
            run.framesFailure = "frame " + std::to_string(frame.sequence) + " could not be written: " + failure;
    });
#endif
}

void finishFrames()
{
#ifdef ZARTA_SIM_FRAMES
    if (std::string failure; run.framesFailure.empty() && !tools::finishFrameFolder(failure))
        run.framesFailure = failure;
#endif
}

}  // namespace sim
