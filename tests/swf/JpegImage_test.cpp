// JPEG pictures: the DefineBitsJPEG2 body, the size scan and the check at pick time.
#include <gtest/gtest.h>

#include "common/Exception.h"
#include "support/MovieBuilder.h"
#include "support/PictureFiles.h"
#include "support/TempDir.h"
#include "swf/JpegCheck.h"
#include "swf/JpegFrame.h"
#include "swf/PictureFile.h"
#include "swf/SWFJpegImage.h"

namespace tarvenox {
namespace {

using test::encodeJpeg;
using test::operator+;
using test::TempDir;

// Hand-built marker sequences: SOI, then segments.
const Bytes kSoi = {0xFF, 0xD8};
// APP0 with 4 bytes of payload (length 6 counts the length bytes).
const Bytes kApp0 = {0xFF, 0xE0, 0x00, 0x06, 'J', 'F', 'I', 'F'};
// DHT (0xC4) is no frame header, though its code lies among them.
const Bytes kDht = {0xFF, 0xC4, 0x00, 0x05, 0x00, 0x01, 0x02};

// A frame header of the given kind: length 11, precision 8, lines, samples per line,
// one component.
Bytes frame(std::uint8_t marker, std::uint16_t width, std::uint16_t height) {
    return {0xFF, marker, 0x00, 0x0B, 0x08, std::uint8_t(height >> 8), std::uint8_t(height),
            std::uint8_t(width >> 8), std::uint8_t(width), 0x01, 0x01, 0x11, 0x00};
}

std::string checkMessage(const Bytes& data) {
    try {
        checkJpegData(data, "pic.jpg");
    } catch (const FileException& e) {
        EXPECT_EQ(e.getFileName(), "pic.jpg");
        return e.getMessage();
    }
    return "accepted";
}

TEST(JpegImage, BodyWrapsTheFileBetweenMarkers) {
    const Bytes jpeg = encodeJpeg(640, 480, false);
    auto tag = SWFJpegImage::fromJpegData(0x1234, jpeg);
    EXPECT_EQ(tag->code(), 21);
    ASSERT_EQ(tag->length(), jpeg.size() + 8);
    EXPECT_EQ(Bytes(tag->body().begin(), tag->body().begin() + 6),
              (Bytes{0x34, 0x12, 0xFF, 0xD9, 0xFF, 0xD8}));
    EXPECT_EQ(Bytes(tag->body().begin() + 6, tag->body().end() - 2), jpeg);
    EXPECT_EQ(Bytes(tag->body().end() - 2, tag->body().end()), (Bytes{0xFF, 0xD9}));
    EXPECT_EQ(tag->width(), 640);
    EXPECT_EQ(tag->height(), 480);
}

TEST(JpegImage, SizeScanWalksSegmentsToTheFrameHeader) {
    struct Case {
        const char* name;
        Bytes jpeg;
        int width;
        int height;
    };
    // An Exif segment whose thumbnail (a JPEG of its own) has a frame header of 160 x 120.
    const Bytes exif = Bytes{0xFF, 0xE1, 0x00, 0x11} + kSoi + frame(0xC0, 160, 120);
    const Case cases[] = {
        {"frame right after SOI", kSoi + frame(0xC0, 47, 33), 47, 33},
        {"after APP0 and DHT", kSoi + kApp0 + kDht + frame(0xC1, 300, 200), 300, 200},
        {"thumbnail in Exif is not the picture", kSoi + exif + frame(0xC0, 4000, 3000), 4000, 3000},
        {"fill bytes before a marker", kSoi + Bytes{0xFF, 0xFF} + frame(0xC2, 9, 8), 9, 8},
        {"no frame header", kSoi + kApp0 + Bytes{0xFF, 0xD9}, 0, 0},
        {"cut inside the frame header", kSoi + Bytes{0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x01}, 0, 0},
        {"segment longer than the data", kSoi + Bytes{0xFF, 0xE0, 0xFF, 0xF0, 0x00}, 0, 0},
        {"scan before any frame", kSoi + Bytes{0xFF, 0xDA, 0x00, 0x02} + frame(0xC0, 5, 5), 0, 0},
        {"empty", {}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto tag = SWFJpegImage::fromJpegData(1, c.jpeg);
        EXPECT_EQ(tag->width(), c.width);
        EXPECT_EQ(tag->height(), c.height);
    }
}

TEST(JpegImage, ReadTagsAreScannedFromTheirOwnData) {
    // DefineBits (code 6) as movies store it: id, then the stream without a prefix.
    SWFJpegImage tag(6, test::le16(3) + kSoi + frame(0xC0, 12, 34) + Bytes{0xFF, 0xD9});
    EXPECT_EQ(tag.width(), 12);
    EXPECT_EQ(tag.height(), 34);
    SWFJpegImage tiny(21, {0x01});
    EXPECT_EQ(tiny.width(), 0);
}

TEST(JpegCheck, AcceptsSequentialAndRefusesProgressiveAndBrokenFiles) {
    const Bytes baseline = encodeJpeg(64, 48, false);
    const Bytes progressive = encodeJpeg(64, 48, true);
    const std::string invalid = "Ungültige JPEG Datei.";
    struct Case {
        const char* name;
        Bytes data;
        std::string message;
    };
    // The baseline picture with its frame header's size (or sample precision) changed.
    const auto patched = [&](std::size_t at, Bytes value) {
        Bytes out = baseline;
        const std::size_t sof = findJpegFrame(out, 2)->offset;
        std::copy(value.begin(), value.end(), out.begin() + static_cast<std::ptrdiff_t>(sof + at));
        return out;
    };
    const Bytes noEnd(baseline.begin(), baseline.end() - 2);
    const Case cases[] = {
        {"baseline", baseline, "accepted"},
        {"baseline grey", encodeJpeg(17, 5, false, 1), "accepted"},
        {"progressive", progressive, "Progressive JPEG wird nicht unterstützt."},
        // The marker walk takes these frames; only decoding tells they hold no picture.
        {"extended sequential frame alone", kSoi + frame(0xC1, 1, 1), invalid},
        {"lossless frame alone", kSoi + frame(0xC3, 1, 1), invalid},
        {"cut in half", Bytes(baseline.begin(), baseline.begin() + baseline.size() / 2), invalid},
        {"cut inside the scan", Bytes(baseline.begin(), baseline.end() - 40), invalid},
        {"no end of image", noEnd, invalid},
        {"0 x 0", patched(4, {0, 0, 0, 0}), invalid},
        {"claims 65535 x 65535", patched(4, {0xFF, 0xFF, 0xFF, 0xFF}),
         "Das Bild pic.jpg ist zu groß: 65535 x 65535 Pixel. Ein Flash-Player zeigt höchstens "
         "8191 Pixel je Seite und 16.777.215 Pixel insgesamt."},
        {"12-bit", patched(3, {12}), invalid},
        {"CMYK", encodeJpeg(8, 8, false, 4), invalid},
        {"arithmetic coding", kSoi + frame(0xC9, 1, 1), invalid},
        {"empty", {}, invalid},
        {"only SOI", kSoi, invalid},
        {"cut in the first segment", Bytes(baseline.begin(), baseline.begin() + 12), invalid},
        {"segments but no frame", kSoi + kApp0 + Bytes{0xFF}, invalid},
        {"not a JPEG", Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}, invalid},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(checkMessage(c.data), c.message);
    }
}

TEST(PictureFile, KindComesFromTheEndingInAnyCase) {
    EXPECT_EQ(pictureKind("a.png"), PictureKind::Png);
    EXPECT_EQ(pictureKind("A.PNG"), PictureKind::Png);
    EXPECT_EQ(pictureKind("a.Jpg"), PictureKind::Jpeg);
    EXPECT_EQ(pictureKind("dir.png/a.JPEG"), PictureKind::Jpeg);
    EXPECT_EQ(pictureKind("a.gif"), PictureKind::Other);
    EXPECT_EQ(pictureKind("png"), PictureKind::Other);
    EXPECT_EQ(pictureKind("a.jpeg.bak"), PictureKind::Other);
}

TEST(PictureFile, CheckDependsOnTheKind) {
    TempDir dir;
    const Bytes progressive = encodeJpeg(8, 8, true);
    auto message = [](const std::string& path) -> std::string {
        try {
            checkPictureFile(path);
        } catch (const FileException& e) {
            EXPECT_EQ(e.getFileName(), path);
            return e.getMessage();
        }
        return "accepted";
    };
    EXPECT_EQ(message(dir.write("p.JPEG", progressive)), "Progressive JPEG wird nicht unterstützt.");
    EXPECT_EQ(message(dir.write("b.jpg", encodeJpeg(8, 8, false))), "accepted");
    EXPECT_EQ(message(dir.file("missing.jpg")), "Ungültige JPEG Datei.");
    // Other endings are not checked; a PNG is decoded instead.
    EXPECT_EQ(message(dir.write("p.gif", progressive)), "accepted");
    EXPECT_EQ(message(dir.write("p.png", progressive)).rfind("Ungültige PNG Datei: " + dir.file("p.png"), 0), 0u);
    EXPECT_EQ(message(dir.file("missing.png")), "Datei " + dir.file("missing.png") + " nicht gefunden.");
}

}  // namespace
}  // namespace tarvenox
