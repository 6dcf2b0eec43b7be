#include "sound/SoundTimeline.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "common/ByteReader.h"
#include "swf/ActionRecords.h"
#include "swf/RecordHeader.h"
#include "swf/SWFFile.h"
#include "swf/SWFTag.h"

namespace tarvenox {

namespace {

// Sound formats of the SWF file format (the upper four bits of the format byte), which FLV
// audio tags share.
enum Format : int { PcmNative = 0, Adpcm = 1, Mp3 = 2, PcmLittle = 3, Nelly16k = 4, Nelly8k = 5, Nelly = 6 };

// The most a sprite's timeline is nested, and the most frames the walk visits: bounds for
// movies that nest or place sprites without end.
constexpr int maxNesting = 8;
constexpr long maxVisitedFrames = 200000;

// FLV audio tags hold at most 2^24 - 1 bytes, the format byte included; chunks of PCM and
// Nellymoser data are cut well below that, at a multiple of every sample frame's size and of
// Nellymoser's 64-byte blocks.
constexpr std::size_t maxFlvData = 0xFFFFFF - 1;
constexpr std::size_t chunkBytes = 1 << 16;

int formatOf(std::uint8_t formatByte) { return formatByte >> 4; }

bool decodable(std::uint8_t formatByte) { return formatOf(formatByte) <= Nelly; }

double sampleRate(std::uint8_t formatByte) {
    if (formatOf(formatByte) == Nelly16k) return 16000;
    if (formatOf(formatByte) == Nelly8k) return 8000;
    static constexpr double rates[] = {5512.5, 11025, 22050, 44100};
    return rates[(formatByte >> 2) & 3];
}

// The samples in size bytes of PCM or Nellymoser data; ADPCM does not say (0).
std::uint64_t samplesIn(std::uint8_t formatByte, std::size_t size) {
    const int format = formatOf(formatByte);
    if (format == PcmNative || format == PcmLittle) {
        const std::size_t frameBytes = ((formatByte & 2) != 0 ? 2 : 1) * ((formatByte & 1) != 0 ? 2 : 1);
        return size / frameBytes;
    }
    if (format == Adpcm) return 0;
    return size / 64 * 256;
}

void put24(Bytes& out, std::uint32_t value) {
    out.insert(out.end(), {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
                           static_cast<std::uint8_t>(value)});
}

void put32(Bytes& out, std::uint32_t value) {
    put24(out, value >> 8);
    out.push_back(static_cast<std::uint8_t>(value));
}

// The loop count of the SOUNDINFO at the start of info; 0 when it stops the sound.
int playsOf(ByteSpan info) {
    ByteReader reader(info);
    const std::uint8_t flags = reader.readU8();
    if (reader.overrun()) return 1;
    if ((flags & 0x20) != 0) return 0;        // SyncStop
    if ((flags & 0x01) != 0) reader.skip(4);  // in point
    if ((flags & 0x02) != 0) reader.skip(4);  // out point
    if ((flags & 0x04) == 0) return 1;
    const int loops = reader.readU16LE();
    return reader.overrun() ? 1 : std::max(1, loops);
}

// Whether the actions of a DoAction body stop the timeline they run on.
bool stopsTimeline(ByteSpan body) {
    const auto records = readActionRecords(body);
    return records && std::any_of(records->begin(), records->end(),
                                  [](const ActionRecord& record) { return record.code == action::kStop; });
}

struct Record {
    TagCode code;
    ByteSpan body;
};

// A timeline's tags frame by frame, and the first frame whose actions stop it.
struct Timeline {
    std::vector<std::vector<Record>> frames;
    std::optional<int> stopFrame;
};

Timeline timelineOf(const std::vector<Record>& records) {
    Timeline timeline;
    std::vector<Record> frame;
    for (const Record& record : records) {
        if (record.code == TagCode::ShowFrame) {
            timeline.frames.push_back(std::move(frame));
            frame.clear();
        } else if (record.code == TagCode::DoAction && !timeline.stopFrame && stopsTimeline(record.body)) {
            timeline.stopFrame = static_cast<int>(timeline.frames.size());
        }
        frame.push_back(record);
    }
    return timeline;
}

// The tags of a DefineSprite body (id and frame count first), up to its End tag or to the
// first record cut short.
std::vector<Record> spriteRecords(ByteSpan body) {
    std::vector<Record> records;
    for (ByteSpan rest = body.size() >= 4 ? body.subspan(4) : ByteSpan{}; !rest.empty();) {
        const RecordHeader header = readRecordHeader(rest);
        if (header.size == 0 || header.code == TagCode::End || rest.size() - header.size < header.length) break;
        records.push_back({header.code, rest.subspan(header.size, header.length)});
        rest = rest.subspan(header.size + header.length);
    }
    return records;
}

// The character a PlaceObject tag puts at its depth: { depth, character } with character 0
// when it only changes what is there.
std::pair<int, int> placing(const Record& record) {
    ByteReader reader(record.body);
    if (record.code == TagCode::PlaceObject) {
        const int character = reader.readU16LE();
        const int depth = reader.readU16LE();
        return reader.overrun() ? std::pair{-1, 0} : std::pair{depth, character};
    }
    const std::uint8_t flags = reader.readU8();
    std::uint8_t moreFlags = 0;
    if (record.code == TagCode::PlaceObject3) moreFlags = reader.readU8();
    const int depth = reader.readU16LE();
    if ((moreFlags & 0x08) != 0) reader.readCString();  // class name
    const int character = (flags & 0x02) != 0 ? reader.readU16LE() : 0;
    return reader.overrun() ? std::pair{-1, 0} : std::pair{depth, character};
}

// Walks the main timeline and the sprites on it, collecting when each sound starts.
class SoundWalk {
public:
    explicit SoundWalk(const SWFFile& movie) {
        std::vector<Record> main;
        for (const auto& tag : movie.tags()) main.push_back({tag->code(), tag->body()});
        for (const Record& record : main) define(record);
        main_ = timelineOf(main);
    }

