// The host's end of the bridge to the preview's template movies: what each movie is given,
// how long a movie that the page has left is answered, and the polls held.
#include "ui/web/PreviewBridge.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace tarvenox::web {
namespace {

using namespace std::chrono_literals;

// Loads a movie whose bytes name its number.
std::uint64_t loadMovie(PreviewBridge& preview, const std::string& path) {
    std::uint64_t loaded = 0;
    preview.load(path, [&](std::uint64_t number) {
        loaded = number;
        return std::optional<Bytes>(Bytes{static_cast<std::uint8_t>(number)});
    });
    return loaded;
}

std::string poll(PreviewBridge& preview, std::uint64_t movie, std::uint64_t after) {
    return preview.poll(std::to_string(movie), "after=" + std::to_string(after)).value_or("unknown");
}

// The movie the page replaces plays on until the new one is drawn: it gets what is set
// meanwhile. The new one was built with every value: it gets only what is set after it.
TEST(PreviewBridge, EachMovieGetsWhatIsSetWhileItPlaysAndNothingFromBeforeIt) {
    PreviewBridge preview(1ms, 10s);
    const std::uint64_t first = loadMovie(preview, "/work/card.swf");
    EXPECT_EQ(poll(preview, first, 0), "n=0&l=0&ready=1");
    preview.setVariable("title", "J\xC3\xB6rg & Anna");
    preview.setVariable("message", "a\nb");
    preview.setVariable("title", "J\xC3\xB6rg");
    const std::uint64_t second = loadMovie(preview, "/work/card.swf");
    EXPECT_NE(second, first);
    EXPECT_EQ(poll(preview, first, 0), "s1=2&k1=message&v1=a%0Ab&s2=3&k2=title&v2=J%C3%B6rg&n=2&l=3&ready=1");
    EXPECT_EQ(poll(preview, second, 0), "n=0&l=3&ready=1");
    preview.setVariable("title", "Anna");
    EXPECT_EQ(poll(preview, first, 3), "s1=4&k1=title&v1=Anna&n=1&l=4&ready=1");
    EXPECT_EQ(poll(preview, second, 3), "s1=4&k1=title&v1=Anna&n=1&l=4&ready=1");
    // A poll that is no movie's.
    EXPECT_FALSE(preview.poll("99", "after=0"));
    EXPECT_FALSE(preview.poll("1x", "after=0"));
    EXPECT_FALSE(preview.poll("", ""));
}

TEST(PreviewBridge, ServesTheNewestMovieForItsFileOnlyAndForgetsMoviesLeftQuiet) {
    PreviewBridge preview(1ms, 50ms);
    const std::uint64_t first = loadMovie(preview, "/work/card.swf");
    const std::uint64_t second = loadMovie(preview, "/work/card.swf");
    ASSERT_TRUE(preview.movieFor("/work/card.swf"));
    EXPECT_EQ(*preview.movieFor("/work/card.swf"), Bytes{static_cast<std::uint8_t>(second)});
    EXPECT_FALSE(preview.movieFor("/work/other.swf"));
    // A copy that cannot be made: the file is served as it is, the movies before play on.
    preview.load("/work/card.swf", [](std::uint64_t) { return std::optional<Bytes>(); });
    EXPECT_FALSE(preview.movieFor("/work/card.swf"));
    EXPECT_NE(poll(preview, first, 0), "unknown");
    std::this_thread::sleep_for(100ms);
    preview.setVariable("title", "Anna");
    // The page has moved on from the first; the newest is never forgotten.
    EXPECT_EQ(poll(preview, first, 0), "unknown");
    EXPECT_EQ(poll(preview, second, 0), "s1=1&k1=title&v1=Anna&n=1&l=1&ready=1");
    preview.unload();
    EXPECT_FALSE(preview.movieFor("/work/card.swf"));
}

// A poll with nothing new waits for the next value, one poll a movie and a few in all;
// close() ends the waiting at once, for good.
// Waits, a few seconds at most, until count polls are held: the threads that poll may be
// slow to start on a busy machine.
bool heldBecomes(const PreviewBridge& preview, std::size_t count) {
    for (int i = 0; i < 500 && preview.heldPolls() != count; ++i) std::this_thread::sleep_for(10ms);
    return preview.heldPolls() == count;
}

TEST(PreviewBridge, HoldsAPollUntilSomethingIsSetForItsMovie) {
    PreviewBridge preview(10s, 10s);
    std::vector<std::uint64_t> movies;
    for (std::size_t i = 0; i <= PreviewBridge::maxHeld; ++i) movies.push_back(loadMovie(preview, "/work/card.swf"));
    auto held = std::async(std::launch::async, [&] { return poll(preview, movies[0], 0); });
    ASSERT_TRUE(heldBecomes(preview, 1));
    EXPECT_EQ(held.wait_for(100ms), std::future_status::timeout);
    // A second poll of the same movie (its clip gave up waiting) is answered at once.
    EXPECT_EQ(poll(preview, movies[0], 0), "n=0&l=0&ready=1");
    const auto set = std::chrono::steady_clock::now();
    preview.setVariable("title", "Anna");
    EXPECT_EQ(held.get(), "s1=1&k1=title&v1=Anna&n=1&l=1&ready=1");
    EXPECT_LT(std::chrono::steady_clock::now() - set, 1s);

    std::vector<std::future<std::string>> polls;
    for (std::size_t i = 0; i <= PreviewBridge::maxHeld; ++i) {
        polls.push_back(std::async(std::launch::async, [&, i] { return poll(preview, movies[i], 1); }));
    }
    // All but maxHeld are answered at once.
    ASSERT_TRUE(heldBecomes(preview, PreviewBridge::maxHeld));
    std::size_t answered = 0;
    for (int i = 0; i < 500 && answered == 0; ++i) {
        std::this_thread::sleep_for(10ms);
        for (auto& answer : polls) answered += answer.wait_for(0ms) == std::future_status::ready ? 1 : 0;
    }
    EXPECT_EQ(answered, 1u);
    const auto closed = std::chrono::steady_clock::now();
    preview.close();
    for (auto& answer : polls) EXPECT_EQ(answer.get(), "n=0&l=1&ready=1");
    EXPECT_EQ(poll(preview, movies[0], 1), "n=0&l=1&ready=1");
    EXPECT_LT(std::chrono::steady_clock::now() - closed, 1s);
}

}  // namespace
}  // namespace tarvenox::web
