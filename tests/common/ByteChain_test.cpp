// Bytes written one after another from where they lie.
#include "common/ByteChain.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <thread>

#include "common/FileIO.h"
#include "support/TempDir.h"

namespace tarvenox {
namespace {

// Thousands of pieces of every kind, more than one writev takes, written to a file and
// to a pipe (which takes them a part at a time, and which the kernel cannot copy a file
// range to): the bytes come out in order, as flatten() gives them.
TEST(ByteChain, ManyPiecesOfEveryKindAreWrittenInOrder) {
    test::TempDir dir;
    Bytes fileBytes(300'000);
    for (std::size_t i = 0; i < fileBytes.size(); ++i) fileBytes[i] = static_cast<std::uint8_t>(i * 7);
    const auto file = ByteSource::openFile(dir.write("source.bin", fileBytes)).take();
    const auto memory = ByteSource::inMemory(Bytes(5000, 0x5A));
    ASSERT_TRUE(file);
    const Bytes view = {1, 2, 3};
    ByteChain chain;
    Bytes expected;
    auto add = [&](ByteSpan bytes) { expected.insert(expected.end(), bytes.begin(), bytes.end()); };
    for (std::uint64_t i = 0; i < 3000; ++i) {
        const Bytes own = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8)};
        chain.appendCopy(own);
        add(own);
        chain.appendView(view);
        add(view);
        // Ranges that continue one another, and ranges that do not.
        const std::uint64_t at = (i * 97) % 299'000;
        chain.appendRange(file, at, 60);
        chain.appendRange(file, at + 60, 40);
        add(ByteSpan(fileBytes).subspan(at, 100));
        chain.appendRange(memory, i % 4000, 3);
        add(Bytes(3, 0x5A));
    }
    EXPECT_EQ(chain.size(), expected.size());
    EXPECT_EQ(chain.flatten(), expected);

    ASSERT_FALSE(writeFileAtomically(dir.file("out.bin"), chain).failed());
    EXPECT_EQ(test::readBytes(dir.file("out.bin")), expected);
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    Bytes piped;
    std::thread reader([&] {
        std::uint8_t buffer[4096];
        for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
            piped.insert(piped.end(), buffer, buffer + n);
    });
    EXPECT_FALSE(chain.writeTo(pipe[1], false).failed());
    ::close(pipe[1]);
    reader.join();
    ::close(pipe[0]);
    EXPECT_EQ(piped, expected);
}

}  // namespace
}  // namespace tarvenox
