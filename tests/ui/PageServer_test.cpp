// The page server's gate and files, through real requests on a loopback socket.
#include "ui/web/PageServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/Texts.h"
#include "publish/WebPage.h"
#include "support/LoopbackClient.h"
#include "support/TempDir.h"

namespace tarvenox::web {
namespace {

using test::httpRequest;
using test::ownHost;

class PageServerTest : public ::testing::Test {
protected:
    PageServerTest() {
        dir.write("web/index.html", "<!doctype html><html lang=\"en\"><noscript>Needs a script.</noscript>page");
        dir.write("web/app.js", "// app");
        dir.write("ruffle/ruffle.js", "// player");
        dir.write("ruffle/core.wasm", std::string("\0asm", 4));
        dir.write("work/preview.swf", "FWS movie");
        dir.write("work/thumb-sale.swf", "FWS thumbnail");
        dir.write("work/skin.swf", "FWS skin");
        dir.write("work/skin.txt", "&title=Gr\xFC\xDF"
                                   "e");
        // The copies of the user's chosen files, for the editor's thumbnail and player.
        dir.write("work/chosen-image-1.png", "PNG");
        dir.write("work/chosen-image-2.jpg", "JPEG");
        dir.write("work/chosen-mp3-3.mp3", "MP3");
        dir.write("help/de.html", "<h1>Hilfe</h1>");
        dir.write("help/en.html", "<h1>Help</h1>");
        dir.write("outside/private.txt", "not to be served");
        std::filesystem::create_symlink(dir.file("outside/private.txt"), dir.file("work/escape.txt"));
        std::filesystem::create_symlink("preview.swf", dir.file("work/alias.swf"));
    }

    std::string url(const std::string& rest) const { return server.prefix() + rest; }
    std::string origin() const { return test::ownOrigin(server.port()); }
    std::string templateKey() const { return server.templateAddress().substr(server.templateAddress().find("/s/")); }

