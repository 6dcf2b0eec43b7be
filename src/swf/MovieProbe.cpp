// Quick looks at a movie file.
#include "swf/MovieProbe.h"

#include "swf/MovieHeader.h"
#include "swf/MovieScan.h"
#include "swf/MovieWindow.h"
#include "swf/SWFBitReader.h"

namespace tarvenox {

namespace {

// What look(window) finds in the movie at path as players see it: inflated when it is a
// CWS or ZWS movie whose data can be used, else the file's bytes as they stand. The
// movie is looked at through a window, so that the probe needs little memory however
// large the movie; compressed data is inflated to its end all the same, to know that it
// can be used.
template <class Look>
auto lookAtPlainMovie(const std::string& path, Look look) -> decltype(look(std::declval<MovieWindow&>())) {
    auto opened = ByteSource::openFile(path);
    if (!opened) return std::nullopt;
    const std::shared_ptr<ByteSource> source = opened.take();
    const Bytes start = movieStart(*source);
    const auto compression =
        compressionOfSignature(asString(ByteSpan(start).first(std::min<std::size_t>(3, start.size()))));
    if (start.size() >= 3 && compression && *compression != SWFCompression::None) {
        if (auto inflater = MovieInflater::start(start, *compression)) {
            InflatingWindow window(*source, **inflater);
            auto found = look(window);
            if (!window.finish().failed()) return found;
        }
    }
    SourceWindow window(*source);
    return look(window);
}

}  // namespace

std::optional<std::int32_t> probeBackgroundColor(const std::string& path) {
    return lookAtPlainMovie(path, [](MovieWindow& window) -> std::optional<std::int32_t> {
        // 0x43 0x02 is the short record header of code 9 with length 3. The search runs
        // from the first byte, header included, like the record reader of old templates.
        constexpr std::size_t kStep = 64 * 1024;
        for (std::uint64_t at = 0;;) {
            const ByteSpan d = window.peek(at, kStep + 4);
            if (d.size() < 5) return std::nullopt;
            for (std::size_t i = 0; i + 4 < d.size(); ++i) {
                if (d[i] == 0x43 && d[i + 1] == 0x02) return (d[i + 2] << 16) | (d[i + 3] << 8) | d[i + 4];
            }
            at += d.size() - 4;
        }
    });
}

std::optional<std::pair<std::int32_t, std::int32_t>> probeFrameSize(const std::string& path) {
    return lookAtPlainMovie(path, [](MovieWindow& window) -> std::optional<std::pair<std::int32_t, std::int32_t>> {
        const ByteSpan rectBytes = window.peek(kFrameRectOffset, 20);
        if (rectBytes.empty()) return std::nullopt;
        SWFBitReader reader(rectBytes);
        SWFRect rect = SWFRect::read(reader);
        if (reader.overrun()) return std::nullopt;
        return std::make_pair(rect.width(), rect.height());
    });
}

}  // namespace tarvenox
