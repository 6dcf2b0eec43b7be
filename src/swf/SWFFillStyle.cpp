// The FILLSTYLE and LINESTYLE records of the shape tags.
#include "swf/SWFFillStyle.h"

namespace tarvenox {

namespace {

// Shape tags from DefineShape3 on store colours with alpha.
constexpr int kFirstRgbaVersion = 3;
constexpr int kLineStyle2Version = 4;

void readColor(SWFBitReader& reader, int version, std::uint8_t& r, std::uint8_t& g, std::uint8_t& b, std::uint8_t& a) {
    r = reader.readUI8();
    g = reader.readUI8();
    b = reader.readUI8();
    if (version >= kFirstRgbaVersion) a = reader.readUI8();
}

void writeColor(SWFBitWriter& writer, int version, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    writer.writeAlignedByte(r);
    writer.writeAlignedByte(g);
    writer.writeAlignedByte(b);
    if (version >= kFirstRgbaVersion) writer.writeAlignedByte(a);
}

}  // namespace

std::optional<SWFFillStyle> SWFFillStyle::read(SWFBitReader& reader, int version) {
    SWFFillStyle style;
    style.type = reader.readUI8();
    switch (style.type) {
        case kSolid: readColor(reader, version, style.red, style.green, style.blue, style.alpha); break;
        case kLinearGradient:
        case kRadialGradient:
        case kFocalRadialGradient: {
            style.gradientMatrix = SWFMatrix::read(reader);
            style.gradientCountByte = reader.readUI8();
            const int count = style.gradientCountByte & 0x0F;
            for (int i = 0; i < count && !reader.overrun(); ++i) {
                SWFGradientRecord record;
                record.ratio = reader.readUI8();
                readColor(reader, version, record.red, record.green, record.blue, record.alpha);
                style.gradient.push_back(record);
            }
            if (style.type == kFocalRadialGradient) style.focalPoint = reader.readSI16();
            break;
        }
        case kRepeatingBitmap:
        case kClippedBitmap:
        case kRepeatingHardBitmap:
        case kClippedHardBitmap:
            style.bitmapId = reader.readUI16();
            style.bitmapMatrix = SWFMatrix::read(reader);
            break;
        default: return std::nullopt;
    }
    return style;
}

void SWFFillStyle::write(SWFBitWriter& writer, int version) const {
    writer.writeAlignedByte(type);
    switch (type) {
        case kSolid: writeColor(writer, version, red, green, blue, alpha); break;
        case kLinearGradient:
        case kRadialGradient:
        case kFocalRadialGradient:
            gradientMatrix.write(writer);
            writer.writeAlignedByte(gradientCountByte);
            for (const auto& record : gradient) {
                writer.writeAlignedByte(record.ratio);
                writeColor(writer, version, record.red, record.green, record.blue, record.alpha);
            }
            if (type == kFocalRadialGradient) {
                writer.writeAlignedUI16(static_cast<std::uint16_t>(focalPoint));
            }
            break;
        case kRepeatingBitmap:
        case kClippedBitmap:
        case kRepeatingHardBitmap:
        case kClippedHardBitmap:
            writer.writeAlignedUI16(bitmapId);
            bitmapMatrix.write(writer);
            break;
        default: break;
    }
    writer.align();
}

std::optional<SWFLineStyle> SWFLineStyle::read(SWFBitReader& reader, int version) {
    SWFLineStyle style;
    style.width = reader.readUI16();
    if (version < kLineStyle2Version) {
        readColor(reader, version, style.red, style.green, style.blue, style.alpha);
        return style;
    }
    // Cap, join, has-fill and scaling flags, most significant bit first.
    const std::uint8_t high = reader.readUI8();
    style.flags = static_cast<std::uint16_t>((high << 8) | reader.readUI8());
    if (style.hasMiterLimit()) style.miterLimit = reader.readUI16();
    if (!style.hasFill()) {
        readColor(reader, version, style.red, style.green, style.blue, style.alpha);
        return style;
    }
    style.fill = SWFFillStyle::read(reader, version);
    if (!style.fill) return std::nullopt;
    return style;
}

void SWFLineStyle::write(SWFBitWriter& writer, int version) const {
    writer.writeAlignedUI16(width);
    if (version < kLineStyle2Version) {
        writeColor(writer, version, red, green, blue, alpha);
        return;
    }
    writer.writeAlignedByte(static_cast<std::uint8_t>(flags >> 8));
    writer.writeAlignedByte(static_cast<std::uint8_t>(flags & 0xFF));
    if (hasMiterLimit()) writer.writeAlignedUI16(miterLimit);
    if (hasFill() && fill) {
        fill->write(writer, version);
    } else {
        writeColor(writer, version, red, green, blue, alpha);
    }
}

}  // namespace tarvenox
