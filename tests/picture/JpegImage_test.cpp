// JPEG pictures: the DefineBitsJPEG2 body, the size scan and the check at pick time.
#include <gtest/gtest.h>

#include "common/Exception.h"
#include "common/Texts.h"
#include "picture/JpegCheck.h"
#include "picture/JpegDecoder.h"
#include "picture/PictureFile.h"
#include "support/MovieBuilder.h"
#include "support/PictureFiles.h"
#include "support/TempDir.h"
#include "support/TextOpening.h"
#include "swf/JpegFrame.h"
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
    return {0xFF,
            marker,
            0x00,
            0x0B,
            0x08,
            std::uint8_t(height >> 8),
            std::uint8_t(height),
            std::uint8_t(width >> 8),
            std::uint8_t(width),
            0x01,
            0x01,
            0x11,
            0x00};
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
    EXPECT_EQ(tag->code(), TagCode::DefineBitsJPEG2);
    ASSERT_EQ(tag->length(), jpeg.size() + 8);
    EXPECT_EQ(Bytes(tag->body().begin(), tag->body().begin() + 6), (Bytes{0x34, 0x12, 0xFF, 0xD9, 0xFF, 0xD8}));
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
    SWFJpegImage tag(TagCode::DefineBits, test::le16(3) + kSoi + frame(0xC0, 12, 34) + Bytes{0xFF, 0xD9});
    EXPECT_EQ(tag.width(), 12);
    EXPECT_EQ(tag.height(), 34);
    SWFJpegImage tiny(TagCode::DefineBitsJPEG2, {0x01});
    EXPECT_EQ(tiny.width(), 0);

    // DefineBitsJPEG3 and 4: the stream after the alpha channel's offset (and the
    // deblocking filter), up to the alpha channel, whose bytes are no frame header.
    const Bytes stream = kSoi + frame(0xC0, 12, 34) + Bytes{0xFF, 0xD9};
    const Bytes alpha = kSoi + frame(0xC0, 99, 99);
    const std::uint32_t length = static_cast<std::uint32_t>(stream.size());
    SWFJpegImage jpeg3(TagCode::DefineBitsJPEG3, test::le16(3) + test::le32(length) + stream + alpha);
    EXPECT_EQ(jpeg3.width(), 12);
    EXPECT_EQ(jpeg3.height(), 34);
    SWFJpegImage jpeg4(TagCode::DefineBitsJPEG4, test::le16(3) + test::le32(length) + test::le16(0) + stream + alpha);
    EXPECT_EQ(jpeg4.width(), 12);
    SWFJpegImage frameInAlpha(TagCode::DefineBitsJPEG3, test::le16(3) + test::le32(2) + kSoi + frame(0xC0, 99, 99));
    EXPECT_EQ(frameInAlpha.width(), 0);
    SWFJpegImage pastTheEnd(TagCode::DefineBitsJPEG3, test::le16(3) + test::le32(length + 1) + stream);
    EXPECT_EQ(pastTheEnd.width(), 0);
}

TEST(JpegCheck, AcceptsSequentialAndRefusesProgressiveAndBrokenFiles) {
    const Bytes baseline = encodeJpeg(64, 48, false);
    const Bytes progressive = encodeJpeg(64, 48, true);
    const std::string invalid = text("jpeg.invalid");
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
        {"progressive", progressive, text("jpeg.progressive")},
        // The marker walk takes these frames; only decoding tells they hold no picture.
        {"extended sequential frame alone", kSoi + frame(0xC1, 1, 1), invalid},
        {"lossless frame alone", kSoi + frame(0xC3, 1, 1), invalid},
        {"cut in half", Bytes(baseline.begin(), baseline.begin() + baseline.size() / 2), invalid},
        {"cut inside the scan", Bytes(baseline.begin(), baseline.end() - 40), invalid},
        {"no end of image", noEnd, invalid},
        {"0 x 0", patched(4, {0, 0, 0, 0}), invalid},
        {"claims 65535 x 65535", patched(4, {0xFF, 0xFF, 0xFF, 0xFF}),
         text("picture.tooLarge", {"pic.jpg", "65535 x 65535"})},
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
    EXPECT_EQ(message(dir.write("p.JPEG", progressive)), text("jpeg.progressive"));
    EXPECT_EQ(message(dir.write("b.jpg", encodeJpeg(8, 8, false))), "accepted");
    EXPECT_EQ(message(dir.file("missing.jpg")), text("jpeg.invalid"));
    // Other endings are not checked; a PNG is decoded instead.
    EXPECT_EQ(message(dir.write("p.gif", progressive)), "accepted");
    EXPECT_EQ(message(dir.write("p.png", progressive)).rfind(test::textOpening("png.invalid", dir.file("p.png")), 0),
              0u);
    EXPECT_EQ(message(dir.file("missing.png")), text("picture.notFound", {dir.file("missing.png")}));
}

