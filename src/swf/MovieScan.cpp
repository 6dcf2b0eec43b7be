// Going through the records of a movie.
#include "swf/MovieScan.h"

#include <cstdio>

#include "common/Texts.h"
#include "swf/RecordHeader.h"

namespace tarvenox {

namespace {

// A signature as it can be shown: bytes outside printable ASCII as \xNN.
std::string displaySignature(const std::string& sig) {
    std::string out;
    for (unsigned char c : sig) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string describeTag(TagCode code) { return text("movie.tag", {std::to_string(tagNumber(code)), tagName(code)}); }

std::string cutHeader(const std::string& name, std::uint64_t size) {
    return name + ": " + text("movie.headerTooShort", {std::to_string(size)});
}

}  // namespace

Result<std::shared_ptr<ByteSource>> openMovie(const std::string& path) { return ByteSource::openFile(path); }

Result<SWFCompression> readSignature(const ByteSource& source, const std::string& name) {
    if (source.size() < 3) return Report::failure(cutHeader(name, source.size()));
    Bytes signature(3);
    source.readAt(0, signature);
    const std::string sig = asString(signature);
    const auto compression = compressionOfSignature(sig);
    if (!compression) {
        return Report::failure(name + ": " + text("movie.notSWF", {displaySignature(sig)}));
    }
    return *compression;
}

Report unusableData(const std::string& name, const Report& inflated) {
    return Report::failure(name + ": " + inflated.reason());
}

Bytes movieStart(const ByteSource& source) {
    Bytes start(static_cast<std::size_t>(std::min<std::uint64_t>(source.size(), kInflaterStartSize)));
    source.readAt(0, start);
    return start;
}

Report scanRecords(MovieWindow& window, std::uint64_t size, const std::string& name, MovieScan& scan,
                   const RecordVisitor& onRecord) {
    if (size < kFrameRectOffset + 1) return Report::failure(cutHeader(name, size));
    const ByteSpan start = window.peek(0, kFrameRectOffset + 1);
    const int nBits = start.size() > kFrameRectOffset ? start[kFrameRectOffset] >> 3 : 0;
    const std::size_t length = MovieHeader::length(nBits);
    if (size < length) {
        return Report::failure(name + ": " +
                               text("movie.headerCutShort", {std::to_string(size), std::to_string(length)}));
    }
    const ByteSpan header = window.peek(0, length);
    Bytes headerBytes(header.begin(), header.end());
    headerBytes.resize(length);
    scan.header = MovieHeader(std::move(headerBytes));

    // A movie whose data ends before the length its header gives was cut off (a download
    // that stopped), wherever the cut fell: that is what is said of it. Data longer than
    // the header says, or a header that is wrong but a movie that reaches its End tag, is
    // read as players read it. (A compressed movie's data has been checked against its
    // header already.)
    const std::uint32_t headerFileLength = scan.header.fileLengthField();
    const bool truncated = size < headerFileLength;
    const auto cutShort = [&](const std::string& problem) {
        return Report::failure(name + ": " + (truncated ? truncationText(size, headerFileLength, false) : problem));
    };
    std::uint64_t offset = length;
    for (;;) {
        // Compilers that leave the End tag out write movies that players take as they
        // are: the last tag ends exactly at the end of the data, as the header says.
        if (offset == size) {
            if (truncated) return cutShort({});
            scan.endTagMissing = true;
            return {};
        }
        const RecordHeader record = readRecordHeader(window.peek(offset, 6));
        if (!record.codeRead) {
            return cutShort(text("movie.endsInRecordHeader", {std::to_string(offset)}));
        }
        // The End tag; anything after it is dropped. A record of code 0 with a length
        // is taken as the End tag too, as players take it: kept as a tag, it would be
        // written back as a bare End tag and cut the movie short there.
        if (record.code == TagCode::End) return {};
        if (record.size == 0) {
            return cutShort(text("movie.tagEndsInRecordHeader", {describeTag(record.code), std::to_string(offset)}));
        }
        const std::uint64_t bodyOffset = offset + record.size;
        const std::uint64_t remaining = size - bodyOffset;
        if (record.length > remaining) {
            return cutShort(text("movie.tagCutShort", {describeTag(record.code), std::to_string(offset),
                                                       std::to_string(remaining), std::to_string(record.length)}));
        }
        onRecord({record.code, record.length, bodyOffset, record.size});
        offset = bodyOffset + record.length;
    }
}

}  // namespace tarvenox
