// Reading a whole movie into an SWFFile.
#pragma once

#include <string>

#include "common/Bytes.h"
#include "common/Result.h"
#include "swf/SWFFile.h"

namespace tarvenox {

// Reads the movie at path (a UTF-8 path), in any of the three forms (FWS, CWS, ZWS). A
// movie that cannot be opened, that is not an SWF movie, whose compressed data cannot be
// used, whose header is cut short, whose data ends before the length its header gives
// ("truncated: 9063 of 18369 bytes"), or that ends inside a tag fails, with the reason
// naming the file. A movie that ends right after a tag without an End tag, where its
// header says it ends, is read (endTagMissing()). An uncompressed movie's file stays
// open: a tag's body is read from it when first used (small bodies with the record
// headers around them), and an unchanged tag is written from there. A compressed movie
// is inflated whole into memory.
Result<SWFFile> readSWF(const std::string& path);
// Reads a movie held in memory; name stands for the file in the reasons.
Result<SWFFile> readSWF(ByteSpan data, const std::string& name);

}  // namespace tarvenox