// Four flat quadrants (red, green, blue, white), so that a scaled copy can be checked
// at their centres.
Bytes quadrants(int width, int height) {
    const std::uint8_t colours[4][3] = {{220, 30, 30}, {30, 200, 40}, {20, 40, 210}, {250, 250, 250}};
    Bytes rgb;
    rgb.reserve(std::size_t(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto* c = colours[(y * 2 / height) * 2 + x * 2 / width];
            rgb.insert(rgb.end(), c, c + 3);
        }
    }
    return rgb;
}

// The preview's copy of a large JPEG: made by the decoding that checks the file, at the
// smallest M/8 scale whose longer side reaches kSmallerSide, with the picture's colours;
// none for a picture small enough, one that fails the check, or when not asked for.
TEST(PictureFile, LargeJpegGetsASmallerCopyForThePreview) {
    TempDir dir;
    const Bytes large = test::encodeJpegRgb(3200, 2000, quadrants(3200, 2000), 92);
    struct Case {
        const char* name;
        Bytes data;
        PreviewCopy preview;
        std::uint16_t width, height;  // of the copy; 0 for none
    };
    const Case cases[] = {
        // 8 * 1024 / 3200 rounds up to 3 eighths: 1200 x 750.
        {"3200 x 2000", large, PreviewCopy::Yes, 1200, 750},
        {"not asked for", large, PreviewCopy::No, 0, 0},
        // 5 eighths, the width rounded up.
        {"portrait grey", encodeJpeg(300, 2000, false, 1), PreviewCopy::Yes, 188, 1250},
        // 7 eighths would leave less than 1024.
        {"1100 wide", encodeJpeg(1100, 600, false), PreviewCopy::Yes, 0, 0},
        {"1024 wide", encodeJpeg(1024, 600, false), PreviewCopy::Yes, 0, 0},
        {"cut short", Bytes(large.begin(), large.end() - 300), PreviewCopy::Yes, 0, 0},
        {"progressive", encodeJpeg(2048, 64, true), PreviewCopy::Yes, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.write("picture.jpg", c.data);
        Result<PictureConversion> converted = convertPicture(path, c.preview);
        ASSERT_TRUE(converted);
        PictureConversion& conversion = *converted;
        // The movie itself always carries the file's own bytes.
        ASSERT_NE(conversion.image, nullptr);
        EXPECT_EQ(Bytes(conversion.image->body().begin() + 6, conversion.image->body().end() - 2), c.data);
        if (c.width == 0) {
            EXPECT_EQ(conversion.previewImage, nullptr);
            continue;
        }
        ASSERT_NE(conversion.previewImage, nullptr);
        EXPECT_EQ(conversion.previewImage->code(), TagCode::DefineBitsJPEG2);
        EXPECT_EQ(conversion.previewImage->width(), c.width);
        EXPECT_EQ(conversion.previewImage->height(), c.height);
        const ByteSpan body = conversion.previewImage->body();
        const Bytes copy(body.begin() + 6, body.end() - 2);
        EXPECT_FALSE(jpegVerdict(copy, "copy.jpg").failed());
    }
    // The colours survive the scaling and the new encoding.
    Result<PictureConversion> conversion = convertPicture(dir.write("large.jpg", large), PreviewCopy::Yes);
    ASSERT_TRUE(conversion);
    const ByteSpan body = conversion->previewImage->body();
    const Bytes copy(body.begin() + 6, body.end() - 2);
    SmallerPicture decoded;
    // Decoded again the same way: at 7/8 the copy's 1200 still reach kSmallerSide.
    ASSERT_EQ(decodeJpeg(copy, &decoded).verdict, JpegDecodeResult::Verdict::Decodes);
    ASSERT_EQ(decoded.components, 3);
    const auto pixel = [&](std::uint32_t x, std::uint32_t y) {
        const std::uint8_t* p = &decoded.pixels[(y * decoded.width + x) * 3];
        return std::vector<int>{p[0], p[1], p[2]};
    };
    const std::vector<std::vector<int>> expected = {{220, 30, 30}, {30, 200, 40}, {20, 40, 210}, {250, 250, 250}};
    const std::uint32_t xs[2] = {decoded.width / 4, decoded.width * 3 / 4};
    const std::uint32_t ys[2] = {decoded.height / 4, decoded.height * 3 / 4};
    for (int q = 0; q < 4; ++q) {
        const std::vector<int> got = pixel(xs[q % 2], ys[q / 2]);
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], expected[q][c], 12) << "quadrant " << q;
    }
}

}  // namespace
}  // namespace tarvenox
