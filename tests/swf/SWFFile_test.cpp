#include "swf/SWFFile.h"

#include <gtest/gtest.h>

#include <set>

#include "support/MovieBuilder.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "swf/MovieProbe.h"
#include "swf/RecordStream.h"
#include "swf/SWFBackgroundColor.h"
#include "swf/SWFDefineShape.h"
#include "swf/SWFDefineSound.h"
#include "swf/SWFDoAction.h"
#include "swf/SWFExportAssets.h"
#include "swf/SWFFont.h"
#include "swf/SWFJpegImage.h"
#include "swf/SWFLosslessImage.h"
#include "swf/SWFReader.h"
#include "swf/SWFWriter.h"

namespace tarvenox {
namespace {

using test::cstr;
using test::operator+;
using test::le16;
using test::MovieBuilder;
using test::TempDir;

TEST(SWFFile, HeaderLengthFollowsTheRectBitCount) {
    EXPECT_EQ(MovieHeader::length(14), 20u);
    EXPECT_EQ(MovieHeader::length(15), 21u);
    EXPECT_EQ(MovieHeader::length(16), 21u);
    EXPECT_EQ(MovieHeader::length(17), 22u);
    EXPECT_EQ(MovieHeader::length(24), 25u);
    EXPECT_EQ(MovieHeader::length(25), 26u);
    EXPECT_EQ(MovieHeader::length(31), 29u);
}

TEST(SWFFile, MoviesWithWideFrameRectsAreReadAndWrittenWhole) {
    // 31 bits per value: a 29-byte header, beyond any fixed 25-byte buffer.
    for (std::int32_t extent : {8000, 65535, 1 << 20, (1 << 30) - 1}) {
        Bytes original = MovieBuilder(6, SWFRect{-extent, extent, 0, 20, 0}).background(1, 2, 3).build();
        SWFFile movie = test::readMovie(original, "wide.swf");
        EXPECT_EQ(movie.header().size(), MovieHeader::length(movie.frameRect().nBits));
        EXPECT_EQ(movie.frameRect().xMax, extent);
        EXPECT_EQ(serializeSWF(movie), original);
    }
}

TEST(SWFFile, UnchangedMovieIsWrittenByteForByte) {
    Bytes original = MovieBuilder()
                         .background(0x33, 0x66, 0x99)
                         .tag(48, le16(1) + Bytes{0x90, 0} + Bytes{5} + Bytes{'A', 'r', 'i', 'a', 'l'})
                         .tag(20, le16(2) + Bytes(100, 0x11))  // long record header
                         .tag(22, le16(3) + Bytes(10, 0x22))
                         .tag(56, le16(1) + le16(2) + cstr("logo"))
                         .tag(12, Bytes{0})
                         .tag(777, Bytes{1, 2, 3})  // a code nobody knows
                         .showFrame()
                         .build();
    SWFFile movie = test::readMovie(original, "movie.swf");
    EXPECT_EQ(movie.tags().size(), 8u);
    EXPECT_EQ(serializeSWF(movie), original);
}

TEST(SWFFile, ACodeZeroRecordWithALengthEndsTheMovie) {
    Bytes stored = MovieBuilder().background(1, 2, 3).tag(0, Bytes{9, 9}, true).showFrame().build();
    SWFFile movie = test::readMovie(stored, "movie.swf");
    ASSERT_EQ(movie.tags().size(), 1u);
    EXPECT_EQ(serializeSWF(movie), MovieBuilder().background(1, 2, 3).build());
}

TEST(SWFFile, NewMovieHasAnUncompressedHeader) {
    SWFFile movie(6, SWFRect{0, 11000, 0, 8000, 0}, 12.5, 3);
    EXPECT_EQ(movie.signature(), "FWS");
    EXPECT_EQ(movie.version(), 6);
    EXPECT_EQ(movie.frameRect().width(), 11000);
    EXPECT_DOUBLE_EQ(movie.frameRate(), 12.5);
    EXPECT_EQ(movie.frameCount(), 3);
    EXPECT_EQ(serializeSWF(movie), MovieBuilder().frameRate(12, 128).frameCount(3).build());
}

TEST(SWFFile, EachTagCodeGetsItsClass) {
    Bytes original = MovieBuilder()
                         .tag(2, Bytes(4, 0))
                         .tag(6, Bytes(4, 0))
                         .tag(9, Bytes{0, 0, 0})
                         .tag(12, Bytes{0})
                         .tag(14, Bytes(9, 0))
                         .tag(20, Bytes(7, 0))
                         .tag(21, Bytes(4, 0))
                         .tag(22, Bytes(4, 0))
                         .tag(32, Bytes(4, 0))
                         .tag(35, Bytes(4, 0))
                         .tag(36, Bytes(7, 0))
                         .tag(48, Bytes(5, 0))
                         .tag(56, le16(1) + le16(1) + cstr("x"))
                         .build();
    SWFFile movie = test::readMovie(original, "classes.swf");
    const auto& t = movie.tags();
    ASSERT_EQ(t.size(), 13u);
    EXPECT_NE(dynamic_cast<SWFDefineShape*>(t[0].get()), nullptr);
    EXPECT_NE(dynamic_cast<SWFJpegImage*>(t[1].get()), nullptr);
    EXPECT_NE(dynamic_cast<SWFBackgroundColor*>(t[2].get()), nullptr);
    EXPECT_NE(dynamic_cast<SWFDoAction*>(t[3].get()), nullptr);
    EXPECT_NE(dynamic_cast<SWFDefineSound*>(t[4].get()), nullptr);
    EXPECT_NE(dynamic_cast<SWFLosslessImage*>(t[5].get()), nullptr);
    EXPECT_NE(dynamic_cast<SWFJpegImage*>(t[6].get()), nullptr);
    EXPECT_NE(dynamic_cast<SWFDefineShape*>(t[7].get()), nullptr);
    EXPECT_NE(dynamic_cast<SWFDefineShape*>(t[8].get()), nullptr);
    // A DefineBitsJPEG3 too short to hold its alpha channel's offset has no size.
    ASSERT_NE(dynamic_cast<SWFJpegImage*>(t[9].get()), nullptr);
    EXPECT_EQ(static_cast<SWFJpegImage&>(*t[9]).width(), 0);
    EXPECT_NE(dynamic_cast<SWFLosslessImage*>(t[10].get()), nullptr);
    EXPECT_NE(dynamic_cast<SWFFont*>(t[11].get()), nullptr);
    EXPECT_NE(dynamic_cast<SWFExportAssets*>(t[12].get()), nullptr);
    EXPECT_EQ(serializeSWF(movie), original);
}

TEST(SWFFile, ExportNamesAreFoundInEveryPairOfExportAssetsAndSymbolClass) {
    Bytes three = le16(3) + le16(7) + cstr("first") + le16(8) + cstr("second") + le16(9) + cstr("third");
    const Bytes stored = MovieBuilder()
                             .tag(56, three)
                             .tag(56, le16(2) + le16(4) + cstr("Logo") + le16(5) + cstr("third"))
                             .tag(76, le16(2) + le16(0) + cstr("Main") + le16(11) + cstr("pics.Photo"))
                             // a count above the pairs present: the pairs read are kept
                             .tag(76, le16(9) + le16(12) + cstr("cut") + le16(13) + Bytes{'x'})
                             .build();
    SWFFile movie = test::readMovie(stored, "m.swf");
    EXPECT_EQ(movie.findExportedId("first"), 7);
    EXPECT_EQ(movie.findExportedId("second"), 8);
    EXPECT_EQ(movie.findExportedId("third"), 9);  // the first pair in file order wins
    EXPECT_EQ(movie.findExportedId("Logo"), 4);
    EXPECT_EQ(movie.findExportedId("logo"), std::nullopt);  // names compare case-sensitively
    EXPECT_EQ(movie.findExportedId("pics.Photo"), 11);
    EXPECT_EQ(movie.findExportedId("cut"), 12);
    EXPECT_EQ(movie.findExportedId("x"), std::nullopt);
}

TEST(SWFFile, BackgroundColourIsSetOnTheFirstRecordOnly) {
    SWFFile movie = test::readMovie(MovieBuilder().background(1, 2, 3).background(4, 5, 6).build(), "m.swf");
    setBackgroundColor(movie, 0xAABBCC);
    EXPECT_EQ(dynamic_cast<SWFBackgroundColor&>(*movie.tags()[0]).color(), 0xAABBCC);
    EXPECT_EQ(dynamic_cast<SWFBackgroundColor&>(*movie.tags()[1]).color(), 0x040506);
}

TEST(SWFFile, BrokenMoviesAreReportedNamingTheFile) {
    struct Case {
        const char* name;
        Bytes data;
        const char* message;
    };
    Bytes good = MovieBuilder().background(1, 2, 3).tag(20, Bytes(100, 0)).build();
    Bytes notAMovie = good;
    notAMovie[0] = 'G';
    notAMovie[2] = 0x89;
    // Cut where the header says the movie ends: the record that is cut is named.
    const Case cases[] = {
        {"empty", {}, "header is cut short"},
        {"short header", Bytes(good.begin(), good.begin() + 15), "header is cut short"},
        {"half an End tag", test::endedAt(good, good.size() - 1), "inside a record header"},
        {"cut body", test::endedAt(good, 40), "tag 20 (DefineBitsLossless) at offset 26 ends after 8 of 100 bytes"},
        {"cut long header", test::endedAt(good, 28), "ends inside its record header"},
        {"other signature", notAMovie, "not an SWF movie: it starts with 'GW\\x89', not FWS, CWS or ZWS"},
    };
    for (const auto& c : cases) {
        const auto movie = readSWF(c.data, "broken.swf");
        ASSERT_FALSE(movie) << c.name;
        const std::string& reason = movie.report().reason();
        EXPECT_EQ(reason.rfind("broken.swf: ", 0), 0u) << c.name;
        EXPECT_NE(reason.find(c.message), std::string::npos) << c.name << ": " << reason;
    }
}

// A movie that ends anywhere: whole only where a record ends and its header says it
// ends (a compiler that leaves the End tag out); a movie that ends before the length its
// header gives (a download that stopped) is refused with both sizes, wherever it stops.
TEST(SWFFile, CutMoviesAreReadOnlyWhereARecordEndsAndTheHeaderSaysSo) {
    Bytes good = MovieBuilder()
                     .background(1, 2, 3)
                     .tag(48, le16(1) + Bytes{0x90, 0, 2, 'A', 'B'} + Bytes(70, 0))
                     .tag(56, le16(1) + le16(1) + cstr("logo"))
                     .showFrame()
                     .build();
    // Where the header and each record end: a movie cut there lacks only its End tag.
    const std::set<std::size_t> boundaries = {21, 26, 109, 120, 122};
    for (std::size_t n = 0; n < good.size(); ++n) {
        const auto ended = readSWF(test::endedAt(good, n), "ended.swf");
        ASSERT_EQ(ended.ok(), boundaries.count(n) == 1) << n;
        if (ended) {
            EXPECT_TRUE(ended->endTagMissing()) << n;
            // Never more than the whole tags present.
            EXPECT_LE(ended->tags().size(), 4u);
        }

        const auto cut = readSWF(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)), "cut.swf");
        ASSERT_FALSE(cut) << n;
        if (n >= 21) {
            EXPECT_EQ(cut.report().reason(), "cut.swf: truncated: " + std::to_string(n) + " of 124 bytes") << n;
        }
    }
    EXPECT_FALSE(test::readMovie(good, "whole.swf").endTagMissing());
}

