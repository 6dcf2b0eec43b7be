// The bytes of a movie as players see them (uncompressed), looked at front to back a few
// at a time: how the reader of a movie walks from record to record.
#pragma once

#include <cstdint>
#include <memory>

#include "common/ByteSource.h"
#include "common/Bytes.h"
#include "common/Report.h"
#include "swf/SWFCompression.h"

namespace tarvenox {

class MovieWindow {
public:
    virtual ~MovieWindow() = default;
    // The bytes from offset: n of them, or fewer where the movie ends. offset never goes
    // back before an offset asked for earlier; the span lasts until the next call.
    virtual ByteSpan peek(std::uint64_t offset, std::size_t n) = 0;
};

// An uncompressed movie held by a source: a file through a small window, so that the
// headers of many small records take few reads and the bodies between them are never
// read; a movie in memory directly.
class SourceWindow final : public MovieWindow {
public:
    explicit SourceWindow(const ByteSource& source) : source_(source) {}
    ByteSpan peek(std::uint64_t offset, std::size_t n) override;

private:
    const ByteSource& source_;
    Bytes window_;
    std::uint64_t start_ = 0;
};

// A CWS or ZWS movie file inflated piece by piece as it is looked at: what lies between
// the records looked at is inflated and dropped, so memory stays within the largest span
// asked for and the inflater's own.
class InflatingWindow final : public MovieWindow {
public:
    // file holds the compressed movie, whose first 8 bytes (as they stand) begin the
    // movie uncompressed; inflater was started on its first bytes.
    InflatingWindow(const ByteSource& file, MovieInflater& inflater);
    ByteSpan peek(std::uint64_t offset, std::size_t n) override;
    // Inflates the rest of the data and returns the inflater's verdict: whether it holds
    // the whole movie and no more.
    Report finish();

private:
    // Fills out from the data as far as it goes; the number of bytes written.
    std::size_t pull(std::span<std::uint8_t> out);

    const ByteSource& file_;
    MovieInflater& inflater_;
    Bytes input_;
    ByteSpan pending_;
    std::uint64_t inputOffset_;
    Bytes buffer_;
    std::uint64_t start_ = 0;
};

}  // namespace tarvenox
