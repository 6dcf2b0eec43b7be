// Going through the records of a movie: what the reader and the record streamer share.
// The header is read, then each record's header, and each record is handed over with
// where its body lies; the bodies themselves are read only by whoever is handed them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/ByteSource.h"
#include "common/Bytes.h"
#include "common/Report.h"
#include "common/Result.h"
#include "swf/MovieHeader.h"
#include "swf/MovieWindow.h"
#include "swf/SWFCompression.h"
#include "swf/TagCode.h"

namespace tarvenox {

// What going through a movie found, as far as it got.
struct MovieScan {
    MovieHeader header;  // empty when not even the header could be read
    bool endTagMissing = false;
};

// A record as it is handed over: code, body length, where the body starts in the movie
// uncompressed, and the length of the record header in front of it.
struct RecordPlace {
    TagCode code = TagCode::End;
    std::uint32_t length = 0;
    std::uint64_t bodyOffset = 0;
    std::uint8_t headerSize = 0;
};
using RecordVisitor = std::function<void(const RecordPlace&)>;

// The movie file at path; fails with the reason, naming the file, when it cannot be opened.
Result<std::shared_ptr<ByteSource>> openMovie(const std::string& path);

// The form of the movie source holds, by its signature; fails with the text naming name
// when it is too short or not an SWF movie.
Result<SWFCompression> readSignature(const ByteSource& source, const std::string& name);

// The failure of compressed data that cannot be used (inflated, the failure unpackSWF
// or the inflater gave), its reason naming name.
Report unusableData(const std::string& name, const Report& inflated);

// The first bytes of a movie file: what tells its form and how to inflate it.
Bytes movieStart(const ByteSource& source);

// Goes through the movie uncompressed, size bytes long, seen through window: the header
// into scan, then every record before the End tag to onRecord. A movie whose data ends
// before the length its header gives, or inside its header or a record, fails with the
// text naming name; scan keeps what was found up to there.
Report scanRecords(MovieWindow& window, std::uint64_t size, const std::string& name, MovieScan& scan,
                   const RecordVisitor& onRecord);

}  // namespace tarvenox
