// Decodes arbitrary bytes as a PNG picture and builds a lossless bitmap body from it.
#include <cstdint>

#include "swf/ByteIO.h"
#include "swf/PngImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvenox;
    // Pictures that are valid but huge need memory in proportion to their size; the
    // fuzzer looks for faults, so it keeps to sizes of up to 4 million pixels.
    if (size >= 24) {
        const std::uint64_t width = std::uint64_t(data[16]) << 24 | data[17] << 16 | data[18] << 8 | data[19];
        const std::uint64_t height = std::uint64_t(data[20]) << 24 | data[21] << 16 | data[22] << 8 | data[23];
        if (width * height > (1u << 22)) return 0;
    }
    PngImageImpl image(ByteSpan(data, size), "fuzz.png");
    const Bytes body = image.buildLosslessBody();
    // A decoded picture always gives a body that states its size; a refused one none.
    if (image.valid() != !body.empty()) __builtin_trap();
    if (!body.empty() &&
        (body.size() < 8 || peekUI16(body, 3) != image.width() || peekUI16(body, 5) != image.height())) {
        __builtin_trap();
    }
    return 0;
}
