#include "swf/RecordHeader.h"

#include <gtest/gtest.h>

namespace tarvenox {
namespace {

TEST(RecordHeader, WrittenHeadersReadBackWithTheirCodeLengthAndSize) {
    struct Case {
        TagCode code;
        std::uint32_t length;
        Bytes bytes;
    };
    const Case cases[] = {
        {TagCode::ShowFrame, 0, {0x40, 0x00}},
        {TagCode::DoAction, 62, {0x3E, 0x03}},
        {TagCode::DoAction, 63, {0x3F, 0x03, 63, 0, 0, 0}},
        {TagCode::DefineBitsJPEG2, 0x12345678, {0x7F, 0x05, 0x78, 0x56, 0x34, 0x12}},
        // A code no name is given for keeps its number.
        {static_cast<TagCode>(1023), 5, {0xC5, 0xFF}},
    };
    for (const auto& c : cases) {
        Bytes written;
        writeRecordHeader(written, c.code, c.length);
        EXPECT_EQ(written, c.bytes) << c.length;
        EXPECT_EQ(recordHeaderSize(c.length), c.bytes.size()) << c.length;
        Bytes followed = written;
        followed.push_back(0xEE);  // the body's first byte is not part of the header
        const RecordHeader read = readRecordHeader(followed);
        EXPECT_TRUE(read.codeRead);
        EXPECT_EQ(read.code, c.code) << c.length;
        EXPECT_EQ(read.length, c.length);
        EXPECT_EQ(read.size, c.bytes.size());
    }
}

TEST(RecordHeader, DataEndingInsideAHeaderSaysHowFarItGot) {
    const RecordHeader empty = readRecordHeader(Bytes{0x3F});
    EXPECT_FALSE(empty.codeRead);
    EXPECT_EQ(empty.size, 0);

    // The long length is cut: the code is known, the length is not.
    const RecordHeader cut = readRecordHeader(Bytes{0x3F, 0x03, 63, 0, 0});
    EXPECT_TRUE(cut.codeRead);
    EXPECT_EQ(cut.code, TagCode::DoAction);
    EXPECT_EQ(cut.size, 0);
}

}  // namespace
}  // namespace tarvenox
