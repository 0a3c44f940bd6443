// The web back end: the device screen on the page's <canvas>, pointer and
// key input from the page, pauses that sleep through Asyncify.
#pragma once

namespace platform::web {

void install();

}  // namespace platform::web
