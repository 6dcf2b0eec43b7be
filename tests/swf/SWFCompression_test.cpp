#include "swf/SWFCompression.h"

#include <gtest/gtest.h>
#include <functional>

#include "common/ByteReader.h"
#include "support/MovieBuilder.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "swf/RecordStream.h"
#include "swf/SWFFile.h"
#include "swf/SWFReader.h"
#include "swf/SWFWriter.h"

namespace tarvenox {
namespace {

using test::cstr;
using test::le16;
using test::MovieBuilder;
using test::operator+;

Bytes plainMovie() {
    return MovieBuilder(10)
        .background(1, 2, 3)
        .tag(56, le16(1) + le16(4) + cstr("logo"))
        .tag(20, Bytes(300, 7))
        .showFrame()
        .build();
}

TEST(SWFCompression, EachFormReadsAndIsWrittenBackInItsOwnForm) {
    const Bytes plain = plainMovie();
    for (auto form : {SWFCompression::None, SWFCompression::Zlib, SWFCompression::Lzma}) {
        const Bytes packed = packSWF(plain, form);
        EXPECT_EQ(asString(ByteSpan(packed).first(3)), signatureOf(form));
        if (form != SWFCompression::None) {
            EXPECT_LT(packed.size(), plain.size());
        }
        SWFFile movie = test::readMovie(packed, "m.swf");
        EXPECT_EQ(movie.compression(), form);
        EXPECT_EQ(movie.tags().size(), 4u);
        const Bytes again = serializeSWF(movie);
        EXPECT_EQ(asString(ByteSpan(again).first(3)), signatureOf(form));
        auto unpackedAgain = unpackSWF(again, form);
        ASSERT_TRUE(unpackedAgain) << unpackedAgain.report().reason();
        const Bytes unpacked = unpackedAgain.take();
        EXPECT_EQ(ByteSpan(unpacked).subspan(3).size(), plain.size() - 3);
        EXPECT_TRUE(std::equal(unpacked.begin() + 3, unpacked.end(), plain.begin() + 3));
        movie.setCompression(SWFCompression::None);
        EXPECT_EQ(serializeSWF(movie), plain);
    }
}

// The data handed over a few bytes at a time, and inflated into small pieces, comes out
// as the whole movie does, in both compressed forms, and cut short it is refused as the
// whole is.
TEST(SWFCompression, DataHandedOverPieceByPieceInflatesAsTheWhole) {
    for (auto form : {SWFCompression::Zlib, SWFCompression::Lzma}) {
        for (const bool cut : {false, true}) {
            SCOPED_TRACE(std::string(signatureOf(form)) + (cut ? ", cut" : ""));
            Bytes movie = packSWF(plainMovie(), form);
            if (cut) movie.resize(movie.size() - 9);
            const auto whole = unpackSWF(movie, form);
            auto started = MovieInflater::start(movie, form);
            ASSERT_TRUE(started) << started.report().reason();
            MovieInflater* inflater = started->get();
            Bytes out(movie.begin(), movie.begin() + kSWFPrefixSize);
            for (std::size_t at = inflater->dataOffset(); !inflater->done();) {
                const std::size_t step = std::min<std::size_t>(7, movie.size() - at);
                ByteSpan data = ByteSpan(movie).subspan(at, step);
                std::uint8_t piece[5];
                const std::size_t written = inflater->inflate(data, at + step == movie.size(), piece);
                out.insert(out.end(), piece, piece + written);
                at += step - data.size();
            }
            EXPECT_EQ(inflater->verdict().failed(), !whole);
            EXPECT_EQ(inflater->verdict().reason(), whole.report().reason());
            if (whole) {
                EXPECT_EQ(out, *whole);
            }
        }
    }
}

TEST(SWFCompression, ZlibDataCutBeforeItsChecksumHoldsTheWholeMovie) {
    Bytes movie = packSWF(plainMovie(), SWFCompression::Zlib);
    movie.resize(movie.size() - 4);  // the Adler-32 checksum
    SWFFile read = test::readMovie(movie, "m.swf");
    EXPECT_EQ(read.tags().size(), 4u);
    test::TempDir dir;
    std::size_t records = 0;
    RecordStream stream(dir.write("m.swf", movie));
    const Report streamed = stream.read([&](const RecordStream::Record&) { ++records; });
    EXPECT_FALSE(streamed.failed()) << streamed.reason();
    EXPECT_EQ(records, 4u);
}

TEST(SWFCompression, DataThatDoesNotMatchTheHeaderIsRefused) {
    struct Case {
        const char* name;
        SWFCompression form;
        std::function<void(Bytes&)> spoil;
        std::string message;
    };
    const std::uint32_t length = static_cast<std::uint32_t>(plainMovie().size());
    const Case cases[] = {
        // Data that ends before the header's length: truncated, in the words of a plain movie.
        {"zlib, header claims more", SWFCompression::Zlib, [&](Bytes& m) { m = test::withFileLength(m, length + 1); },
         "spoilt.swf: truncated: " + std::to_string(length) + " of " + std::to_string(length + 1) +
             " bytes uncompressed"},
        {"zlib, header claims less", SWFCompression::Zlib, [&](Bytes& m) { m = test::withFileLength(m, length - 1); },
         "holds more than the " + std::to_string(length - 1) + " bytes the header gives"},
        {"zlib, header claims 4 GiB", SWFCompression::Zlib, [&](Bytes& m) { m = test::withFileLength(m, 0xFFFFFFFF); },
         "uncompressed length of 4294967295 bytes, which cannot be right"},
        {"zlib, cut short", SWFCompression::Zlib, [](Bytes& m) { m.resize(m.size() / 2); }, "spoilt.swf: truncated: "},
        // Any other fault names the form, found at the start or while inflating.
        {"zlib, broken", SWFCompression::Zlib, [](Bytes& m) { m[8] = 0xFF; },
         "spoilt.swf: a CWS movie whose zlib data cannot be used: the zlib data is broken"},
        {"LZMA, header claims more", SWFCompression::Lzma, [&](Bytes& m) { m = test::withFileLength(m, length + 1); },
         "spoilt.swf: truncated: " + std::to_string(length) + " of " + std::to_string(length + 1) +
             " bytes uncompressed"},
        {"LZMA, cut short", SWFCompression::Lzma, [](Bytes& m) { m.resize(m.size() / 2); }, "spoilt.swf: truncated: "},
        {"LZMA, header claims less", SWFCompression::Lzma, [&](Bytes& m) { m = test::withFileLength(m, length - 1); },
         "the LZMA data is broken"},
        {"LZMA, header claims 1 byte", SWFCompression::Lzma, [](Bytes& m) { m = test::withFileLength(m, 1); },
         "uncompressed length of 1 bytes, which cannot be right"},
        {"LZMA, cut inside the properties", SWFCompression::Lzma, [](Bytes& m) { m.resize(14); },
         "the LZMA header is cut short"},
        {"LZMA, impossible properties", SWFCompression::Lzma, [](Bytes& m) { m[12] = 0xFF; },
         "spoilt.swf: a ZWS movie whose LZMA data cannot be used: the LZMA properties are not valid"},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        Bytes movie = packSWF(plainMovie(), c.form);
        c.spoil(movie);
        const std::string path = dir.write("spoilt.swf", movie);
        const auto read = readSWF(movie, path);
        ASSERT_FALSE(read) << c.name;
        const std::string& reason = read.report().reason();
        EXPECT_NE(reason.find(c.message), std::string::npos) << c.name << ": " << reason;
        // Read record by record, inflated piece by piece, the verdict is the same.
        RecordStream streamed(path);
        EXPECT_EQ(streamed.read([](const RecordStream::Record&) {}).reason(), reason) << c.name;
        EXPECT_TRUE(streamed.header().empty()) << c.name;
    }
}

}  // namespace
}  // namespace tarvenox
