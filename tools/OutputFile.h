// Writing a tool's output to a path named on its command line without ever
// removing something the tool did not create. A regular file (or a path not
// there yet) is written to a new file beside it that is renamed over it only
// once every byte is written; anything else (a device, a pipe, standard
// output) is written to in place and left where it is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// False, with the reason in `failure`, when the bytes could not all be
// written; whatever was at `path` before is then as it was (a device or pipe
// may have taken some of them).
bool writeOutputFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& failure);

}  // namespace tools
