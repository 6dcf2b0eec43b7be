// The page server's gate and files, through real requests on a loopback socket.
#include "ui/web/PageServer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/LoopbackClient.h"
#include "support/TempDir.h"

namespace tarvenox::web {
namespace {

using test::httpRequest;
using test::ownHost;

class PageServerTest : public ::testing::Test {
protected:
    PageServerTest() {
        dir.write("web/index.html", "<!doctype html>page");
        dir.write("web/app.js", "// app");
        dir.write("ruffle/ruffle.js", "// player");
        dir.write("ruffle/core.wasm", std::string("\0asm", 4));
        dir.write("work/preview.swf", "FWS movie");
        dir.write("work/skin.txt", "&title=Gr\xFC\xDF" "e");
        dir.write("help/README.md", "## The interactive program");
        dir.write("outside/private.txt", "not to be served");
        std::filesystem::create_symlink(dir.file("outside/private.txt"), dir.file("work/escape.txt"));
        std::filesystem::create_symlink("preview.swf", dir.file("work/alias.swf"));
    }

    std::string url(const std::string& rest) const { return server.prefix() + rest; }
    std::string origin() const { return test::ownOrigin(server.port()); }

    test::TempDir dir;
    PageBridge bridge;
    PageServer server{{dir.file("web"), dir.file("ruffle"), dir.file("work"), dir.file("help")}, bridge};
};

TEST_F(PageServerTest, ServesItsRootsWithTheirTypes) {
    struct Case {
        std::string rest, contentType, body;
    } cases[] = {
        {"", "text/html; charset=utf-8", "<!doctype html>page"},
        {"web/app.js", "text/javascript; charset=utf-8", "// app"},
        {"ruffle/core.wasm", "application/wasm", std::string("\0asm", 4)},
        {"work/preview.swf", "application/x-shockwave-flash", "FWS movie"},
        // The working folder's texts are Windows-1252, as the host writes them.
        {"work/skin.txt", "text/plain; charset=windows-1252", "&title=Gr\xFC\xDF" "e"},
        // A link that stays inside the folder is followed.
        {"work/alias.swf", "application/x-shockwave-flash", "FWS movie"},
        {"help/README.md", "text/plain; charset=utf-8", "## The interactive program"},
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
        {"own origin, localhost", url("web/app.js"), "Host: LocalHost:" + std::to_string(port) + "\r\n" + origin(), 200},
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
    while (auto event = bridge.nextEvent(std::chrono::milliseconds(events.size() < 2 ? 2000 : 100))) {
        events.push_back((*event)["type"]);
    }
    EXPECT_EQ(events, (std::vector<std::string>{"pageConnected", "pageGone"}));
}

TEST_F(PageServerTest, MovieUrlsOfTheWorkingFolderAreServedFreshEachTime) {
    WorkingFolderUrls urls = server.workingFolderUrls();
    std::string name = "Gr\xC3\xBC\xC3\x9F" "e #1?.swf";
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

}  // namespace
}  // namespace tarvenox::web
