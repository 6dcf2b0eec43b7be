// The orientation a camera records in a JPEG's Exif segment (Exif 2.3, TIFF 6.0).
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
    const ByteSpan tiff = app1.subspan(6);
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