// The header's file length against the data, the movie read whole and record by record:
// only data that ends before that length without reaching an End tag is refused. A header
// that gives less than the data, or more when the End tag is there, is taken as players
// take it.
TEST(SWFFile, OnlyAMovieEndingBeforeItsHeaderLengthIsTruncated) {
    struct Case {
        const char* name;
        Bytes data;
        std::string error;  // empty: read whole
    };
    // header 21, SetBackgroundColor 5, ShowFrame 2, End tag 2
    const Bytes whole = MovieBuilder().background(1, 2, 3).showFrame().build();
    ASSERT_EQ(whole.size(), 30u);
    const Case cases[] = {
        {"no End tag, as long as the header says", test::endedAt(whole, 28), ""},
        {"no End tag, longer than the header says", test::withFileLength(test::endedAt(whole, 28), 20), ""},
        {"End tag, the header says more", test::withFileLength(whole, 1000), ""},
        {"bytes after the End tag", MovieBuilder().background(1, 2, 3).showFrame().trailer(Bytes(4, 0)).build(), ""},
        {"no End tag, shorter than the header says", Bytes(whole.begin(), whole.end() - 2),
         "m.swf: truncated: 28 of 30 bytes"},
        {"cut inside a record", Bytes(whole.begin(), whole.begin() + 24), "m.swf: truncated: 24 of 30 bytes"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        const std::string path = dir.write("m.swf", c.data);
        const Report read = readSWF(c.data, path).report();
        const Report streamed = RecordStream(path).read([](const RecordStream::Record&) {});
        for (const Report* report : {&read, &streamed}) {
            EXPECT_EQ(report->failed(), !c.error.empty()) << c.name;
            EXPECT_EQ(report->reason(), c.error.empty() ? "" : dir.file(c.error)) << c.name;
        }
    }
}

TEST(SWFFile, AMissingFileIsReportedNamingIt) {
    TempDir dir;
    const auto missing = readSWF(dir.file("missing.swf"));
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.report().reason().find("missing.swf: cannot open"), std::string::npos);
}

