// Reading a movie record by record.
#include "swf/RecordStream.h"

#include "swf/MovieScan.h"
#include "swf/MovieWindow.h"
#include "swf/TagFactory.h"

namespace tarvenox {

std::unique_ptr<SWFTag> RecordStream::Record::tag(std::size_t maxBytes) const {
    const ByteSpan body = window_->peek(bodyOffset_, std::min<std::size_t>(maxBytes, length_));
    return createTag(code_, Bytes(body.begin(), body.end()));
}

Report RecordStream::read(const Sink& onRecord) {
    header_ = {};
    endTagMissing_ = false;
    auto source = openMovie(path_);
    if (!source) return source.report();
    auto compression = readSignature(**source, path_);
    if (!compression) return compression.report();
    MovieScan scan;
    Report read;
    if (*compression == SWFCompression::None) {
        SourceWindow window(**source);
        read = scanRecords(window, (*source)->size(), path_, scan, [&](const RecordPlace& record) {
            onRecord(Record(record.code, record.length, record.bodyOffset, window));
        });
    } else {
        auto inflater = MovieInflater::start(movieStart(**source), *compression);
        if (!inflater) return unusableData(path_, inflater.report());
        InflatingWindow window(**source, **inflater);
        read =
            scanRecords(window, kSWFPrefixSize + (*inflater)->expected(), path_, scan, [&](const RecordPlace& record) {
                onRecord(Record(record.code, record.length, record.bodyOffset, window));
            });
        // As when the movie is read whole, data that cannot be used leaves nothing read.
        const Report inflated = window.finish();
        if (inflated.failed()) return unusableData(path_, inflated);
    }
    header_ = std::move(scan.header);
    endTagMissing_ = scan.endTagMissing;
    return read;
}

}  // namespace tarvenox
