// Reading a movie a test expects to be readable: its failure fails the test with the reason.
#pragma once

#include <string>

#include "common/Bytes.h"
#include "swf/SWFFile.h"

namespace tarvenox::test {

// The movie read; throws (failing the test) with the reason when it cannot be read.
SWFFile readMovie(const std::string& path);
SWFFile readMovie(ByteSpan data, const std::string& name = "movie.swf");

}  // namespace tarvenox::test
