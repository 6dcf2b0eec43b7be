// DefineShape (code 2): a shape whose bitmap fills can follow a replaced picture.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "swf/SWFFillStyle.h"
#include "swf/SWFRect.h"
#include "swf/SWFTag.h"

namespace tarvenox {

// The start of a DefineShape body: id, bounds and the two style arrays. The shape
// records after them are not modelled; they stay raw bytes.
struct SWFShapeStyles {
    std::uint16_t shapeId = 0;
    SWFRect bounds;
    std::vector<SWFFillStyle> fillStyles;
    std::vector<SWFLineStyle> lineStyles;
    std::size_t restOffset = 0;  // where the shape records start in the body

    // nullopt when the body ends inside the style arrays or holds a fill type that is
    // not modelled (such as the non-smoothed bitmap fills 0x42 and 0x43): such a shape
    // cannot be rewritten safely.
    static std::optional<SWFShapeStyles> read(ByteSpan body);
    // Id, bounds (with the bit width they were read with), both arrays.
    Bytes write() const;
};

class SWFDefineShape : public SWFTag {
public:
    SWFDefineShape(int code, Bytes body) : SWFTag(code, std::move(body)) {}

    std::optional<SWFShapeStyles> styles() const { return SWFShapeStyles::read(body()); }

    // Scales the matrices of the bitmap fills that show characterId by old size / new
    // size in each direction, so that a picture of the new pixel size covers the same
    // area of the stage as the old one did. True when at least one fill used the id
    // and the body was rebuilt (the shape records are copied unchanged). False, with
    // the body untouched, when no fill uses it, when a size is 0, or when the style
    // arrays cannot be read (see SWFShapeStyles::read).
    bool rescale(std::uint16_t characterId, std::uint16_t oldWidth, std::uint16_t oldHeight,
                 std::uint16_t newWidth, std::uint16_t newHeight);
};

}  // namespace tarvenox
