// A decoded PNG picture and the DefineBitsLossless body made from it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/Bytes.h"
#include "common/Result.h"

namespace tarvenox {

class SWFLosslessImage;

class PngImage {
public:
    virtual ~PngImage() = default;

    // The body of a DefineBitsLossless tag with character id 0: BitmapFormat 3 (a
    // colour table and one index per pixel) or 5 (32-bit pixels), width, height, for
    // format 3 the table size minus 1, then the zlib stream (zlibCompress) of the table
    // and the pixel rows. Empty when memory runs out.
    virtual Bytes buildLosslessBody() const = 0;
    // Whether the body needs DefineBitsLossless2: the picture has an alpha channel, or a
    // palette with transparent entries. Colours are then stored premultiplied by alpha.
    virtual bool usesAlpha() const = 0;
};

// Decodes with libpng. Every PNG kind is brought to one of three forms: 8-bit palette
// indices (palettes of 1, 2 and 4 bits are unpacked), 8-bit RGB or 8-bit RGBA
// (greyscale becomes RGB, a transparent colour or grey (tRNS) becomes an alpha channel,
// 16-bit channels are scaled to 8). Interlaced pictures are read whole.
class PngImageImpl : public PngImage {
public:
    // Whether the lossless body is built while the picture decodes: its rows are laid
    // out and compressed on the other cores as they come, and the first call of
    // buildLosslessBody() hands over the finished body.
    enum class BodyWhileDecoding { No, Yes };
    // Reads and decodes the file at path (UTF-8). Fails when the picture cannot be read
    // or decoded, or is larger than players show (PictureLimits.h, checked from the
    // header before decoding): the message says why, naming the file, for the user, and
    // the reason the same in one English line for the command line.
    static Result<PngImageImpl> read(const std::string& path, BodyWhileDecoding withBody = BodyWhileDecoding::No);
    // Decodes PNG bytes; path names the file in messages.
    static Result<PngImageImpl> decode(ByteSpan png, const std::string& path,
                                       BodyWhileDecoding withBody = BodyWhileDecoding::No);

    Bytes buildLosslessBody() const override;
    bool usesAlpha() const override { return hasAlpha_; }

    std::uint16_t width() const { return static_cast<std::uint16_t>(width_); }
    std::uint16_t height() const { return static_cast<std::uint16_t>(height_); }
    bool isPalette() const { return isPalette_; }
    // The Exif orientation of its eXIf chunk (ExifOrientation.h), 1 without one: the
    // rows stay as stored.
    int orientation() const { return orientation_; }

private:
    PngImageImpl() = default;
    Report decodeData(ByteSpan png, const std::string& path, BodyWhileDecoding withBody);

    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    bool isPalette_ = false;
    bool hasAlpha_ = false;
    int orientation_ = 1;
    // Palette pictures: red, green, blue, alpha per entry (alpha 255 without tRNS).
    std::vector<std::uint8_t> colorTable_;
    // Rows of width_ * channels bytes, top to bottom: palette indices, RGB or RGBA.
    std::unique_ptr<std::uint8_t[]> pixels_;
    // The body built while decoding, when asked for, until it is handed over.
    mutable Bytes body_;
};

// The bitmap tag with the given character id made from a decoded PNG picture:
// DefineBitsLossless2 when the picture uses alpha, else DefineBitsLossless. nullptr when
// it yields no body.
std::unique_ptr<SWFLosslessImage> losslessImageFromPng(std::uint16_t characterId, const PngImage& image);

}  // namespace tarvenox
