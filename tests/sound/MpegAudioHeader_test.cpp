// MPEG audio frame headers: which are taken, and the tables behind their fields.
#include "sound/MpegAudioHeader.h"

#include <gtest/gtest.h>

namespace tarvenox {
namespace {

struct HeaderCase {
    const char* name;
    std::uint32_t word;
    int bitrate;
    int samplingRate;
    int samplesPerFrame;
    std::size_t frameLength;
};

// Each case differs from a neighbour in one field, so a table mix-up shows.
const HeaderCase kHeaders[] = {
    // FF FB 90 64: MPEG 1, Layer III, no CRC, index 9, 44100 Hz, joint stereo.
    {"mpeg1_layer3_128k", 0xFFFB9064, 128, 44100, 1152, 417},
    // The same with the padding bit (byte 2 bit 1) set.
    {"mpeg1_layer3_128k_padded", 0xFFFB9264, 128, 44100, 1152, 418},
    // Index 1, 32000 Hz: the smallest Layer III frame of MPEG 1.
    {"mpeg1_layer3_32k_32000", 0xFFFB1864, 32, 32000, 1152, 144},
    // FF FD: Layer II; index 14 is 384 kbit/s there but 320 in Layer III.
    {"mpeg1_layer2_384k_48000", 0xFFFDE464, 384, 48000, 1152, 1152},
    {"mpeg1_layer3_320k_48000", 0xFFFBE464, 320, 48000, 1152, 960},
    // FF F3 80 C0: MPEG 2, Layer III, index 8, 22050 Hz, single channel.
    {"mpeg2_layer3_64k_22050", 0xFFF380C0, 64, 22050, 576, 208},
    // FF F5: MPEG 2 Layer II keeps 1152 samples per frame.
    {"mpeg2_layer2_160k_24000", 0xFFF5E4C0, 160, 24000, 1152, 960},
    // FF E3: MPEG 2.5, Layer III, index 8, 8000 Hz.
    {"mpeg25_layer3_64k_8000", 0xFFE388C0, 64, 8000, 576, 576},
    {"mpeg25_layer3_8k_11025", 0xFFE310C0, 8, 11025, 576, 52},
    // Bitrate index 0: free format, no length from the header.
    {"mpeg1_layer3_free_format", 0xFFFB0064, 0, 44100, 1152, 0},
};

TEST(MpegAudioHeader, TablesGiveBitrateRateAndFrameLength) {
    for (const auto& c : kHeaders) {
        SCOPED_TRACE(c.name);
        auto header = MpegAudioHeader::parse(c.word);
        ASSERT_TRUE(header);
        EXPECT_EQ(header->bitrate(), c.bitrate);
        EXPECT_EQ(header->samplingRate(), c.samplingRate);
        EXPECT_EQ(header->samplesPerFrame(), c.samplesPerFrame);
        EXPECT_EQ(header->frameLength(), c.frameLength);
    }
}

TEST(MpegAudioHeader, RefusesWhatIsNoLayerIIOrIIIHeader) {
    const std::pair<const char*, std::uint32_t> refused[] = {
        {"sync bit 21 clear", 0xFFDB9064},
        {"reserved version 1", 0xFFEB9064},
        {"reserved layer (FF E0)", 0xFFE09064},
        {"Layer I (FF FF)", 0xFFFF9064},
        {"bitrate index 15", 0xFFFBF064},
        {"sampling rate index 3", 0xFFFB9C64},
        {"zeros", 0x00000000},
    };
    for (const auto& [name, word] : refused) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(MpegAudioHeader::parse(word));
    }
}

TEST(MpegAudioHeader, XingMarkerFollowsTheSideInformation) {
    EXPECT_EQ(MpegAudioHeader::parse(0xFFFB9064)->xingOffset(), 36u);  // MPEG 1 stereo
    EXPECT_EQ(MpegAudioHeader::parse(0xFFFB90C4)->xingOffset(), 21u);  // MPEG 1 mono
    EXPECT_EQ(MpegAudioHeader::parse(0xFFF38044)->xingOffset(), 21u);  // MPEG 2 stereo
    EXPECT_EQ(MpegAudioHeader::parse(0xFFE380C4)->xingOffset(), 13u);  // MPEG 2.5 mono
}

}  // namespace
}  // namespace tarvenox
