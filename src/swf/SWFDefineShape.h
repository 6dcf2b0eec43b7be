// DefineShape, DefineShape2, DefineShape3 and DefineShape4 (codes 2, 22, 32, 83):
// shapes whose bitmap fills can follow a replaced picture.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "swf/SWFFillStyle.h"
#include "swf/SWFRect.h"
#include "swf/SWFTag.h"

namespace tarvenox {

// The start of a shape body: id, bounds (and for DefineShape4 the edge bounds and a
// flags byte) and the two style arrays. The shape records after them are not
// modelled; they stay raw bytes.
struct SWFShapeStyles {
    int version = 1;  // 1 to 4: DefineShape to DefineShape4
    std::uint16_t shapeId = 0;
    SWFRect bounds;
    SWFRect edgeBounds;            // version 4
    std::uint8_t shape4Flags = 0;  // version 4: winding rule and stroke scaling
    std::vector<SWFFillStyle> fillStyles;
    std::vector<SWFLineStyle> lineStyles;
    // From version 2 on a count of 255 or more is stored as 0xFF and a UI16; a writer
    // may use that form for smaller counts too, and it is kept.
    bool extendedFillCount = false;
    bool extendedLineCount = false;
    std::size_t restOffset = 0;  // where the shape records start in the body

    // nullopt when the body ends inside the style arrays or holds a fill type that is
    // not modelled: such a shape cannot be rewritten safely.
    static std::optional<SWFShapeStyles> read(ByteSpan body, int version = 1);
    // Everything read, the bounds with the bit width they were read with.
    Bytes write() const;
};

// The shape version (1 to 4) of a shape tag code; 0 for other codes.
int shapeVersion(TagCode code);

class SWFDefineShape : public SWFTag {
public:
    SWFDefineShape(TagCode code, TagBody body) : SWFTag(code, std::move(body)) {}

    std::optional<SWFShapeStyles> styles() const { return SWFShapeStyles::read(body(), shapeVersion(code())); }

    // Scales the matrices of the bitmap fills (of areas and of DefineShape4 edges) that
    // show characterId by old size / new
    // size in each direction, so that a picture of the new pixel size covers the same
    // area of the stage as the old one did. True when at least one fill used the id
    // and the body was rebuilt (the shape records are copied unchanged). False, with
    // the body untouched, when no fill uses it, when a size is 0, or when the style
    // arrays cannot be read (see SWFShapeStyles::read).
    bool rescale(std::uint16_t characterId, std::uint16_t oldWidth, std::uint16_t oldHeight, std::uint16_t newWidth,
                 std::uint16_t newHeight);
};

}  // namespace tarvenox
