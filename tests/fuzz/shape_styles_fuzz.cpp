// Reads arbitrary bytes as the body of a shape tag and rescales its fills of bitmap 1.
#include <cstdint>

#include "swf/SWFDefineShape.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvenox;
    if (size < 4) return 0;
    // The first four bytes choose the old and new size (and the first one the shape
    // tag); the rest is the body.
    const Bytes body(data + 4, data + size);
    constexpr TagCode kShapeCodes[] = {TagCode::DefineShape, TagCode::DefineShape2, TagCode::DefineShape3,
                                       TagCode::DefineShape4};
    const TagCode code = kShapeCodes[data[0] % 4];
    SWFDefineShape shape(code, body);
    const bool changed = shape.rescale(1, data[0], data[1], data[2], data[3]);
    const ByteSpan after = shape.body();
    if (!changed) {
        if (!std::equal(after.begin(), after.end(), body.begin(), body.end())) __builtin_trap();
        return 0;
    }
    // A rebuilt body reads back, and its shape records are the old ones.
    auto before = SWFShapeStyles::read(body, shapeVersion(code));
    auto again = shape.styles();
    if (!before || !again || again->fillStyles.size() != before->fillStyles.size()) __builtin_trap();
    const std::size_t rest = body.size() - before->restOffset;
    if (after.size() - again->restOffset != rest || !std::equal(after.end() - rest, after.end(), body.end() - rest)) {
        __builtin_trap();
    }
    return 0;
}
