// The largest picture a movie can show, and the messages for one beyond it.
#pragma once

#include <cstdint>
#include <string>

#include "common/Report.h"

namespace tarvenox {

// Flash players draw bitmaps of at most 8191 pixels on a side and 16,777,215 pixels in
// all; a larger picture is not shown, so it is refused before it is decoded.
constexpr std::uint32_t kMaxPictureSide = 8191;
constexpr std::uint64_t kMaxPicturePixels = 16777215;

// Whether a width x height picture has pixels and fits the limits.
bool pictureFits(std::uint64_t width, std::uint64_t height);

// Fails when a width x height picture has no pixels or does not fit the limits, naming
// the file and the figures: the text for the interactive program's message box (German,
// like the program's other messages) and, as the reason, the one line the command line
// prints (English).
Report checkPictureSize(const std::string& path, std::uint64_t width, std::uint64_t height);

}  // namespace tarvenox