    // Each event sound with its starts, in the order of their first start.
    std::vector<std::pair<std::uint16_t, std::vector<SoundStart>>> events() {
        const int frames = static_cast<int>(main_.frames.size());
        play(main_, 0, frames, false, 0);
        std::stable_sort(starts_.begin(), starts_.end(),
                         [](const auto& a, const auto& b) { return a.second.frame < b.second.frame; });
        if (starts_.size() > maxSoundStarts) starts_.resize(maxSoundStarts);
        std::vector<std::pair<std::uint16_t, std::vector<SoundStart>>> sounds;
        std::map<std::uint16_t, std::size_t> index;
        for (const auto& [id, start] : starts_) {
            const auto [at, added] = index.emplace(id, sounds.size());
            if (added) sounds.push_back({id, {}});
            sounds[at->second].second.push_back(start);
        }
        return sounds;
    }

    const std::map<std::uint16_t, ByteSpan>& sounds() const { return sounds_; }
    const Timeline& main() const { return main_; }

private:
    void define(const Record& record) {
        ByteReader reader(record.body);
        const std::uint16_t id = reader.readU16LE();
        if (reader.overrun()) return;
        if (record.code == TagCode::DefineSound) {
            sounds_.emplace(id, record.body.subspan(2));
        } else if (record.code == TagCode::DefineSprite) {
            sprites_.emplace(id, std::make_shared<Timeline>(timelineOf(spriteRecords(record.body))));
        } else if (record.code == TagCode::SymbolClass) {
            for (std::uint16_t i = 0; i < id; ++i) {
                const std::uint16_t character = reader.readU16LE();
                const auto name = reader.readCString();
                if (!name) break;
                classes_.emplace(*name, character);
            }
        }
    }

