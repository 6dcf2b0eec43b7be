// The largest picture a movie can show, and the messages for one beyond it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tarvenox {

// Flash players draw bitmaps of at most 8191 pixels on a side and 16,777,215 pixels in
// all; a larger picture is not shown, so it is refused before it is decoded.
constexpr std::uint32_t kMaxPictureSide = 8191;
constexpr std::uint64_t kMaxPicturePixels = 16777215;

// Why a picture cannot be used: the text for the interactive program's message box
// (German, like the program's other messages) and the one-line reason the command
// line prints (English).
struct PictureProblem {
    std::string message;
    std::string reason;
};

// nullopt when a width x height picture fits the limits, else the problem, naming the
// file and the figures.
std::optional<PictureProblem> pictureSizeProblem(const std::string& path, std::uint64_t width,
                                                 std::uint64_t height);

}  // namespace tarvenox
