#include "support/ReadMovie.h"

#include <stdexcept>

#include "swf/SWFReader.h"

namespace tarvenox::test {

namespace {

SWFFile readable(Result<SWFFile> read) {
    if (!read) throw std::runtime_error("the movie cannot be read: " + read.report().reason());
    return read.take();
}

}  // namespace

SWFFile readMovie(const std::string& path) { return readable(readSWF(path)); }

SWFFile readMovie(ByteSpan data, const std::string& name) { return readable(readSWF(data, name)); }

}  // namespace tarvenox::test
