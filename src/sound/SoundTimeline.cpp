#include "sound/SoundTimeline.h"

#include <algorithm>
#include <map>

#include "swf/SWFFile.h"
#include "swf/SWFTag.h"

namespace tarvenox {

namespace {

constexpr int mp3Format = 2;

std::uint16_t le16(ByteSpan bytes, std::size_t at) {
    return at + 2 <= bytes.size() ? static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8)) : 0;
}

// The loop count of a StartSound's SOUNDINFO starting at info; 0 when it stops the sound.
int playsOf(ByteSpan body, std::size_t info) {
    if (info >= body.size()) return 1;
    const std::uint8_t flags = body[info];
    if ((flags & 0x20) != 0) return 0;  // SyncStop
    std::size_t at = info + 1;
    if ((flags & 0x01) != 0) at += 4;  // in point
    if ((flags & 0x02) != 0) at += 4;  // out point
    if ((flags & 0x04) == 0) return 1;
    return std::max<int>(1, le16(body, at));
}

}  // namespace

std::vector<TimelineSound> timelineSounds(const SWFFile& movie) {
    std::map<std::uint16_t, ByteSpan> mp3Sounds;  // id: the MP3 data of a DefineSound
    std::vector<TimelineSound> sounds;
    TimelineSound stream;
    bool streamIsMp3 = false;
    bool streamStarted = false;
    int frame = 0;
    for (const auto& tag : movie.tags()) {
        const ByteSpan body = tag->body();
        switch (tag->code()) {
            case TagCode::ShowFrame: ++frame; break;
            case TagCode::DefineSound:
                // id, format byte, sample count, then for MP3 the seek samples before the frames
                if (body.size() > 9 && (body[2] >> 4) == mp3Format) mp3Sounds[le16(body, 0)] = body.subspan(9);
                break;
            case TagCode::StartSound: {
                const auto found = mp3Sounds.find(le16(body, 0));
                const int plays = playsOf(body, 2);
                if (found != mp3Sounds.end() && plays > 0) {
                    sounds.push_back({frame, plays, Bytes(found->second.begin(), found->second.end())});
                }
                break;
            }
            case TagCode::SoundStreamHead:
            case TagCode::SoundStreamHead2: streamIsMp3 = body.size() >= 2 && (body[1] >> 4) == mp3Format; break;
            case TagCode::SoundStreamBlock:
                // sample count and seek samples, then the frames
                if (streamIsMp3 && body.size() > 4) {
                    if (!streamStarted) stream.frame = frame;
                    streamStarted = true;
                    stream.mp3.insert(stream.mp3.end(), body.begin() + 4, body.end());
                }
                break;
            default: break;
        }
    }
    if (streamStarted) sounds.push_back(std::move(stream));
    return sounds;
}

}  // namespace tarvenox
