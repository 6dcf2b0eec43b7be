// Checks arbitrary bytes as a JPEG picture: the marker walk and the decoding with
// libjpeg-turbo that a chosen picture must pass.
#include <cstdint>

#include "picture/JpegCheck.h"
#include "picture/JpegDecoder.h"
#include "picture/PictureLimits.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvenox;
    const ByteSpan jpeg(data, size);
    const JpegDecodeResult decoded = decodeJpeg(jpeg);
    // A picture that decodes has a size players show.
    if (decoded.verdict == JpegDecodeResult::Verdict::Decodes && !pictureFits(decoded.width, decoded.height)) {
        __builtin_trap();
    }
    if (decoded.verdict == JpegDecodeResult::Verdict::Broken && decoded.detail.empty()) __builtin_trap();
    // The check accepts only what decodes, and always says why it refuses.
    const Report verdict = jpegVerdict(jpeg, "fuzz.jpg");
    if (!verdict.failed() && decoded.verdict != JpegDecodeResult::Verdict::Decodes) __builtin_trap();
    if (verdict.failed() &&
        (verdict.messages().empty() || verdict.messages().front().text.empty() || verdict.reason().empty())) {
        __builtin_trap();
    }
    return 0;
}
