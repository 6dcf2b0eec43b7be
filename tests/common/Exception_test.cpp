#include "common/Exception.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tarvenox {
namespace {

TEST(Exception, WhatComposesMessageLineAndFileOnce) {
    FileException e("Progressive JPEG wird nicht unterstützt.", "pic.jpg", 416, "JpegCheck.cpp");
    const char* first = e.what();
    EXPECT_STREQ(first, "Progressive JPEG wird nicht unterstützt., line: 416, file: JpegCheck.cpp");
    // The same text, from the same storage: composed only once.
    EXPECT_EQ(e.what(), first);
    // The user sees the message alone; the file name is kept apart.
    EXPECT_EQ(e.getMessage(), "Progressive JPEG wird nicht unterstützt.");
    EXPECT_EQ(e.getFileName(), "pic.jpg");
}

TEST(Exception, CopiesCarryTheComposedText) {
    Exception original("m", 7, "a.cpp");
    original.what();
    Exception copy = original;
    EXPECT_STREQ(copy.what(), "m, line: 7, file: a.cpp");
    EXPECT_NE(copy.what(), original.what());
}

TEST(Exception, EmptyMessageStillNamesLineAndFile) { EXPECT_STREQ(Exception("", -1, "").what(), ", line: -1, file: "); }

TEST(Exception, IsCaughtAsAStandardException) {
    try {
        throw FileException("Ungültige JPEG Datei.", "x.jpg", 1, "f.cpp");
    } catch (const std::exception& e) {
        EXPECT_EQ(std::strncmp(e.what(), "Ungültige JPEG Datei., line: 1", 30), 0);
    }
}

}  // namespace
}  // namespace tarvenox
