// The web page beside a saved movie, and the movie a page's name stands for.
#include "publish/WebPage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "common/Texts.h"
#include "publish/WebPageName.h"
#include "support/TempDir.h"

namespace tarvenox {
namespace {

TEST(WebPage, APagesNameStandsForTheMovieBesideIt) {
    const struct {
        std::string output;
        std::string withPage;  // the movie a save with a page writes
    } cases[] = {
        {"out/card.html", "out/card.swf"}, {"card.HTML", "card.swf"}, {"card.swf", "card.swf"},
        {"card.htm", "card.htm"},          {".html", ".swf"},         {"html", "html"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(movieOutput(c.output, true), c.withPage) << c.output;
        EXPECT_EQ(movieOutput(c.output, false), c.output) << c.output;
    }
}

// Names that HTML or a URL would read otherwise reach the page escaped.
TEST(WebPage, ThePageNamesTheMovieAndThePlayerSafely) {
    const std::string html = webPageHtml({"a&b <1>.swf", "a&b <1>_files", 550, 400, 0x336699});
    EXPECT_NE(html.find("<title>a&amp;b &lt;1&gt;</title>"), std::string::npos);
    EXPECT_NE(html.find("url: \"a%26b%20%3C1%3E.swf\""), std::string::npos);
    EXPECT_NE(html.find("<script src=\"a%26b%20%3C1%3E_files/ruffle.js\">"), std::string::npos);
    EXPECT_NE(html.find("background: #336699;"), std::string::npos);
    EXPECT_NE(html.find("calc(100vh * 550 / 400)"), std::string::npos);
}

TEST(WebPage, APageThatCannotBeMadeWritesNothing) {
    test::TempDir share;
    test::TempDir out;
    share.write("web/index.html", std::string("<!doctype html>"));
    const std::string movie = out.write("card.swf", std::string("not a movie"));
    ::setenv("TARVENOX_SHARE", share.path().c_str(), 1);
    const Report missingPlayer = writeWebPage(movie);
    share.write("ruffle/ruffle.js", std::string("// the player"));
    const Report unreadable = writeWebPage(movie);
    ::unsetenv("TARVENOX_SHARE");
    EXPECT_TRUE(missingPlayer.failed());
    EXPECT_EQ(missingPlayer.text(),
              "--html: the player's files are not installed (share/tarvenox/ruffle beside the program)");
    EXPECT_TRUE(unreadable.failed());
    EXPECT_EQ(unreadable.text(), text("html.noStageSize", {movie}));
    EXPECT_FALSE(std::filesystem::exists(out.file("card.html")));
    EXPECT_FALSE(std::filesystem::exists(out.file("card_files")));
}

}  // namespace
}  // namespace tarvenox
