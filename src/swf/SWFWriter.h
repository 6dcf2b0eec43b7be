// Writing a movie: the tag list made into the bytes of an SWF file.
#pragma once

#include <string>

#include "common/ByteChain.h"
#include "common/Bytes.h"
#include "common/Report.h"
#include "swf/SWFFile.h"

namespace tarvenox {

// Writes the movie with its file length fixed up: header, tags, End tag. The target is
// replaced through a temporary file, so a failed write leaves it as it was. A movie whose
// file was found cut short since it was read is not written: the report fails with the
// reason. Logs "writing SWFFile: path".
Report writeSWF(const SWFFile& movie, const std::string& path);
// The bytes writeSWF would store, in the movie's form: compressed again when it was read
// compressed.
Bytes serializeSWF(const SWFFile& movie);
// The same in pieces: the records of unchanged tags of an uncompressed movie stay in the
// file they were read from, and are copied from there when written. The pieces refer to
// the tags' bodies: valid while the movie is neither changed nor destroyed.
ByteChain movieBytes(const SWFFile& movie);

}  // namespace tarvenox
