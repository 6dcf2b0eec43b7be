// The FILLSTYLE and LINESTYLE records of DefineShape.
#include "swf/SWFFillStyle.h"

namespace tarvenox {

std::optional<SWFFillStyle> SWFFillStyle::read(SWFBitReader& reader) {
    SWFFillStyle style;
    style.type = reader.readUI8();
    switch (style.type) {
        case kSolid:
            style.red = reader.readUI8();
            style.green = reader.readUI8();
            style.blue = reader.readUI8();
            break;
        case kLinearGradient:
        case kRadialGradient: {
            style.gradientMatrix = SWFMatrix::read(reader);
            style.gradientCountByte = reader.readUI8();
            const int count = style.gradientCountByte & 0x0F;
            for (int i = 0; i < count && !reader.overrun(); ++i) {
                SWFGradientRecord record;
                record.ratio = reader.readUI8();
                record.red = reader.readUI8();
                record.green = reader.readUI8();
                record.blue = reader.readUI8();
                style.gradient.push_back(record);
            }
            break;
        }
        case kRepeatingBitmap:
        case kClippedBitmap:
            style.bitmapId = reader.readUI16();
            style.bitmapMatrix = SWFMatrix::read(reader);
            break;
        default:
            return std::nullopt;
    }
    return style;
}

void SWFFillStyle::write(SWFBitWriter& writer) const {
    writer.writeAlignedByte(type);
    switch (type) {
        case kSolid:
            writer.writeAlignedByte(red);
            writer.writeAlignedByte(green);
            writer.writeAlignedByte(blue);
            break;
        case kLinearGradient:
        case kRadialGradient:
            gradientMatrix.write(writer);
            writer.writeAlignedByte(gradientCountByte);
            for (const auto& record : gradient) {
                writer.writeAlignedByte(record.ratio);
                writer.writeAlignedByte(record.red);
                writer.writeAlignedByte(record.green);
                writer.writeAlignedByte(record.blue);
            }
            break;
        case kRepeatingBitmap:
        case kClippedBitmap:
            writer.writeAlignedUI16(bitmapId);
            bitmapMatrix.write(writer);
            break;
        default:
            break;
    }
    writer.align();
}

SWFLineStyle SWFLineStyle::read(SWFBitReader& reader) {
    SWFLineStyle style;
    style.width = reader.readUI16();
    style.red = reader.readUI8();
    style.green = reader.readUI8();
    style.blue = reader.readUI8();
    return style;
}

void SWFLineStyle::write(SWFBitWriter& writer) const {
    writer.writeAlignedUI16(width);
    writer.writeAlignedByte(red);
    writer.writeAlignedByte(green);
    writer.writeAlignedByte(blue);
}

}  // namespace tarvenox
