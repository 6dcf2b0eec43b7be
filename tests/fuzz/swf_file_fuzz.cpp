// Reads arbitrary bytes as a movie, describes it and writes it back.
#include <cstdint>

#include "common/Log.h"
#include "edit/MovieDescription.h"
#include "swf/SWFFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvenox;
    setLogStream(nullptr);
    SWFFile movie(ByteSpan(data, size), "fuzz.swf");
    for (auto& tag : movie.tags()) describeTag(*tag, movie.textEncoding());
    Bytes out = movie.serialize();
    if (movie.complete()) {
        // What was read completely reads back completely, to the same bytes.
        SWFFile again(out, "again.swf");
        if (!again.complete() || again.serialize() != out) __builtin_trap();
    }
    return 0;
}
