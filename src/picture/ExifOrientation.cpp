// The orientation a camera records in a JPEG's Exif segment or a PNG's eXIf chunk (Exif
// 2.3, TIFF 6.0, PNG 1.5).
#include "picture/ExifOrientation.h"

#include <cstdint>
#include <cstring>

#include "common/ByteReader.h"

namespace tarvenox {

namespace {

constexpr std::uint16_t kOrientationTag = 274;
constexpr std::uint16_t kShortType = 3;

}  // namespace

int exifOrientation(ByteSpan app1) {
    if (app1.size() < 6 || std::memcmp(app1.data(), "Exif\0\0", 6) != 0) return 1;
    return tiffOrientation(app1.subspan(6));
}

int pngOrientation(ByteSpan png) {
    // The signature, then chunks of a length, a type, the data and a CRC.
    constexpr std::size_t kSignature = 8;
    ByteReader reader(png);
    reader.skip(kSignature);
    while (!reader.overrun()) {
        const std::uint32_t length = reader.readU32BE();
        const std::size_t type = reader.position();
        reader.skip(4);
        if (reader.overrun() || length > png.size() - reader.position()) return 1;
        if (std::memcmp(png.data() + type, "eXIf", 4) == 0) {
            return tiffOrientation(png.subspan(reader.position(), length));
        }
        if (std::memcmp(png.data() + type, "IEND", 4) == 0) return 1;
        reader.skip(std::size_t{length} + 4);
    }
    return 1;
}

int tiffOrientation(ByteSpan tiff) {
    ByteReader reader(tiff);
    const std::uint16_t order = reader.readU16BE();
    if (order != 0x4949 && order != 0x4D4D) return 1;  // "II" little-endian, "MM" big-endian
    const bool little = order == 0x4949;
    const auto u16 = [&](ByteReader& r) { return little ? r.readU16LE() : r.readU16BE(); };
    const auto u32 = [&](ByteReader& r) { return little ? r.readU32LE() : r.readU32BE(); };
    if (u16(reader) != 42) return 1;
    const std::uint32_t directory = u32(reader);
    if (reader.overrun() || directory > tiff.size()) return 1;
    ByteReader entries(tiff.subspan(directory));
    const std::uint16_t count = u16(entries);
    for (std::uint16_t i = 0; i < count && !entries.overrun(); ++i) {
        const std::uint16_t tag = u16(entries);
        const std::uint16_t type = u16(entries);
        const std::uint32_t values = u32(entries);
        // A SHORT value sits in the first two bytes of the entry's four-byte value field.
        const std::uint16_t value = u16(entries);
        entries.skip(2);
        if (entries.overrun()) return 1;
        if (tag == kOrientationTag && type == kShortType && values == 1) {
            return value >= 1 && value <= 8 ? value : 1;
        }
    }
    return 1;
}

}  // namespace tarvenox
