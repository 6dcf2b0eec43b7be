// Reads arbitrary bytes as a native glyph outline and writes the glyph's SWF shape.
#include <cstdint>

#include "common/Messages.h"
#include "font/Glyph.h"
#include "swf/SWFBitWriter.h"

namespace {
// Unsupported records are reported for every input; the messages are not the point.
class QuietSink : public tarvenox::MessageSink {
public:
    void showMessage(const std::string&, tarvenox::MessageKind) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvenox;
    static QuietSink sink;
    setMessageSink(&sink);
    const Glyph glyph(ByteSpan(data, size));
    // Every polygon takes at least its 16-byte header, and every contour is closed:
    // its last part ends at its start point.
    if (glyph.contours().size() > size / 16) __builtin_trap();
    for (const Contour& contour : glyph.contours()) {
        if (contour.parts.empty()) __builtin_trap();
        auto* closing = dynamic_cast<const Line*>(contour.parts.back().get());
        if (closing == nullptr || closing->x2 != contour.startX || closing->y2 != contour.startY) {
            __builtin_trap();
        }
    }
    SWFBitWriter writer;
    glyph.write(writer);
    std::string path;
    glyph.draw(path);
    setMessageSink(nullptr);
    return 0;
}