    // Plays timeline from main frame begin until main frame end (exclusive): once, or over
    // and over when loops, as a sprite does while it stays on the stage.
    void play(const Timeline& timeline, int begin, int end, bool loops, int nesting) {
        const int length = static_cast<int>(timeline.frames.size());
        if (length == 0 || nesting > maxNesting) return;
        // A sprite that stops, or has a frame alone, plays its frames once.
        const int last = timeline.stopFrame ? std::min(*timeline.stopFrame, length - 1) : length - 1;
        const bool repeats = loops && !timeline.stopFrame && length > 1;
        for (int pass = begin; pass < end; pass += length) {
            std::map<int, std::pair<int, int>> placed;  // depth: the sprite and the frame it came
            const auto leave = [&](int depth, int frame) {
                const auto found = placed.find(depth);
                if (found == placed.end()) return;
                const auto sprite = sprites_.find(found->second.first);
                play(*sprite->second, found->second.second, std::min(frame, end), true, nesting + 1);
                placed.erase(found);
            };
            for (int k = 0; k <= last && pass + k < end; ++k) {
                if (++visited_ > maxVisitedFrames) return;
                for (const Record& record : timeline.frames[k]) frameTag(record, pass + k, placed, leave);
            }
            // What is still on the stage leaves at the end of the pass, or at the end for a
            // timeline that stops.
            const int passEnd = repeats ? pass + length : end;
            while (!placed.empty()) leave(placed.begin()->first, passEnd);
            if (!repeats) break;
        }
    }

    template <typename Leave>
    void frameTag(const Record& record, int frame, std::map<int, std::pair<int, int>>& placed, const Leave& leave) {
        ByteReader reader(record.body);
        switch (record.code) {
            case TagCode::StartSound: {
                const std::uint16_t id = reader.readU16LE();
                if (!reader.overrun()) start(id, frame, reader.rest());
                break;
            }
            case TagCode::StartSound2: {
                const auto name = reader.readCString();
                const auto found = name ? classes_.find(*name) : classes_.end();
                if (found != classes_.end()) start(found->second, frame, reader.rest());
                break;
            }
            case TagCode::PlaceObject:
            case TagCode::PlaceObject2:
            case TagCode::PlaceObject3: {
                const auto [depth, character] = placing(record);
                if (character == 0) break;
                leave(depth, frame);
                if (sprites_.count(static_cast<std::uint16_t>(character)) != 0) placed[depth] = {character, frame};
                break;
            }
            case TagCode::RemoveObject:
            case TagCode::RemoveObject2: {
                if (record.code == TagCode::RemoveObject) reader.skip(2);
                const int depth = reader.readU16LE();
                if (!reader.overrun()) leave(depth, frame);
                break;
            }
            default: break;
        }
    }

    void start(std::uint16_t id, int frame, ByteSpan info) {
        const int plays = playsOf(info);
        if (plays > 0 && sounds_.count(id) != 0 && starts_.size() < 16 * maxSoundStarts) {
            starts_.push_back({id, {frame, plays}});
        }
    }

