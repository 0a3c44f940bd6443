#!/usr/bin/env bash
# Runs sdl-frames (every pixel of the window against the frames it was given)
# under a virtual X server of its own; XVFB_OPTIONS may take away the
# server's shared memory. Usage: tests/sdl_frames.sh path/to/sdl-frames
set -u
program=${1:?usage: sdl_frames.sh path/to/sdl-frames}
testName=sdl_frames
# shellcheck source=tests/xvfb_lib.sh
. "$(dirname "$0")/xvfb_lib.sh"
startVirtualDisplay
timeout 120 "$program"
