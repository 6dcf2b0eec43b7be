// The outline of one character: closed contours of lines and quadratic curves, in
// outline units (1/16 pixel, y upwards, baseline at 0).
#pragma once

#include <string>
#include <vector>

#include "common/Bytes.h"
#include "common/Report.h"
#include "common/Texts.h"
#include "font/Contour.h"

namespace tarvenox {

class SWFBitWriter;

class Glyph {
public:
    // Parses a native outline buffer: one contour per polygon, in buffer order.
    // Cubic and unknown records are left out, each with a message (see messages()). A
    // polygon or record that claims more bytes than its polygon or the buffer holds
    // ends the parse there, so nothing outside the buffer is ever read.
    explicit Glyph(ByteSpan nativeOutline);
    virtual ~Glyph() = default;

    Glyph(const Glyph&) = delete;
    Glyph& operator=(const Glyph&) = delete;

    // SVG path data of every contour, in outline units with y upwards.
    virtual void draw(std::string& svgPath) const;
    // The glyph's SWF SHAPE: NumFillBits 1, NumLineBits 0, the contours, an
    // EndShapeRecord; coordinates multiplied by scale (20 for the finer em of
    // DefineFont3). It starts on a byte boundary; the next value written must align.
    virtual void write(SWFBitWriter& writer, int scale = 1) const;

    // The box the outline covers, in outline units with y upwards (empty for a glyph
    // without contours).
    OutlineBounds bounds() const;

    const std::vector<Contour>& contours() const { return contours_; }

    // What the parse has to tell the user, in order: the records it left out.
    const std::vector<UserMessage>& messages() const { return messages_; }

protected:
    Glyph() = default;

private:
    std::vector<Contour> contours_;
    std::vector<UserMessage> messages_;
};

// A character without an outline: the space, or a code the font has no glyph for.
class NullGlyph final : public Glyph {
public:
    NullGlyph() = default;
    void draw(std::string&) const override {}
    // The empty shape: the bytes 0x10 (NumFillBits 1, NumLineBits 0) and 0x00.
    void write(SWFBitWriter& writer, int scale = 1) const override;
};

// The messages the parser shows.
inline std::string cubicSplineMessage() { return text("font.cubicSpline"); }
inline std::string unknownRecordMessage() { return text("font.unknownRecord"); }

}  // namespace tarvenox
