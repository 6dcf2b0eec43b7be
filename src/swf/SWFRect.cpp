// The RECT record.
#include "swf/SWFRect.h"

#include <algorithm>

namespace tarvenox {

SWFRect SWFRect::read(SWFBitReader& reader) {
    SWFRect rect;
    rect.nBits = static_cast<int>(reader.readUB(5));
    rect.xMin = reader.readSB(rect.nBits);
    rect.xMax = reader.readSB(rect.nBits);
    rect.yMin = reader.readSB(rect.nBits);
    rect.yMax = reader.readSB(rect.nBits);
    return rect;
}

int SWFRect::minimalBits() const {
    return std::max({signedBitCount(xMin), signedBitCount(xMax), signedBitCount(yMin), signedBitCount(yMax)});
}

void SWFRect::write(SWFBitWriter& writer) const {
    const int bits = std::max(nBits, minimalBits());
    writer.writeBits(5, static_cast<std::uint32_t>(bits));
    writer.writeSignedBits(bits, xMin);
    writer.writeSignedBits(bits, xMax);
    writer.writeSignedBits(bits, yMin);
    writer.writeSignedBits(bits, yMax);
}

}  // namespace tarvenox
