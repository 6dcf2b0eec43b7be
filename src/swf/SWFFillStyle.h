// The FILLSTYLE and LINESTYLE records of DefineShape: how a shape's areas and edges
// are painted.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "swf/SWFBitReader.h"
#include "swf/SWFBitWriter.h"
#include "swf/SWFMatrix.h"

namespace tarvenox {

struct SWFGradientRecord {
    std::uint8_t ratio = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const SWFGradientRecord&) const = default;
};

struct SWFFillStyle {
    static constexpr std::uint8_t kSolid = 0x00;
    static constexpr std::uint8_t kLinearGradient = 0x10;
    static constexpr std::uint8_t kRadialGradient = 0x12;
    static constexpr std::uint8_t kRepeatingBitmap = 0x40;
    static constexpr std::uint8_t kClippedBitmap = 0x41;

    std::uint8_t type = kSolid;
    // Solid fills.
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    // Gradient fills. The count byte is kept whole: its low 4 bits count the records,
    // and later SWF versions keep spread and interpolation modes in its high bits.
    SWFMatrix gradientMatrix{};
    std::uint8_t gradientCountByte = 0;
    std::vector<SWFGradientRecord> gradient{};
    // Bitmap fills: the bitmap's character id and the matrix from bitmap pixels to
    // shape coordinates.
    std::uint16_t bitmapId = 0;
    SWFMatrix bitmapMatrix{};

    bool isBitmap() const { return type == kRepeatingBitmap || type == kClippedBitmap; }

    // One record at the reader's position (byte-aligned). nullopt for a fill type
    // this model does not know, whose length cannot be told; the caller must then stop.
    // A record cut short leaves the reader overrun.
    static std::optional<SWFFillStyle> read(SWFBitReader& reader);
    // Every field, each matrix with minimal bit counts; ends byte-aligned as the next
    // record starts with an aligned byte.
    void write(SWFBitWriter& writer) const;

    bool operator==(const SWFFillStyle&) const = default;
};

struct SWFLineStyle {
    std::uint16_t width = 0;  // twips
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    static SWFLineStyle read(SWFBitReader& reader);
    void write(SWFBitWriter& writer) const;

    bool operator==(const SWFLineStyle&) const = default;
};

}  // namespace tarvenox
