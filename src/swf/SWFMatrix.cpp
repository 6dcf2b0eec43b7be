// The MATRIX record.
#include "swf/SWFMatrix.h"

#include <algorithm>

namespace tarvenox {

namespace {

void readPair(SWFBitReader& reader, std::int32_t& a, std::int32_t& b) {
    int n = static_cast<int>(reader.readUB(5));
    a = reader.readSB(n);
    b = reader.readSB(n);
}

void writePair(SWFBitWriter& writer, std::int32_t a, std::int32_t b) {
    int n = std::max(signedBitCount(a), signedBitCount(b));
    writer.writeBits(5, static_cast<std::uint32_t>(n));
    writer.writeSignedBits(n, a);
    writer.writeSignedBits(n, b);
}

}  // namespace

SWFMatrix SWFMatrix::read(SWFBitReader& reader) {
    SWFMatrix m;
    m.hasScale = reader.readUB(1) != 0;
    if (m.hasScale) readPair(reader, m.scaleX, m.scaleY);
    m.hasRotate = reader.readUB(1) != 0;
    if (m.hasRotate) readPair(reader, m.rotateSkew0, m.rotateSkew1);
    readPair(reader, m.translateX, m.translateY);
    return m;
}

void SWFMatrix::write(SWFBitWriter& writer) const {
    writer.writeBits(1, hasScale ? 1 : 0);
    if (hasScale) writePair(writer, scaleX, scaleY);
    writer.writeBits(1, hasRotate ? 1 : 0);
    if (hasRotate) writePair(writer, rotateSkew0, rotateSkew1);
    writePair(writer, translateX, translateY);
}

}  // namespace tarvenox
