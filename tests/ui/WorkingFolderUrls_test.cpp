// Paths in the working folder and the server's URLs for them.
#include "ui/web/WorkingFolderUrls.h"

#include <gtest/gtest.h>

namespace tarvenox::web {
namespace {

TEST(WorkingFolderUrls, MapsPathsInsideTheFolderOnly) {
    WorkingFolderUrls urls("/tmp/tvtmpdir.prg.ab12/", "/s/k/work/");
    struct Case {
        std::string path;
        std::optional<std::string> url;  // without the query
    } cases[] = {
        {"/tmp/tvtmpdir.prg.ab12/skin.swf", "/s/k/work/skin.swf"},
        {"/tmp/tvtmpdir.prg.ab12/swf/a b&c.swf", "/s/k/work/swf/a%20b%26c.swf"},
        {"/tmp/tvtmpdir.prg.ab12/M\xC3\xBCller.swf", "/s/k/work/M%c3%bcller.swf"},
        {"", ""},  // unloads the player
        {"/tmp/tvtmpdir.prg.ab12", std::nullopt},
        {"/tmp/tvtmpdir.prg.ab12/", std::nullopt},
        {"/tmp/tvtmpdir.prg.ab123/skin.swf", std::nullopt},
        {"/tmp/other/skin.swf", std::nullopt},
        {"/tmp/tvtmpdir.prg.ab12/../other/skin.swf", std::nullopt},
        {"/tmp/tvtmpdir.prg.ab12/swf//skin.swf", std::nullopt},
        {"skin.swf", std::nullopt},
    };
    for (const Case& c : cases) {
        std::optional<std::string> url = urls.toUrl(c.path);
        ASSERT_EQ(url.has_value(), c.url.has_value()) << c.path;
        if (!url) continue;
        EXPECT_EQ(url->substr(0, url->find('?')), *c.url) << c.path;
        if (url->empty()) continue;
        EXPECT_EQ(urls.toPath(*url), c.path);
    }
}

TEST(WorkingFolderUrls, TemplatesAreGivenOnlyTheirMoviesOnTheirServer) {
    WorkingFolderUrls urls("/tmp/w/", "/s/k/work/", "http://127.0.0.1:9/s/t/");
    struct Case {
        std::string path;
        std::optional<std::string> url;  // without the query
    } cases[] = {
        {"/tmp/w/Gr\xC3\xBC\xC3\x9F"
         "e 1.swf",
         "http://127.0.0.1:9/s/t/Gr%c3%bc%c3%9fe%201.swf"},
        {"/tmp/w/thumb-sale.SWF", "http://127.0.0.1:9/s/t/thumb-sale.SWF"},
        {"", ""},
        {"/tmp/w/skin.swf", std::nullopt},  // the installation's own movies stay on the page's
        {"/tmp/w/button.swf", std::nullopt},
        {"/tmp/w/skin.txt", std::nullopt},
        {"/tmp/w/saleConfig.txt", std::nullopt},
        {"/tmp/w/swf/sale.swf", std::nullopt},
        {"/tmp/w/.swf", std::nullopt},
        {"/tmp/other/sale.swf", std::nullopt},
    };
    for (const Case& c : cases) {
        std::optional<std::string> url = urls.toUrl(c.path, MovieOrigin::templates);
        ASSERT_EQ(url.has_value(), c.url.has_value()) << c.path;
        if (url) {
            EXPECT_EQ(url->substr(0, url->find('?')), *c.url) << c.path;
        }
    }
    // Without a templates' server, templates get no URL at all.
    EXPECT_EQ(WorkingFolderUrls("/tmp/w/", "/s/k/work/").toUrl("/tmp/w/sale.swf", MovieOrigin::templates),
              std::nullopt);
}

TEST(WorkingFolderUrls, RefusesUrlsItDidNotMake) {
    WorkingFolderUrls urls("/tmp/w", "/s/k/work/");
    EXPECT_EQ(urls.toPath("/s/k/work/a.swf?v=3#top"), "/tmp/w/a.swf");
    for (const char* url :
         {"/s/k/web/a.swf", "/s/k/work/%2e%2e/x", "/s/k/work/a%00b", "/s/k/work/", "/s/other/work/a"}) {
        EXPECT_EQ(urls.toPath(url), std::nullopt) << url;
    }
}

}  // namespace
}  // namespace tarvenox::web
