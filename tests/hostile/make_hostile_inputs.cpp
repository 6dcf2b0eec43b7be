// Writes the hostile inputs that run.sh feeds to tarvenox: pictures, sounds, movies and
// archives that are damaged, huge or random. Everything is made from fixed seeds, so
// every run sees the same bytes and no large file needs to be stored.
//
// Usage: make_hostile_inputs OUTDIR DEMO_INSTALLATION
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/PictureFiles.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

fs::path out;

void save(const std::string& name, const Bytes& data) {
    std::ofstream file(out / name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!file) {
        std::fprintf(stderr, "cannot write %s\n", name.c_str());
        std::exit(1);
    }
}

void putBE32(Bytes& b, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<std::uint8_t>(v >> s));
}

void putLE16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void chunk(Bytes& png, const char* type, const Bytes& data) {
    putBE32(png, static_cast<std::uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    putBE32(png, static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

// An 8-bit RGB PNG whose rows come from row(y, bytes); the image data is deflated as
// it is made, so a picture of gigabytes of pixels needs one row of memory.
template <typename Row>
Bytes png(std::uint32_t width, std::uint32_t height, int level, Row row) {
    Bytes result = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    putBE32(ihdr, width);
    putBE32(ihdr, height);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    chunk(result, "IHDR", ihdr);
    z_stream z{};
    deflateInit(&z, level);
    Bytes line(1 + std::size_t{width} * 3);
    Bytes idat;
    std::uint8_t buffer[1 << 16];
    for (std::uint32_t y = 0; y <= height; ++y) {
        if (y < height) {
            line[0] = 0;  // filter: none
            row(y, line.data() + 1);
        }
        z.next_in = line.data();
        z.avail_in = y < height ? static_cast<uInt>(line.size()) : 0;
        const int flush = y < height ? Z_NO_FLUSH : Z_FINISH;
        do {
            z.next_out = buffer;
            z.avail_out = sizeof buffer;
            deflate(&z, flush);
            idat.insert(idat.end(), buffer, buffer + (sizeof buffer - z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    chunk(result, "IDAT", idat);
    chunk(result, "IEND", {});
    return result;
}

// The baseline picture with bytes at an offset from its frame header (SOF0) replaced.
Bytes patchedFrame(Bytes picture, std::size_t at, const Bytes& value) {
    for (std::size_t p = 2; p + 1 < picture.size(); ++p) {
        if (picture[p] == 0xFF && picture[p + 1] == 0xC0) {
            std::memcpy(&picture[p + 1 + at], value.data(), value.size());
            return picture;
        }
    }
    std::fprintf(stderr, "no frame header\n");
    std::exit(1);
}

Bytes randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes data(size);
    for (auto& b : data) b = static_cast<std::uint8_t>(random());
    return data;
}

// frames MPEG 1 Layer III frames of 128 kbit/s at 44100 Hz (417 bytes each).
Bytes mp3Frames(std::size_t frames) {
    Bytes data(frames * 417, 0);
    for (std::size_t i = 0; i < frames; ++i) {
        std::memcpy(&data[i * 417], "\xFF\xFB\x90\x64", 4);
    }
    return data;
}

Bytes archive(std::uint32_t count, const std::vector<std::pair<std::string, std::uint32_t>>& records,
              const std::string& data) {
    Bytes db = {'T', 'V', 'D', 'B'};
    putBE32(db, 1);
    putBE32(db, count);
    for (const auto& [name, size] : records) {
        db.insert(db.end(), name.begin(), name.end());
        db.push_back(0);
        putBE32(db, size);
    }
    db.insert(db.end(), data.begin(), data.end());
    return db;
}

// A movie of version 6 with a zero-size frame and `tags` ShowFrame tags.
Bytes movieOfEmptyTags(std::size_t tags) {
    Bytes movie = {'F', 'W', 'S', 6, 0, 0, 0, 0, 0};
    putLE16(movie, 12 << 8);  // 12 frames a second
    putLE16(movie, 1);
    for (std::size_t i = 0; i < tags; ++i) putLE16(movie, 1 << 6);
    putLE16(movie, 0);
    const auto length = static_cast<std::uint32_t>(movie.size());
    for (int i = 0; i < 4; ++i) movie[4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    return movie;
}

Bytes readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An uncompressed movie as a download that stopped at the last record boundary before
// half its size leaves it: whole records, no End tag, the header's length unchanged.
Bytes cutAtARecordBoundary(const Bytes& movie) {
    const int nBits = movie.at(8) >> 3;
    std::size_t at = 13 + static_cast<std::size_t>((4 * nBits + 5) / 8);
    for (;;) {
        const std::uint32_t word = movie.at(at) | movie.at(at + 1) << 8;
        std::size_t length = word & 0x3F;
        std::size_t header = 2;
        if (length == 0x3F) {
            length = movie.at(at + 2) | movie.at(at + 3) << 8 | movie.at(at + 4) << 16 |
                     static_cast<std::size_t>(movie.at(at + 5)) << 24;
            header = 6;
        }
        if (at + header + length > movie.size() / 2) break;
        at += header + length;
    }
    return Bytes(movie.begin(), movie.begin() + static_cast<std::ptrdiff_t>(at));
}

// The movie in the zlib form (CWS), its compressed data cut in half.
Bytes compressedAndCut(const Bytes& movie) {
    uLongf size = compressBound(static_cast<uLong>(movie.size() - 8));
    Bytes packed(8 + size);
    compress2(packed.data() + 8, &size, movie.data() + 8, static_cast<uLong>(movie.size() - 8), 9);
    std::copy(movie.begin(), movie.begin() + 8, packed.begin());
    packed[0] = 'C';
    packed.resize(8 + size / 2);
    return packed;
}

// The demo installation with the greeting's title in configs.txt made 1 MB long.
void installationWithLongValue(const fs::path& demo) {
    const fs::path target = out / "long-config";
    fs::create_directories(target);
    fs::copy(demo, target, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    std::ifstream in(demo / "configs.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string configs = text.str();
    const std::string line = "greeting\ttitle\ts\t";
    const auto at = configs.find(line);
    if (at == std::string::npos) {
        std::fprintf(stderr, "configs.txt has no greeting title\n");
        std::exit(1);
    }
    const auto end = configs.find('\r', at);
    configs.replace(at + line.size(), end - at - line.size(), std::string(1 << 20, 'x'));
    std::ofstream(target / "configs.txt", std::ios::binary) << configs;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_hostile_inputs OUTDIR DEMO_INSTALLATION\n");
        return 2;
    }
    out = argv[1];
    fs::create_directories(out);

    // 16384 x 16384 black pixels deflate to well under a megabyte.
    save("huge.png", png(16384, 16384, 9, [](std::uint32_t, std::uint8_t* row) { std::memset(row, 0, 16384 * 3); }));
    // The largest picture players show with the widest side: it must be taken.
    save("largest.png", png(8191, 2048, 1, [](std::uint32_t y, std::uint8_t* row) {
             for (std::uint32_t x = 0; x < 8191 * 3; ++x) row[x] = static_cast<std::uint8_t>(x ^ y);
         }));

    const Bytes baseline = tarvenox::test::encodeJpeg(64, 48, false);
    save("baseline.jpg", baseline);
    save("zero.jpg", patchedFrame(baseline, 4, {0, 0, 0, 0}));
    save("half.jpg", Bytes(baseline.begin(), baseline.begin() + static_cast<long>(baseline.size() / 2)));
    save("scan-cut.jpg", Bytes(baseline.begin(), baseline.end() - 100));
    save("claims-65535.jpg", patchedFrame(baseline, 4, {0xFF, 0xFF, 0xFF, 0xFF}));
    save("twelve-bit.jpg", patchedFrame(baseline, 3, {12}));
    save("cmyk.jpg", tarvenox::test::encodeJpeg(64, 48, false, 4));

    save("random.mp3", randomBytes(100 * 1024, 12));
    save("empty.mp3", {});
    Bytes freeFormat = {0xFF, 0xFB, 0x00, 0x64};
    freeFormat.resize(3000, 0);
    save("free-format.mp3", freeFormat);
    save("good.mp3", mp3Frames(200));
    // 300 MB of frames: a save that takes long enough to be interrupted while it
    // reads, converts and writes.
    save("long.mp3", mp3Frames(720000));

    save("random.bin", randomBytes(64 * 1024, 5));
    save("million-tags.swf", movieOfEmptyTags(1000000));
    const Bytes greeting = readFile(fs::path(argv[2]) / "swf" / "greeting.swf");
    save("cut-download.swf", cutAtARecordBoundary(greeting));
    save("cut-download-cws.swf", compressedAndCut(greeting));

    save("random.db", randomBytes(64 * 1024, 3));
    save("claims-4g.db", archive(2, {{"a.txt", 4}, {"big.swf", 0xFFFFFFFF}}, "AAAAbig"));
    // Three records announced, two written: the third is read from the first entry's data.
    save("overlap.db", archive(3, {{"a.txt", 12}, {"b.txt", 4}}, std::string("c.txt\0\0\0\0\x08", 10) + "xxBBBB"));

    installationWithLongValue(argv[2]);
    return 0;
}
