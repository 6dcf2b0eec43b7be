// Decodes arbitrary bytes as a PNG picture and builds a lossless bitmap body from it.
#include <zlib.h>

#include <cstdint>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "picture/PngImage.h"

namespace {

std::uint32_t be32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// Most mutations of a PNG break a chunk's CRC, and libpng stops at the first bad one,
// so the chunk parsers, the inflation and the row filters behind it would hardly be
// reached. Every chunk that lies wholly inside the data gets its CRC recomputed.
void fixChunkCrcs(tarvenox::Bytes& png) {
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::uint32_t length = be32(&png[at]);
        if (length > png.size() - at - 12) break;
        const std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, &png[at + 4], length + 4));
        for (int i = 0; i < 4; ++i) png[at + 8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        at += 12 + length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvenox;
    // Pictures that are valid but large need memory and time in proportion to their
    // size; the fuzzer looks for faults, so it keeps to 4 million pixels.
    if (size >= 24 && std::uint64_t(be32(data + 16)) * be32(data + 20) > (1u << 22)) return 0;
    Bytes png(data, data + size);
    fixChunkCrcs(png);
    auto image = PngImageImpl::decode(png, "fuzz.png");
    // A refused picture has a message and a reason for each kind of reader; a decoded
    // one always gives a body that states its size.
    if (!image) {
        const Report& refusal = image.report();
        if (refusal.messages().empty() || refusal.messages().front().text.empty() || refusal.reason().empty()) {
            __builtin_trap();
        }
        return 0;
    }
    const Bytes body = image->buildLosslessBody();
    if (body.size() < 8 || peekUI16(body, 3) != image->width() || peekUI16(body, 5) != image->height()) {
        __builtin_trap();
    }
    return 0;
}
