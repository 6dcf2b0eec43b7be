// The inputs of the save benchmarks, made from fixed seeds so that every run on every
// machine sees the same bytes and no large file is kept in the repository.
#pragma once

#include <cstdint>
#include <string>

#include "common/Bytes.h"

namespace tarvenox::bench {

// A photo-like picture: smooth light and colour over several scales with a little
// sensor noise, as a camera's pictures compress (about 70% of their size with zlib).
// RGBA (alpha 255) or RGB samples, row by row.
Bytes photoPixels(int width, int height, std::uint64_t seed, int channels);

// Where the inputs of W1 lie in a folder made by writeW1Inputs.
struct W1Files {
    std::string movie;  // a 2 MB template: font "Title", pictures "photo" and "banner",
                        // sound "music", ten variables, a background colour
    std::string png;    // 1024 x 1024 RGBA, to replace "photo"
    std::string jpeg;   // 1920 x 1080, to replace "banner"
    std::string mp3;    // 4 MB, to replace "music"
};

W1Files w1Files(const std::string& folder);
// Writes the W1 inputs into folder (which exists).
void writeW1Inputs(const std::string& folder);

// A 4000 x 3000 photograph (12 MP, as phones take them), a JPEG of quality 92 in
// folder, for the save of the greeting card; its path.
std::string photoJpeg(const std::string& folder);
void writePhotoJpeg(const std::string& folder);

// A portrait photograph (3000 x 4000 as seen) stored as phones store it: the sensor's
// 4000 x 3000 rows with Exif orientation 6, which says to turn them a quarter clockwise.
// Its path in folder, and its pixels as they are meant to be seen (RGB).
std::string portraitPhotoJpeg(const std::string& folder);
Bytes portraitPhotoPixels();
void writePortraitPhotoJpeg(const std::string& folder);

// RGBA samples as DefineBitsLossless2 stores opaque pixels: alpha first.
Bytes argbOf(Bytes rgba);
// The pixels of W1's PNG as a DefineBitsLossless2 body stores them (premultiplied
// ARGB): what the save must compress.
Bytes w1BitmapPixels();
// A drawn picture in the same layout: flat colours and hard edges, which compress far
// more than a photograph.
Bytes drawnArgb(int width, int height);

// Writes an uncompressed movie of about `bytes` bytes: scene after scene of a bitmap, a
// JPEG, a sound, a shape, its placement and a frame, with a few exports and actions.
void writeLargeMovie(const std::string& path, std::uint64_t bytes);

}  // namespace tarvenox::bench
