// The check of a JPEG picture.
#include "swf/JpegCheck.h"

#include "common/Exception.h"
#include "common/FileIO.h"
#include "swf/JpegFrame.h"

namespace tarvenox {

namespace {

constexpr std::uint8_t kBaseline = 0xC0;
constexpr std::uint8_t kExtendedSequential = 0xC1;
constexpr std::uint8_t kProgressive = 0xC2;
constexpr std::uint8_t kLossless = 0xC3;

[[noreturn]] void refuse(const char* message, const std::string& path) {
    throw FileException(message, path, __LINE__, __FILE__);
}

}  // namespace

void checkJpeg(const std::string& path) {
    // An unreadable file has no markers: it is refused like an empty one.
    checkJpegData(readFileBytes(path).value_or(Bytes{}), path);
}

void checkJpegData(ByteSpan data, const std::string& path) {
    // The start-of-image marker (bytes 0-1) is not checked: the walk begins after it.
    auto frame = findJpegFrame(data, 2);
    if (!frame) refuse("Ungültige JPEG Datei.", path);
    switch (frame->marker) {
        case kBaseline:
        case kExtendedSequential:
        case kLossless:
            return;
        case kProgressive:
            refuse("Progressive JPEG wird nicht unterstützt.", path);
        default:
            refuse("Ungültige JPEG Datei.", path);
    }
}

}  // namespace tarvenox
