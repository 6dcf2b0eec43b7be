// The FILLSTYLE and LINESTYLE records of the shape tags: how a shape's areas and edges
// are painted. Their layout depends on the shape tag: DefineShape (version 1) and
// DefineShape2 (2) store RGB colours, DefineShape3 (3) and DefineShape4 (4) RGBA, and
// DefineShape4 uses LINESTYLE2, whose edges may be painted with a fill of their own.
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
    std::uint8_t alpha = 255;  // stored from version 3 on

    bool operator==(const SWFGradientRecord&) const = default;
};

struct SWFFillStyle {
    static constexpr std::uint8_t kSolid = 0x00;
    static constexpr std::uint8_t kLinearGradient = 0x10;
    static constexpr std::uint8_t kRadialGradient = 0x12;
    static constexpr std::uint8_t kFocalRadialGradient = 0x13;
    static constexpr std::uint8_t kRepeatingBitmap = 0x40;
    static constexpr std::uint8_t kClippedBitmap = 0x41;
    static constexpr std::uint8_t kRepeatingHardBitmap = 0x42;  // not smoothed
    static constexpr std::uint8_t kClippedHardBitmap = 0x43;

    std::uint8_t type = kSolid;
    // Solid fills.
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;  // stored from version 3 on
    // Gradient fills. The count byte is kept whole: its low 4 bits count the records,
    // and later SWF versions keep spread and interpolation modes in its high bits.
    SWFMatrix gradientMatrix{};
    std::uint8_t gradientCountByte = 0;
    std::vector<SWFGradientRecord> gradient{};
    std::int16_t focalPoint = 0;  // focal radial gradients: FIXED8
    // Bitmap fills: the bitmap's character id and the matrix from bitmap pixels to
    // shape coordinates.
    std::uint16_t bitmapId = 0;
    SWFMatrix bitmapMatrix{};

    bool isBitmap() const { return type >= kRepeatingBitmap && type <= kClippedHardBitmap; }
    bool isClipped() const { return type == kClippedBitmap || type == kClippedHardBitmap; }

    // One record at the reader's position (byte-aligned), laid out as the shape tag of
    // the given version stores it. nullopt for a fill type this model does not know,
    // whose length cannot be told; the caller must then stop. A record cut short leaves
    // the reader overrun.
    static std::optional<SWFFillStyle> read(SWFBitReader& reader, int version = 1);
    // Every field, each matrix with minimal bit counts; ends byte-aligned as the next
    // record starts with an aligned byte.
    void write(SWFBitWriter& writer, int version = 1) const;

    bool operator==(const SWFFillStyle&) const = default;
};

struct SWFLineStyle {
    std::uint16_t width = 0;  // twips
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;  // stored from version 3 on
    // LINESTYLE2 (version 4): the two bytes of cap, join and scaling flags as stored,
    // the miter limit (present when the join style is miter) and the fill that paints
    // the edge instead of the colour (present when the has-fill flag is set).
    std::uint16_t flags = 0;
    std::uint16_t miterLimit = 0;
    std::optional<SWFFillStyle> fill{};

    bool hasMiterLimit() const { return ((flags >> 12) & 0x3) == 2; }
    bool hasFill() const { return ((flags >> 11) & 0x1) != 0; }

    // nullopt when a LINESTYLE2 holds a fill type that is not modelled.
    static std::optional<SWFLineStyle> read(SWFBitReader& reader, int version = 1);
    void write(SWFBitWriter& writer, int version = 1) const;

    bool operator==(const SWFLineStyle&) const = default;
};

}  // namespace tarvenox
