// Walks arbitrary bytes as JPEG data: the size scan of a bitmap tag and the check of a file.
#include <cstdint>

#include "common/Exception.h"
#include "picture/JpegCheck.h"
#include "swf/JpegFrame.h"
#include "swf/SWFJpegImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvenox;
    const ByteSpan jpeg(data, size);
    auto frame = findJpegFrame(jpeg, 0);
    if (frame && (frame->offset + 7 >= size || !isStartOfFrame(frame->marker))) __builtin_trap();
    // The tag's prefix of markers does not change what the scan finds in the data.
    auto tag = SWFJpegImage::fromJpegData(1, jpeg);
    if (frame && (tag->width() != frame->width || tag->height() != frame->height)) __builtin_trap();
    bool accepted = true;
    try {
        checkJpegData(jpeg, "fuzz.jpg");
    } catch (const FileException&) {
        accepted = false;
    }
    // The check starts after the first two bytes, so it only accepts what has a frame.
    if (accepted && !findJpegFrame(jpeg, 2)) __builtin_trap();
    return 0;
}
