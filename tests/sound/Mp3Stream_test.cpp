// Finding the first frame of an MP3 file and counting its samples.
#include "sound/Mp3Stream.h"

#include <gtest/gtest.h>

#include "support/MovieBuilder.h"
#include "support/Mp3Builder.h"

namespace tarvenox {
namespace {

using test::operator+;
using test::id3v1Tag;
using test::id3v2Tag;
using test::infoFrame;
using test::kMpeg1Layer3_128k_44100_Joint;
using test::kMpeg2Layer3_64k_22050_Mono;
using test::mp3Frame;
using test::mp3Frames;

// Three frames, then zeros: the walk stops short, so only the estimate from the
// bitrate is left.
using test::headerThenZeros;

TEST(Mp3Stream, EstimateFromTheFirstFrameBitrate) {
    // 1,000,000 bytes from FF FB 90 64: 1000000 × 44100 × 0.008 ÷ 128.
    Mp3Stream big = readMp3Stream(headerThenZeros({0xFF, 0xFB, 0x90, 0x64}, 1000000));
    EXPECT_EQ(big.problem, Mp3Stream::Problem::None);
    EXPECT_EQ(big.offset, 0u);
    EXPECT_EQ(big.sampleCount, 2756250u);
    EXPECT_EQ(big.countSource, Mp3Stream::CountSource::Estimate);

    // 100,000 bytes from FF F3 80 C0: 100000 × 22050 × 0.008 ÷ 64.
    Mp3Stream small = readMp3Stream(headerThenZeros({0xFF, 0xF3, 0x80, 0xC0}, 100000));
    EXPECT_EQ(small.sampleCount, 275625u);
    EXPECT_EQ(small.countSource, Mp3Stream::CountSource::Estimate);
}

TEST(Mp3Stream, SearchStepsOverPrefixesAndRefusedHeaders) {
    // A 417-byte ID3v2 tag: the sound starts after it, and the estimate counts only
    // the bytes from the first frame on.
    Bytes tagged = id3v2Tag(417) + headerThenZeros({0xFF, 0xFB, 0x90, 0x64}, 100000);
    Mp3Stream stream = readMp3Stream(tagged);
    EXPECT_EQ(stream.offset, 417u);
    EXPECT_EQ(stream.sampleCount, 275625u);  // 100000 × 44100 × 0.008 ÷ 128

    // FF E0 (reserved layer) and FF FF (Layer I) are no headers; the search moves on
    // one byte at a time and finds FF FB 90 64 inside the Layer I candidate.
    Mp3Stream shifted = readMp3Stream(headerThenZeros({0x00, 0xFF, 0xE0, 0xFF, 0xFF, 0xFB, 0x90, 0x64}, 64));
    EXPECT_EQ(shifted.offset, 4u);
    EXPECT_EQ(shifted.first.version, MpegAudioHeader::Mpeg1);
}

TEST(Mp3Stream, DataWithoutAnAcceptableHeaderIsRefused) {
    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}},
        {"zeros", Bytes(5000, 0)},
        {"only refused headers", Bytes{0xFF, 0xE0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        // A header cut short by the end of the file is no frame.
        {"header cut short", Bytes{0x00, 0xFF, 0xFB, 0x90}},
        // A sync word turns up by chance in any data: fewer than three chained frames,
        // or frames of different streams, are no MP3.
        {"one header, then zeros", Bytes{0xFF, 0xFB, 0x90, 0x64} + Bytes(5000, 0)},
        {"two frames", mp3Frames(kMpeg1Layer3_128k_44100_Joint, 2)},
        {"the third frame of another stream",
         mp3Frames(kMpeg1Layer3_128k_44100_Joint, 2) + mp3Frame(kMpeg2Layer3_64k_22050_Mono)},
    };
    for (const auto& [name, data] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(readMp3Stream(data).problem, Mp3Stream::Problem::NoFrame);
    }
}

TEST(Mp3Stream, FreeFormatFirstFrameIsRefused) {
    Mp3Stream stream = readMp3Stream(id3v2Tag(20) + headerThenZeros({0xFF, 0xFB, 0x00, 0x64}, 2000));
    EXPECT_EQ(stream.problem, Mp3Stream::Problem::FreeFormat);
    EXPECT_EQ(stream.offset, 20u);
}

TEST(Mp3Stream, InfoFrameCountIsExact) {
    // A variable-bitrate file: the Xing frame declares 1000 audio frames, whatever
    // the bitrate of the first frame would suggest.
    Bytes vbr = infoFrame(kMpeg1Layer3_128k_44100_Joint, 1000) + mp3Frames(0xFFFBE064, 3);  // then frames at 320 kbit/s
    Mp3Stream stream = readMp3Stream(vbr);
    EXPECT_EQ(stream.sampleCount, 1000u * 1152);
    EXPECT_EQ(stream.countSource, Mp3Stream::CountSource::InfoFrame);

    // MPEG 2 Layer III frames hold 576 samples; the mono marker sits 4 + 9 bytes in.
    Bytes lame =
        id3v2Tag(100) + infoFrame(kMpeg2Layer3_64k_22050_Mono, 250, "Info") + mp3Frames(kMpeg2Layer3_64k_22050_Mono, 2);
    Mp3Stream info = readMp3Stream(lame);
    EXPECT_EQ(info.offset, 100u);
    EXPECT_EQ(info.sampleCount, 250u * 576);
}

TEST(Mp3Stream, FrameWalkCountsWholeFrames) {
    const Bytes ten = mp3Frames(kMpeg1Layer3_128k_44100_Joint, 10);
    const Bytes padded = mp3Frame(0xFFFB9264);  // 418 bytes: the walk must follow the padding
    Bytes cutShort = mp3Frame(kMpeg1Layer3_128k_44100_Joint);
    cutShort.resize(300);
    const std::pair<const char*, Bytes> walked[] = {
        {"frames to the end", ten},
        {"padded frame between", ten + padded + ten},
        {"ID3v1 tag after", ten + id3v1Tag()},
        {"less than a frame of trailing bytes", ten + Bytes(416, 0x55)},
        {"last frame cut short", ten + cutShort},
    };
    const std::uint32_t expected[] = {10, 21, 10, 10, 10};
    for (std::size_t i = 0; i < std::size(walked); ++i) {
        SCOPED_TRACE(walked[i].first);
        Mp3Stream stream = readMp3Stream(id3v2Tag(64) + walked[i].second);
        EXPECT_EQ(stream.countSource, Mp3Stream::CountSource::FrameWalk);
        EXPECT_EQ(stream.sampleCount, expected[i] * 1152);
    }
}

TEST(Mp3Stream, InfoFrameWithoutCountIsWalkedButNotCounted) {
    // Flags without the frame-count bit: the walk counts the five audio frames only.
    Bytes data = infoFrame(kMpeg1Layer3_128k_44100_Joint, std::nullopt) + mp3Frames(kMpeg1Layer3_128k_44100_Joint, 5);
    Mp3Stream stream = readMp3Stream(data);
    EXPECT_EQ(stream.countSource, Mp3Stream::CountSource::FrameWalk);
    EXPECT_EQ(stream.sampleCount, 5u * 1152);

    // A declared count of zero, or one beyond the 32-bit sample count, is not believed.
    for (std::uint32_t declared : {0u, 0xFFFFFFFFu}) {
        Bytes lying = infoFrame(kMpeg1Layer3_128k_44100_Joint, declared) + mp3Frames(kMpeg1Layer3_128k_44100_Joint, 5);
        EXPECT_EQ(readMp3Stream(lying).sampleCount, 5u * 1152) << declared;
    }
}

TEST(Mp3Stream, WalkThatStopsShortFallsBackToTheEstimate) {
    const Bytes ten = mp3Frames(kMpeg1Layer3_128k_44100_Joint, 10);
    const std::pair<const char*, Bytes> cases[] = {
        {"a frame's worth of garbage after", ten + Bytes(417, 0x55)},
        // A decoder would take a change of sampling rate for a false sync.
        {"sampling rate changes", ten + mp3Frames(0xFFFB9464, 2)},
        {"garbage between frames", ten + Bytes(3, 0) + ten},
    };
    for (const auto& [name, data] : cases) {
        SCOPED_TRACE(name);
        Mp3Stream stream = readMp3Stream(data);
        EXPECT_EQ(stream.countSource, Mp3Stream::CountSource::Estimate);
        EXPECT_EQ(stream.sampleCount, estimateSampleCount(data.size(), stream.first));
    }
}

TEST(Mp3Stream, InfoMarkerOnlyWhereLayerIIISideInformationEnds) {
    // A Layer II frame carrying the marker at the Layer III place is plain audio.
    Bytes layer2 = mp3Frame(0xFFFDE464);
    const std::string marker = "Xing";
    std::copy(marker.begin(), marker.end(), layer2.begin() + 36);
    EXPECT_FALSE(isInfoFrame(layer2, *MpegAudioHeader::parse(0xFFFDE464)));

    // A file that ends inside the Xing frame is read no further than its end.
    Bytes cut = infoFrame(kMpeg1Layer3_128k_44100_Joint, 7);
    for (std::size_t size : {4u, 38u, 40u, 44u, 47u}) {
        SCOPED_TRACE(size);
        Bytes data(cut.begin(), cut.begin() + static_cast<std::ptrdiff_t>(size));
        Mp3Stream stream = readMp3Stream(data);
        EXPECT_EQ(stream.countSource, Mp3Stream::CountSource::Estimate);
    }
}

TEST(Mp3Stream, EstimateStaysWithinTheSampleCountField) {
    // 8 kbit/s at 24000 Hz gives 24 samples per byte: 200 MB overflow 32 bits.
    auto header = MpegAudioHeader::parse(0xFFF314C0);
    ASSERT_TRUE(header);
    EXPECT_EQ(estimateSampleCount(200'000'000, *header), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace tarvenox
