// Reading a whole file into a byte string.
#include "common/WholeFile.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace tarvenox {
namespace {

TEST(ReadWholeFile, ReturnsEveryByteOrNothing) {
    test::TempDir dir;
    EXPECT_EQ(readWholeFile(dir.write("crlf.txt", std::string("a\r\nb\r\n"))), "a\r\nb\r\n");
    std::string binary("\x00\xFF\x0D", 3);
    EXPECT_EQ(readWholeFile(dir.write("binary", binary)), binary);
    EXPECT_EQ(readWholeFile(dir.write("empty", std::string())), "");
    EXPECT_EQ(readWholeFile(dir.file("missing")), "");
    EXPECT_EQ(readWholeFile(dir.path()), "");
}

}  // namespace
}  // namespace tarvenox
