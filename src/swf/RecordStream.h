// Reading a movie record by record, in memory that does not grow with the movie: for
// describing a movie, however large.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/Report.h"
#include "swf/MovieHeader.h"
#include "swf/SWFTag.h"

namespace tarvenox {

class MovieWindow;

class RecordStream {
public:
    // A record as it is handed over: its code and body length, and the tag made from the
    // first bytes of its body, read only when asked for (and only while the record is
    // handed over).
    class Record {
    public:
        TagCode code() const { return code_; }
        std::uint32_t length() const { return length_; }
        // The tag with the first maxBytes bytes of its body (all of it when shorter): what
        // describing it needs, in memory bounded by maxBytes.
        std::unique_ptr<SWFTag> tag(std::size_t maxBytes) const;

    private:
        friend class RecordStream;
        Record(TagCode code, std::uint32_t length, std::uint64_t bodyOffset, MovieWindow& window)
            : code_(code), length_(length), bodyOffset_(bodyOffset), window_(&window) {}
        TagCode code_;
        std::uint32_t length_;
        std::uint64_t bodyOffset_;
        MovieWindow* window_;
    };
    using Sink = std::function<void(const Record&)>;

    explicit RecordStream(std::string path) : path_(std::move(path)) {}

    // Reads the movie at path record by record, handing each record to onRecord: no tag
    // is kept, the bodies are skipped unless a record's tag is asked for, and a CWS or
    // ZWS movie is inflated piece by piece. Fails, with the reason naming the file, as
    // readSWF fails for the same movie; records seen before a compressed movie's data
    // turns out unusable have been handed over all the same.
    Report read(const Sink& onRecord);

    // What the last read() found: the header (empty when not even that could be read, or
    // when the compressed data cannot be used), and whether the End tag was missing.
    const MovieHeader& header() const { return header_; }
    bool endTagMissing() const { return endTagMissing_; }

private:
    std::string path_;
    MovieHeader header_;
    bool endTagMissing_ = false;
};

}  // namespace tarvenox