    std::map<std::uint16_t, ByteSpan> sounds_;  // id: the DefineSound body after the id
    std::map<std::uint16_t, std::shared_ptr<Timeline>> sprites_;
    std::map<std::string, std::uint16_t> classes_;
    Timeline main_;
    std::vector<std::pair<std::uint16_t, SoundStart>> starts_;
    long visited_ = 0;
};

// The FLV file of a sound's data in a format ffmpeg reads from FLV: PCM and Nellymoser in
// chunks, ADPCM (whose packets run on across byte boundaries) as one tag.
Bytes flvOfData(std::uint8_t formatByte, ByteSpan data) {
    if (formatOf(formatByte) == Adpcm) return flvAudio(formatByte, {{data, 0}});
    std::vector<FlvChunk> chunks;
    std::uint64_t sample = 0;
    for (std::size_t at = 0; at < data.size(); at += chunkBytes) {
        const ByteSpan chunk = data.subspan(at, std::min(chunkBytes, data.size() - at));
        chunks.push_back({chunk, sample});
        sample += samplesIn(formatByte, chunk.size());
    }
    return flvAudio(formatByte, chunks);
}

}  // namespace

Bytes flvAudio(std::uint8_t formatByte, const std::vector<FlvChunk>& chunks) {
    if (chunks.empty()) return {};
    Bytes flv = {'F', 'L', 'V', 1, 0x04, 0, 0, 0, 9, 0, 0, 0, 0};  // audio only; header size; no tag before
    const double rate = sampleRate(formatByte);
    for (const FlvChunk& chunk : chunks) {
        if (chunk.data.size() > maxFlvData) return {};
        const auto size = static_cast<std::uint32_t>(chunk.data.size() + 1);
        // FLV stamps are 32-bit milliseconds: about 50 days, more than any sound holds.
        const auto ms =
            static_cast<std::uint32_t>(std::min(static_cast<double>(chunk.firstSample) * 1000 / rate, 4.0e9));
        flv.push_back(8);  // audio
        put24(flv, size);
        put24(flv, ms & 0xFFFFFF);
        flv.push_back(static_cast<std::uint8_t>(ms >> 24));
        put24(flv, 0);  // stream id
        flv.push_back(formatByte);
        flv.insert(flv.end(), chunk.data.begin(), chunk.data.end());
        put32(flv, size + 11);
    }
    return flv;
}

std::vector<TimelineSound> timelineSounds(const SWFFile& movie) {
    SoundWalk walk(movie);
    std::vector<TimelineSound> sounds;
    for (auto& [id, starts] : walk.events()) {
        // format byte and sample count, then for MP3 the seek samples before the frames
        const ByteSpan body = walk.sounds().at(id);
        if (body.size() < 6 || !decodable(body[0])) continue;
        TimelineSound sound;
        if (formatOf(body[0]) == Mp3) {
            if (body.size() <= 7) continue;
            sound.data.assign(body.begin() + 7, body.end());
        } else {
            sound.kind = SoundFile::Flv;
            sound.data = flvOfData(body[0], body.subspan(5));
            if (sound.data.empty()) continue;
        }
        sound.starts = std::move(starts);
        sounds.push_back(std::move(sound));
    }

    // The main timeline's stream: its blocks in the order of their frames.
    std::optional<std::uint8_t> streamFormat;
    std::uint16_t blockSamples = 0;
    std::optional<int> firstFrame;
    Bytes mp3;
    std::vector<FlvChunk> chunks;
    std::uint64_t sample = 0;
    const Timeline& main = walk.main();
    for (std::size_t frame = 0; frame < main.frames.size(); ++frame) {
        for (const Record& record : main.frames[frame]) {
            if (record.code == TagCode::SoundStreamHead || record.code == TagCode::SoundStreamHead2) {
                // playback format, then the stream's format byte and its samples a block
                if (record.body.size() >= 4 && decodable(record.body[1]) && !firstFrame) {
                    streamFormat = record.body[1];
                    blockSamples = peekUI16(record.body, 2);
                }
            } else if (record.code == TagCode::SoundStreamBlock && streamFormat && !record.body.empty()) {
                firstFrame = firstFrame.value_or(static_cast<int>(frame));
                if (formatOf(*streamFormat) == Mp3) {
                    // sample count and seek samples, then the frames
                    if (record.body.size() > 4) mp3.insert(mp3.end(), record.body.begin() + 4, record.body.end());
                } else {
                    chunks.push_back({record.body, sample});
                    const std::uint64_t samples = samplesIn(*streamFormat, record.body.size());
                    sample += samples > 0 ? samples : blockSamples;
                }
            }
        }
    }
    if (firstFrame) {
        TimelineSound stream;
        stream.starts = {{*firstFrame, 1}};
        if (formatOf(*streamFormat) == Mp3) {
            stream.data = std::move(mp3);
        } else {
            stream.kind = SoundFile::Flv;
            stream.data = flvAudio(*streamFormat, chunks);
        }
        if (!stream.data.empty()) sounds.push_back(std::move(stream));
    }
    return sounds;
}

}  // namespace tarvenox
