// Writes the pictures as a C++ source that implements the image half of
// resources/Resources.h: plain arrays of palette indices, nothing read at run time.
#pragma once

#include "Art.h"
#include "Pictures.h"

#include <filesystem>
#include <string>
#include <vector>

namespace generator {

// pictures sorted by rising id; icons square, in rising size.
bool writeImagesSource(const std::filesystem::path& file, const Art& art, const std::vector<Picture>& pictures,
                       const std::vector<Canvas>& icons, std::string& error);

}  // namespace generator