    test::TempDir dir;
    PageChannel channel;
    PageServer server{{dir.file("web"), dir.file("ruffle"), dir.file("work"), dir.file("help")}, channel};
};

// A port already taken is said in the user's words and language, not civetweb's.
TEST_F(PageServerTest, ATakenPortIsToldInTheRunsLanguage) {
    const Language before = currentLanguage();
    for (Language language : {Language::german, Language::english}) {
        useLanguage(language);
        try {
            PageServer second({dir.file("web"), dir.file("ruffle"), dir.file("work"), dir.file("help")}, channel,
                              server.port());
            ADD_FAILURE() << "a second server on port " << server.port();
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(), text("server.portTaken", {std::to_string(server.port())}));
        }
    }
    useLanguage(before);
}

// The index's language, its line for a browser without script and the help are the run's.
TEST_F(PageServerTest, ServesItsIndexAndHelpInTheRunsLanguage) {
    const Language before = currentLanguage();
    for (Language language : {Language::german, Language::english}) {
        useLanguage(language);
        auto reply = httpRequest(server.port(), url(""), ownHost(server.port()));
        EXPECT_EQ(reply.status, 200);
        EXPECT_EQ(reply.header("Content-Type"), "text/html; charset=utf-8");
        EXPECT_EQ(reply.body, std::string("<!doctype html><html lang=\"") + languageCode(language) + "\"><noscript>" +
                                  htmlEscaped(text("page.noScript")) + "</noscript>page");
        const std::string help = server.helpUrl();
        auto page = httpRequest(server.port(), help, ownHost(server.port()));
        EXPECT_EQ(page.header("Content-Type"), "text/html; charset=utf-8") << help;
        EXPECT_EQ(page.body, language == Language::german ? "<h1>Hilfe</h1>" : "<h1>Help</h1>") << help;
    }
    useLanguage(before);
}

TEST_F(PageServerTest, ServesItsRootsWithTheirTypes) {
    struct Case {
        std::string rest, contentType, body;
    } cases[] = {
        {"web/app.js", "text/javascript; charset=utf-8", "// app"},
        {"ruffle/core.wasm", "application/wasm", std::string("\0asm", 4)},
        {"work/preview.swf", "application/x-shockwave-flash", "FWS movie"},
        // The working folder's texts are Windows-1252, as the host writes them.
        {"work/skin.txt", "text/plain; charset=windows-1252",
         "&title=Gr\xFC\xDF"
         "e"},
        // A link that stays inside the folder is followed.
        {"work/alias.swf", "application/x-shockwave-flash", "FWS movie"},
        {"work/chosen-image-1.png", "image/png", "PNG"},
        {"work/chosen-image-2.jpg", "image/jpeg", "JPEG"},
        {"work/chosen-mp3-3.mp3", "audio/mpeg", "MP3"},
    };
    for (const Case& c : cases) {
        auto reply = httpRequest(server.port(), url(c.rest), ownHost(server.port()));
        EXPECT_EQ(reply.status, 200) << c.rest;
        EXPECT_EQ(reply.header("Content-Type"), c.contentType) << c.rest;
        EXPECT_EQ(reply.body, c.body) << c.rest;
    }
    // The working copy is rewritten after each save: a reload must not take it from a cache.
    auto movie = httpRequest(server.port(), url("work/preview.swf"), ownHost(server.port()));
    EXPECT_EQ(movie.header("Cache-Control"), "no-store");
    EXPECT_EQ(movie.header("X-Content-Type-Options"), "nosniff");
    EXPECT_EQ(server.address(), "http://127.0.0.1:" + std::to_string(server.port()) + server.prefix());
    EXPECT_EQ(server.prefix().size(), std::string("/s//").size() + 64);
}

TEST_F(PageServerTest, RefusesWhatIsNotItsOwn) {
    int port = server.port();
    std::string host = ownHost(port);
    std::string secret = server.prefix().substr(3, 64);
    std::string wrongSecret = secret;
    wrongSecret[0] = wrongSecret[0] == 'a' ? 'b' : 'a';
    struct Case {
        const char* what;
        std::string target, headers;
        int status;
    } cases[] = {
        {"own origin, localhost", url("web/app.js"), "Host: LocalHost:" + std::to_string(port) + "\r\n" + origin(),
         200},
        {"no secret", "/web/app.js", host, 403},
        {"a wrong secret", "/s/" + wrongSecret + "/web/app.js", host, 403},
        {"the secret as a query", "/web/app.js?s=" + secret, host, 403},
        {"a foreign Host", url("web/app.js"), "Host: attacker.example:" + std::to_string(port) + "\r\n", 403},
        {"another port in Host", url("web/app.js"), "Host: 127.0.0.1:" + std::to_string(port + 1) + "\r\n", 403},
        {"no Host", url("web/app.js"), "", 403},
        {"a foreign Origin", url("web/app.js"), host + "Origin: http://attacker.example\r\n", 403},
        {"an opaque Origin", url("web/app.js"), host + "Origin: null\r\n", 403},
        {"..", url("work/../outside/private.txt"), host, 403},
        {"%2e%2e", url("work/%2e%2e/outside/private.txt"), host, 403},
        {"%2E%2E%2F", url("work/%2E%2E%2Foutside%2Fprivate.txt"), host, 403},
        {".. before the secret", "/s/x/../" + secret + "/web/app.js", host, 403},
        {"a link out of the working folder", url("work/escape.txt"), host, 404},
        {"the working folder itself", url("work/"), host, 404},
        {"an unknown root", url("outside/private.txt"), host, 404},
        {"a missing file", url("web/missing.js"), host, 404},
    };
    for (const Case& c : cases) {
        auto reply = httpRequest(port, c.target, c.headers);
        EXPECT_EQ(reply.status, c.status) << c.what;
        EXPECT_EQ(reply.body.find("not to be served"), std::string::npos) << c.what;
    }
}

TEST_F(PageServerTest, WebSocketUpgradeNeedsTheSecretAndThisOrigin) {
    int port = server.port();
    std::string host = ownHost(port);
    struct Case {
        const char* what;
        std::string target, headers;
        int status;
    } cases[] = {
        {"no secret", "/ws", host + origin(), 403},
        {"no Origin", url("ws"), host, 403},
        {"a foreign Origin", url("ws"), host + "Origin: http://attacker.example\r\n", 403},
        {"a foreign Host", url("ws"), "Host: attacker.example:" + std::to_string(port) + "\r\n" + origin(), 403},
        {"the page", url("ws"), host + origin(), 101},
    };
    for (const Case& c : cases) {
        test::WebSocketClient client(port, c.target, c.headers);
        EXPECT_EQ(client.upgradeStatus(), c.status) << c.what;
    }
    // Only the accepted socket reached the host, and it went with its client.
    std::vector<std::string> events;
    while (auto event = channel.nextEvent(std::chrono::milliseconds(events.size() < 2 ? 2000 : 100))) {
        events.push_back((*event)["type"]);
    }
    EXPECT_EQ(events, (std::vector<std::string>{"pageConnected", "pageGone"}));
}

TEST_F(PageServerTest, MovieUrlsOfTheWorkingFolderAreServedFreshEachTime) {
    WorkingFolderUrls urls = server.workingFolderUrls();
    std::string name = "Gr\xC3\xBC\xC3\x9F"
                       "e #1?.swf";
    dir.write("work/swf/" + name, "first");
    auto first = urls.toUrl(dir.file("work/swf/" + name));
    ASSERT_TRUE(first);
    EXPECT_EQ(httpRequest(server.port(), *first, ownHost(server.port())).body, "first");

    dir.write("work/swf/" + name, "second");
    auto second = urls.toUrl(dir.file("work/swf/" + name));
    ASSERT_TRUE(second);
    EXPECT_NE(*first, *second);
    EXPECT_EQ(httpRequest(server.port(), *second, ownHost(server.port())).body, "second");
    EXPECT_EQ(urls.toPath(*second), dir.file("work/swf/" + name));
}

TEST_F(PageServerTest, EveryMethodMeetsTheGate) {
    int port = server.port();
    std::string host = ownHost(port);
    std::string preflight = "Origin: http://attacker.example\r\nAccess-Control-Request-Method: GET\r\n";
    struct Case {
        const char* what;
        std::string method, target, headers;
        int status;
    } cases[] = {
        // civetweb would answer a preflight itself, 200 and any origin allowed.
        {"a preflight without the secret", "OPTIONS", "/web/app.js", host + preflight, 403},
        {"a preflight of a foreign Host", "OPTIONS", url("web/app.js"),
         "Host: attacker.example:" + std::to_string(port) + "\r\n" + preflight, 403},
        {"a preflight from a foreign origin", "OPTIONS", url("web/app.js"), host + preflight, 403},
        {"OPTIONS of the page", "OPTIONS", url("web/app.js"), host + origin(), 405},
        {"POST without the secret", "POST", "/web/app.js", host, 403},
        {"POST of the page", "POST", url("skin/poll"), host + origin(), 405},
        {"PUT into the working folder", "PUT", url("work/new.swf"), host + origin(), 405},
        {"DELETE of a working file", "DELETE", url("work/preview.swf"), host + origin(), 405},
        {"HEAD of the page", "HEAD", url("web/app.js"), host + origin(), 200},
    };
    for (const Case& c : cases) {
        auto reply = httpRequest(port, c.target, c.headers, c.method);
        EXPECT_EQ(reply.status, c.status) << c.what;
        EXPECT_EQ(reply.header("Access-Control-Allow-Origin"), "") << c.what;
    }
    EXPECT_TRUE(std::filesystem::exists(dir.file("work/preview.swf")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("work/new.swf")));
}

TEST_F(PageServerTest, TemplatesServerHoldsTemplateMoviesOnly) {
    int port = server.templatePort();
    ASSERT_NE(port, server.port());
    std::string host = ownHost(port);
    std::string page = origin();
    std::string key = templateKey();
    EXPECT_EQ(server.templateAddress(), "http://127.0.0.1:" + std::to_string(port) + key);
    EXPECT_NE(key, server.prefix());
    struct Case {
        const char* what;
        std::string target, headers;
        int status;
        std::string body;
    } cases[] = {
        {"the working copy, for the page", key + "preview.swf", host + page, 200, "FWS movie"},
        {"a thumbnail, opened by itself", key + "thumb-sale.swf", host, 200, "FWS thumbnail"},
        {"the interface movie", key + "skin.swf", host + page, 404, ""},
        {"a text of the working folder", key + "skin.txt", host + page, 404, ""},
        {"a link out of the folder", key + "escape.txt", host + page, 404, ""},
        {"a subfolder", key + "swf/preview.swf", host + page, 404, ""},
        {"the page's secret", server.prefix() + "work/preview.swf", host + page, 403, ""},
        {"the page's poll, beside a template", "/s/skin/poll", host + page, 403, ""},
        {"no key", "/preview.swf", host + page, 403, ""},
        {"the page's port in Host", key + "preview.swf", ownHost(server.port()) + page, 403, ""},
        {"its own origin", key + "preview.swf", host + test::ownOrigin(port), 403, ""},
        {"a foreign origin", key + "preview.swf", host + "Origin: http://attacker.example\r\n", 403, ""},
        {"..", key + "../" + key.substr(3) + "preview.swf", host + page, 403, ""},
    };
    for (const Case& c : cases) {
        auto reply = httpRequest(port, c.target, c.headers);
        EXPECT_EQ(reply.status, c.status) << c.what;
        EXPECT_EQ(reply.body.find("not to be served"), std::string::npos) << c.what;
        if (c.status != 200) continue;
        EXPECT_EQ(reply.body, c.body) << c.what;
        EXPECT_EQ(reply.header("Cache-Control"), "no-store") << c.what;
        // The page, and only the page, may read what its players fetch.
        EXPECT_EQ(
            reply.header("Access-Control-Allow-Origin"),
            c.headers.find("Origin") == std::string::npos ? "" : "http://127.0.0.1:" + std::to_string(server.port()))
            << c.what;
    }
    EXPECT_EQ(httpRequest(port, key + "preview.swf", host + page, "PUT").status, 405);

    // The page tells its players to reach these two servers and no other host.
    auto index = httpRequest(server.port(), url(""), ownHost(server.port()));
    std::string policy = index.header("Content-Security-Policy");
    EXPECT_NE(policy.find("connect-src 'self' http://127.0.0.1:" + std::to_string(port) + ";"), std::string::npos)
        << policy;
    EXPECT_NE(policy.find("default-src 'none'"), std::string::npos) << policy;
}

TEST(PageServerLimits, StallingConnectionsLeaveThePageServedAndAreClosed) {
    using namespace std::chrono_literals;
    test::TempDir dir;
    dir.write("web/index.html", "page");
    PageChannel channel;
    PageServer server({dir.file("web"), dir.path(), dir.path(), ""}, channel, 0, nullptr, nullptr, 1000ms);
    // Each sends a request line, or half a header, and then nothing.
    std::vector<std::unique_ptr<test::StalledConnection>> stalled;
    for (int i = 0; i < 24; ++i) {
        stalled.push_back(std::make_unique<test::StalledConnection>(
            server.port(), i % 2 ? "GET / HTTP/1.1\r\n" : "GET " + server.prefix() + " HTTP/1.1\r\nHost: 127"));
        ASSERT_TRUE(stalled.back()->connected());
    }
    auto asked = std::chrono::steady_clock::now();
    auto reply = httpRequest(server.port(), server.prefix(), ownHost(server.port()));
    EXPECT_EQ(reply.status, 200);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 500ms);
    for (auto& connection : stalled) EXPECT_TRUE(connection->closedWithin(3s));
}

}  // namespace
}  // namespace tarvenox::web
