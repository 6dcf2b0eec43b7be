// Writing a movie: its bytes, its file and the pieces copied from the file it was read from.
#include "swf/SWFWriter.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "common/Texts.h"
#include "support/MovieBuilder.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "swf/SWFBackgroundColor.h"
#include "swf/SWFReader.h"

namespace tarvenox {
namespace {

using test::operator+;
using test::le16;
using test::MovieBuilder;
using test::TempDir;

// The bytes written to fd by another thread, read until the writer closes it.
Bytes readAll(int fd, const std::function<void()>& write) {
    Bytes out;
    std::thread reader([&] {
        std::uint8_t buffer[4096];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) out.insert(out.end(), buffer, buffer + n);
    });
    write();
    reader.join();
    return out;
}

// A movie read from its file leaves in the file the bodies it does not use, and writes
// them from there, to a file or to a pipe: the bytes are those of the same movie read
// from memory. Bodies either side of the size read with the tag headers, a short body
// under a long header, a changed tag among unchanged ones, bytes after the End tag.
TEST(SWFWriter, AMovieReadFromItsFileWritesWhatItWouldFromMemory) {
    TempDir dir;
    const Bytes stored = MovieBuilder()
                             .background(1, 2, 3)
                             .tag(20, le16(2) + Bytes(4094, 0x11))
                             .tag(20, le16(3) + Bytes(4095, 0x22))
                             .tag(9, Bytes{4, 5, 6}, true)
                             .tag(777, Bytes(100'000, 0x33))
                             .showFrame()
                             .trailer(Bytes{0xDE, 0xAD})
                             .build();
    SWFFile fromFile = test::readMovie(dir.write("in.swf", stored));
    SWFFile fromMemory = test::readMovie(stored, "in.swf");
    for (SWFFile* movie : {&fromFile, &fromMemory}) setBackgroundColor(*movie, 0x102030);
    ASSERT_EQ(fromFile.tags().size(), fromMemory.tags().size());
    for (std::size_t i = 0; i < fromFile.tags().size(); ++i) {
        const ByteSpan a = fromFile.tags()[i]->body();
        const ByteSpan b = fromMemory.tags()[i]->body();
        EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end())) << i;
    }
    const Bytes expected = serializeSWF(fromMemory);

    ASSERT_FALSE(writeSWF(fromFile, dir.file("out.swf")).failed());
    EXPECT_EQ(test::readBytes(dir.file("out.swf")), expected);
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const Bytes piped = readAll(pipe[0], [&] {
        EXPECT_FALSE(movieBytes(fromFile).writeTo(pipe[1], false).failed());
        ::close(pipe[1]);
    });
    ::close(pipe[0]);
    EXPECT_EQ(piped, expected);
}

// A file cut short after the movie was read is not written from, whether the cut is
// found when a body is first read or when the bytes are copied.
TEST(SWFWriter, AMovieWhoseFileWasCutShortIsNotWritten) {
    TempDir dir;
    const Bytes stored = MovieBuilder().tag(20, le16(1) + Bytes(50'000, 0x11)).showFrame().build();
    const std::string target = dir.write("out.swf", std::string("keep me"));
    for (const bool bodyUsed : {false, true}) {
        SCOPED_TRACE(bodyUsed);
        const std::string path = dir.write("in.swf", stored);
        SWFFile movie = test::readMovie(path);
        ASSERT_EQ(::truncate(path.c_str(), 1000), 0);
        if (bodyUsed) {
            EXPECT_EQ(movie.tags()[0]->body()[40'000], 0);
        }
        const Report written = writeSWF(movie, target);
        EXPECT_TRUE(written.failed());
        const std::string& error = written.reason();
        EXPECT_NE(error.find(bodyUsed ? text("movie.changedWhileRead", {target}) : text("file.cutShortMeanwhile")),
                  std::string::npos)
            << error;
        EXPECT_EQ(test::readText(target), "keep me");
    }
    // No temporary file is left beside the target.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(SWFWriter, WritingNormalisesHeadersLengthAndTrailer) {
    // A short body stored with a long record header, and bytes after the End tag.
    Bytes stored = MovieBuilder().tag(9, Bytes{1, 2, 3}, true).trailer(Bytes{0xDE, 0xAD}).build();
    Bytes expected = MovieBuilder().tag(9, Bytes{1, 2, 3}).build();
    SWFFile movie = test::readMovie(stored, "movie.swf");
    ASSERT_EQ(movie.tags().size(), 1u);
    EXPECT_EQ(movie.tags()[0]->length(), 3u);
    EXPECT_EQ(serializeSWF(movie), expected);
}

TEST(SWFWriter, FileLengthIsHeaderPlusTagsPlusEndTag) {
    // Ten tags of 98 bytes each (100 with their short headers): 1000 bytes of tags.
    MovieBuilder narrow(6, SWFRect{0, 11000, 0, 8000, 0});  // Nbits 15: 21-byte header
    MovieBuilder wide(6, SWFRect{0, 40000, 0, 8000, 0});    // Nbits 17: 22-byte header
    for (int i = 0; i < 10; ++i) {
        narrow.tag(2, Bytes(60, 0));
        narrow.tag(1, Bytes(36, 0));
        wide.tag(2, Bytes(60, 0));
        wide.tag(1, Bytes(36, 0));
    }
    SWFFile a = test::readMovie(narrow.build(), "a.swf");
    SWFFile b = test::readMovie(wide.build(), "b.swf");
    Bytes aBytes = serializeSWF(a);
    Bytes bBytes = serializeSWF(b);
    EXPECT_EQ(aBytes.size(), 1023u);
    EXPECT_EQ(a.fileLengthField(), 1023u);
    EXPECT_EQ(bBytes.size(), 1024u);
    EXPECT_EQ(b.fileLengthField(), 1024u);
}

TEST(SWFWriter, MovieWithoutTagsIsHeaderAndEndTag) {
    Bytes original = MovieBuilder().build();
    SWFFile movie = test::readMovie(original, "empty.swf");
    EXPECT_TRUE(movie.tags().empty());
    Bytes out = serializeSWF(movie);
    EXPECT_EQ(out.size(), 21u + 2u);
    EXPECT_EQ(out[21], 0);
    EXPECT_EQ(out[22], 0);
}

TEST(SWFWriter, MovieWithoutEndTagIsWrittenWithOne) {
    Bytes whole = MovieBuilder().background(1, 2, 3).showFrame().build();
    SWFFile movie = test::readMovie(test::endedAt(whole, whole.size() - 2), "no-end.swf");
    EXPECT_TRUE(movie.endTagMissing());
    EXPECT_EQ(movie.tags().size(), 2u);
    EXPECT_EQ(serializeSWF(movie), whole);
}

TEST(SWFWriter, WriteReplacesTheTargetWhole) {
    TempDir dir;
    std::string source = dir.write("in.swf", MovieBuilder().background(1, 2, 3).build());
    std::string target = dir.write("out.swf", std::string(5000, 'x'));
    SWFFile movie = test::readMovie(source);
    setBackgroundColor(movie, 0x102030);
    ASSERT_FALSE(writeSWF(movie, target).failed());
    EXPECT_EQ(test::readBytes(target), MovieBuilder().background(0x10, 0x20, 0x30).build());
    EXPECT_TRUE(writeSWF(movie, dir.file("no-such-folder/out.swf")).failed());
}

}  // namespace
}  // namespace tarvenox
