// Reads arbitrary bytes as a movie, describes it (each tag, and what a save can change)
// and writes it back.
#include <cstdint>

#include "common/Log.h"
#include "edit/MovieContents.h"
#include "edit/MovieDescription.h"
#include "swf/SWFReader.h"
#include "swf/SWFWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvenox;
    setLogStream(nullptr);
    auto movie = readSWF(ByteSpan(data, size), "fuzz.swf");
    if (!movie) return 0;
    for (auto& tag : movie->tags()) describeTag(*tag, movie->textEncoding());
    describeChangeable(*movie);
    // What was read reads back, to the same bytes.
    const Bytes out = serializeSWF(*movie);
    auto again = readSWF(out, "again.swf");
    if (!again || serializeSWF(*again) != out) __builtin_trap();
    return 0;
}
