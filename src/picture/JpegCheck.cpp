// The check of a JPEG picture.
#include "picture/JpegCheck.h"

#include "common/Exception.h"
#include "common/FileIO.h"
#include "common/Texts.h"
#include "picture/PictureLimits.h"
#include "swf/JpegFrame.h"

namespace tarvenox {

namespace {

constexpr std::uint8_t kBaseline = 0xC0;
constexpr std::uint8_t kExtendedSequential = 0xC1;
constexpr std::uint8_t kProgressive = 0xC2;
constexpr std::uint8_t kLossless = 0xC3;

Report invalid(const std::string& path, const std::string& why) {
    return Report::failure(text("jpeg.unshowable", {path, why})).fail(text("jpeg.invalid"));
}

// The command line says it with the product's own text, which names the fix.
Report progressive(const std::string& path) {
    return Report::failure(path + ": " + text("jpeg.progressive")).fail(text("jpeg.progressive"));
}

}  // namespace

Report jpegVerdict(ByteSpan data, const std::string& path, SmallerPicture* smaller) {
    // The start-of-image marker (bytes 0-1) is not checked: the walk begins after it.
    auto frame = findJpegFrame(data, 2);
    if (!frame) return invalid(path, text("jpeg.noFrame"));
    switch (frame->marker) {
        case kBaseline:
        case kExtendedSequential:
        case kLossless: break;
        case kProgressive: return progressive(path);
        default: return invalid(path, text("jpeg.frameKind"));
    }
    // Refused from the frame header alone, before libjpeg sets anything aside.
    if (frame->width > 0 && frame->height > 0) {
        if (Report size = checkPictureSize(path, frame->width, frame->height); size.failed()) return size;
    }
    const JpegDecodeResult decoded = decodeJpeg(data, smaller);
    switch (decoded.verdict) {
        case JpegDecodeResult::Verdict::Decodes: return {};
        case JpegDecodeResult::Verdict::Progressive: return progressive(path);
        case JpegDecodeResult::Verdict::TooLarge: return checkPictureSize(path, decoded.width, decoded.height);
        case JpegDecodeResult::Verdict::Broken: break;
    }
    return invalid(path, decoded.detail);
}

void checkJpeg(const std::string& path) {
    // An unreadable file has no markers: it is refused like an empty one.
    const Result<Bytes> data = readFileBytes(path);
    checkJpegData(data ? *data : Bytes{}, path);
}

void checkJpegData(ByteSpan data, const std::string& path) {
    if (const Report verdict = jpegVerdict(data, path); verdict.failed()) {
        throw FileException(verdict.messages().front().text, path, __LINE__, __FILE__);
    }
}

}  // namespace tarvenox
