// One closed outline of a glyph.
#include "font/Contour.h"

#include <algorithm>

#include "swf/SWFBitWriter.h"

namespace tarvenox {

void Contour::draw(std::string& svgPath) const {
    if (!svgPath.empty()) svgPath += ' ';
    svgPath += "M " + std::to_string(startX) + ' ' + std::to_string(startY);
    for (const auto& part : parts) part->draw(svgPath);
    svgPath += " Z";
}

void Contour::write(SWFBitWriter& writer, bool firstContour, int scale) const {
    const std::uint32_t f = firstContour ? 1 : 0;
    writer.writeBits(1, 0);  // TypeFlag: non-edge record
    writer.writeBits(1, 0);  // StateNewStyles
    writer.writeBits(1, f);  // StateLineStyle
    writer.writeBits(1, f);  // StateFillStyle1
    writer.writeBits(1, 0);  // StateFillStyle0
    writer.writeBits(1, 1);  // StateMoveTo
    const std::int32_t moveX = startX * scale, moveY = -startY * scale;
    const int moveBits = std::max(signedBitCount(moveX), signedBitCount(moveY));
    writer.writeBits(5, static_cast<std::uint32_t>(moveBits));
    writer.writeSignedBits(moveBits, moveX);
    writer.writeSignedBits(moveBits, moveY);
    // FillStyle1 = 1. The line style index takes 0 bits, as the shape has NumLineBits 0.
    if (firstContour) writer.writeBits(1, 1);
    for (const auto& part : parts) part->write(writer, scale);
}

}  // namespace tarvenox
