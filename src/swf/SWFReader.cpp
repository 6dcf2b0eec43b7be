// Reading a whole movie.
#include "swf/SWFReader.h"

#include "swf/MovieScan.h"
#include "swf/MovieWindow.h"
#include "swf/TagFactory.h"

namespace tarvenox {

namespace {

// Bodies up to this size are read with the tag headers around them; larger ones when
// they are first used, so that a save that does not use them never reads them.
constexpr std::uint32_t kReadWithHeaders = 4096;

Result<SWFFile> readSource(std::shared_ptr<const ByteSource> source, const std::string& name) {
    auto compression = readSignature(*source, name);
    if (!compression) return compression.report();
    if (*compression != SWFCompression::None) {
        // The compressed data is inflated whole; the tags are then parts of it.
        Bytes packed(static_cast<std::size_t>(source->size()));
        source->readAt(0, packed);
        auto unpacked = unpackSWF(packed, *compression);
        if (!unpacked) return unusableData(name, unpacked.report());
        source = ByteSource::inMemory(unpacked.take());
    }
    SourceWindow window(*source);
    MovieScan scan;
    std::vector<std::unique_ptr<SWFTag>> tags;
    Report read = scanRecords(window, source->size(), name, scan, [&](const RecordPlace& record) {
        Bytes body;
        if (record.length <= kReadWithHeaders && !source->view(record.bodyOffset, record.length)) {
            const ByteSpan at = window.peek(record.bodyOffset, record.length);
            body.assign(at.begin(), at.end());
        }
        tags.push_back(createTag(record.code, TagBody(source, record.code, record.bodyOffset, record.length,
                                                      record.headerSize, std::move(body))));
    });
    if (read.failed()) return read;
    return SWFFile(std::move(scan.header), *compression, std::move(tags), scan.endTagMissing, std::move(source));
}

}  // namespace

Result<SWFFile> readSWF(const std::string& path) {
    auto source = openMovie(path);
    if (!source) return source.report();
    return readSource(source.take(), path);
}

Result<SWFFile> readSWF(ByteSpan data, const std::string& name) {
    return readSource(ByteSource::inMemory(Bytes(data.begin(), data.end())), name);
}

}  // namespace tarvenox