TEST(Probes, BackgroundColourIsTheFirstShortRecordFromTheFirstByte) {
    TempDir dir;
    EXPECT_EQ(probeBackgroundColor(dir.write("a.swf", MovieBuilder().showFrame().background(0x33, 0x66, 0x99).build())),
              0x336699);
    EXPECT_EQ(probeBackgroundColor(dir.write("none.swf", MovieBuilder().showFrame().build())), std::nullopt);
    EXPECT_EQ(probeBackgroundColor(dir.file("missing.swf")), std::nullopt);
    // The pair cut short: no colour rather than bytes from beyond the file.
    EXPECT_EQ(probeBackgroundColor(dir.write("cut.swf", Bytes{'F', 'W', 'S', 0x43, 0x02, 0x10})), std::nullopt);
    // The search includes the header: a frame count of 0x0243 is taken as the record.
    Bytes tricky = MovieBuilder().frameCount(0x0243).background(1, 2, 3).build();
    std::string path = dir.write("tricky.swf", tricky);
    // The bytes after the false pair are the real record header and its first byte.
    EXPECT_EQ(probeBackgroundColor(path), 0x430201);
}

TEST(Probes, FrameSizeIsTheRectsWidthAndHeight) {
    TempDir dir;
    EXPECT_EQ(probeFrameSize(dir.write("a.swf", MovieBuilder().build())), std::make_pair(11000, 8000));
    EXPECT_EQ(probeFrameSize(dir.write("b.swf", MovieBuilder(6, SWFRect{100, 600, -50, 350, 0}).build())),
              std::make_pair(500, 400));
    EXPECT_EQ(probeFrameSize(dir.write("short.swf", Bytes{'F', 'W', 'S', 6, 0, 0, 0, 0, 0x78, 0})), std::nullopt);
    EXPECT_EQ(probeFrameSize(dir.file("missing.swf")), std::nullopt);
}

}  // namespace
}  // namespace tarvenox
