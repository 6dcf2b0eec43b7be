// Reads arbitrary bytes as the compressed data of a CWS or ZWS movie: the first byte
// picks the form, the next four the file length the header gives, the rest is the
// compressed data.
#include <cstdint>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "common/Log.h"
#include "swf/SWFReader.h"
#include "swf/SWFWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvenox;
    setLogStream(nullptr);
    if (size < 5) return 0;
    Bytes movie = {static_cast<std::uint8_t>((data[0] & 1) != 0 ? 'Z' : 'C'), 'W', 'S', 10};
    movie.insert(movie.end(), data + 1, data + size);
    auto read = readSWF(movie, "fuzz.swf");
    if (!read) return 0;
    // A movie read is written in its form and reads back to the same tags.
    const Bytes out = serializeSWF(*read);
    auto again = readSWF(out, "again.swf");
    if (!again || again->compression() != read->compression() || again->tags().size() != read->tags().size()) {
        __builtin_trap();
    }
    return 0;
}
