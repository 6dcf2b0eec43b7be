// The host's end of the interface movie's bridge: what a poll answers, and reads that
// are answered, answered twice or never.
#include "ui/web/SkinBridge.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "support/TempDir.h"

namespace tarvenox::web {
namespace {

using namespace std::chrono_literals;

TEST(SkinBridge, PollsBringEachNameOnceWithItsLatestValueAfterWhatTheMovieHas) {
    SkinBridge skin;
    skin.load("/work/skin.swf", Bytes{'F', 'W', 'S'});
    skin.setVariable("_root.title", "Gr\xC3\xBC\xC3\x9F"
                                    "e & Co=1+1");
    skin.setVariable("_root.editLoaded", "0");
    skin.setVariable("_root.title", "Hallo Welt");
    skin.setVariable("_root.editLoaded", "1");
    // A movie that starts anew gets every name once, in the order last set.
    EXPECT_EQ(skin.poll(""), "s1=3&k1=_root.title&v1=Hallo%20Welt&s2=4&k2=_root.editLoaded&v2=1&n=2&l=4&rn=0&ready=1");
    EXPECT_EQ(skin.poll("after=3"), "s1=4&k1=_root.editLoaded&v1=1&n=1&l=4&rn=0&ready=1");
    EXPECT_EQ(skin.poll("after=4"), "n=0&l=4&rn=0&ready=1");
    // Not a number: as if the movie had nothing.
    EXPECT_EQ(skin.poll("after=x4"), skin.poll(""));
    skin.setVariable("_root.title", "Gr\xC3\xBC\xC3\x9F"
                                    "e & Co=1+1");
    EXPECT_EQ(skin.poll("after=4"), "s1=5&k1=_root.title&v1=Gr%C3%BC%C3%9Fe%20%26%20Co%3D1%2B1&n=1&l=5&rn=0&ready=1");

    // Another movie loaded: what was set for the first is not its business.
    skin.load("/work/skin.swf", Bytes{'F', 'W', 'S'});
    EXPECT_EQ(skin.poll(""), "n=0&l=5&rn=0&ready=1");
}

TEST(SkinBridge, ReadsAreAskedTogetherAndKeepWhatTheMovieAnswersFirst) {
    SkinBridge skin(10s);
    skin.load("/work/skin.swf", Bytes{'F', 'W', 'S'});
    auto values = std::async(std::launch::async, [&] { return skin.getVariables({"title", "_root.message"}); });
    std::string poll;
    while ((poll = skin.poll("")).find("rn=2") == std::string::npos) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(poll, "n=0&l=0&i1=1&r1=title&i2=2&r2=_root.message&rn=2&ready=1");
    EXPECT_FALSE(skin.answer("1"));       // no value
    EXPECT_FALSE(skin.answer("x:1"));     // no number
    EXPECT_FALSE(skin.answer("9:late"));  // nothing asked under it
    EXPECT_TRUE(skin.answer("2:zwei:drei"));
    EXPECT_TRUE(skin.answer("2:a second poll's answer"));
    EXPECT_TRUE(skin.answer("1:"));
    const auto answered = values.get();
    ASSERT_EQ(answered.size(), 2u);
    EXPECT_EQ(answered[0], "");
    EXPECT_EQ(answered[1], "zwei:drei");
    EXPECT_EQ(skin.poll(""), "n=0&l=0&rn=0&ready=1");
}

TEST(SkinBridge, AReadTheMovieDoesNotAnswerInTimeIsNoneAndForgotten) {
    SkinBridge skin(20ms);
    skin.load("/work/skin.swf", Bytes{'F', 'W', 'S'});
    const auto values = skin.getVariables({"title"});
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0], std::nullopt);
    EXPECT_EQ(skin.poll(""), "n=0&l=0&rn=0&ready=1");
    EXPECT_FALSE(skin.answer("1:too late"));
}

TEST(SkinBridge, ServesItsMovieForItsFileOnly) {
    test::TempDir dir;
    const std::string path = dir.write("work/skin.swf", std::string("FWS"));
    dir.write("work/button.swf", std::string("FWS"));
    SkinBridge skin;
    EXPECT_FALSE(skin.active());
    skin.load(path, Bytes{1, 2, 3});
    EXPECT_TRUE(skin.active());
    ASSERT_NE(skin.movieFor(dir.path() + "/work/./skin.swf"), nullptr);
    EXPECT_EQ(*skin.movieFor(path), (Bytes{1, 2, 3}));
    EXPECT_EQ(skin.movieFor(dir.file("work/button.swf")), nullptr);
    skin.unload();
    EXPECT_FALSE(skin.active());
    EXPECT_EQ(skin.movieFor(path), nullptr);
}

// A movie slowed down by a busy machine: it polls every 100 ms and answers the read only
// in its answerAt-th poll (0: never), and stops polling after stopAfter polls.
struct SlowMovie {
    int answerAt;
    int stopAfter;
};

TEST(SkinBridge, AReadWaitsAsLongAsTheMovieKeepsPollingAndGivesUpWhenItStops) {
    struct Case {
        SlowMovie movie;
        bool answered;
        std::chrono::milliseconds atLeast, below;
    } cases[] = {
        // Slower than the quiet limit in all, yet polling: answered.
        {{8, 100}, true, 500ms, 1400ms},
        // Stops polling: given up the quiet limit after its last poll.
        {{0, 3}, false, 400ms, 1200ms},
        // Polls but never answers: given up at the overall limit.
        {{0, 100}, false, 1500ms, 2500ms},
    };
    for (const Case& c : cases) {
        SkinBridge skin(300ms, 1500ms);
        skin.load("/work/skin.swf", Bytes{'F', 'W', 'S'});
        std::atomic<bool> done = false;
        std::thread movie([&] {
            for (int poll = 1; poll <= c.movie.stopAfter && !done; ++poll) {
                const std::string answer = skin.poll("");
                // Asked again in every poll until answered.
                if (poll == c.movie.answerAt && answer.find("rn=1") != std::string::npos) skin.answer("1:spät");
                std::this_thread::sleep_for(100ms);
            }
        });
        const auto start = std::chrono::steady_clock::now();
        const auto values = skin.getVariables({"title"});
        const auto took = std::chrono::steady_clock::now() - start;
        done = true;
        movie.join();
        ASSERT_EQ(values.size(), 1u);
        EXPECT_EQ(values[0].has_value(), c.answered) << c.movie.answerAt << "/" << c.movie.stopAfter;
        EXPECT_GE(took, c.atLeast);
        EXPECT_LT(took, c.below);
    }
}

TEST(SkinBridge, AKeptValueReachesOnlyAMovieThatStartsAnew) {
    SkinBridge skin;
    skin.load("/work/skin.swf", Bytes{'F', 'W', 'S'});
    skin.setVariable("title", "Hallo");
    skin.setVariable("_root.editLoaded", "1");
    skin.keepVariable("title", "Neu");  // keeps its place before editLoaded
    skin.keepVariable("count", "4");    // a name never set: after the rest
    EXPECT_EQ(skin.poll("after=2"), "n=0&l=2&rn=0&ready=1");
    EXPECT_EQ(skin.poll(""),
              "s1=1&k1=title&v1=Neu&s2=2&k2=_root.editLoaded&v2=1&s3=2&k3=count&v3=4&n=3&l=2&rn=0&ready=1");
}

}  // namespace
}  // namespace tarvenox::web
