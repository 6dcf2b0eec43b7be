// The channel between the host's thread and the page, driven through the real server
// and a real WebSocket: the test's thread is the host, a second thread plays the page.
#include "ui/web/PageChannel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>

#include "support/LoopbackClient.h"
#include "support/TempDir.h"
#include "ui/web/PageServer.h"

namespace tarvenox::web {
namespace {

using namespace std::chrono_literals;
using test::receiveMessage;

class PageChannelTest : public ::testing::Test {
protected:
    // A page connected to the server.
    std::unique_ptr<test::WebSocketClient> connectPageQuietly() {
        auto page = test::connectPage(server.port(), server.prefix());
        EXPECT_EQ(page->upgradeStatus(), 101);
        return page;
    }

    // The same, once the host has taken its pageConnected.
    std::unique_ptr<test::WebSocketClient> connectPage() {
        auto page = connectPageQuietly();
        EXPECT_EQ(nextType(), "pageConnected");
        return page;
    }

    std::string nextType(PageChannel::Clock::duration timeout = 2s) {
        auto event = channel.nextEvent(timeout);
        return event ? (*event)["type"].get<std::string>() : "(none)";
    }

    static Message reply(const Message& request, Message result) {
        return {{"type", "reply"}, {"id", request["id"]}, {"result", std::move(result)}};
    }

    test::TempDir dir;
    PageChannel channel;
    PageServer server{{dir.path(), dir.path(), dir.path(), ""}, channel};
};

TEST_F(PageChannelTest, BlockingCallGetsTheAnswerAndEventsWaitTheirTurn) {
    auto page = connectPage();
    auto pageSide = std::async(std::launch::async, [&] {
        Message request = receiveMessage(*page);
        // While the host waits: two events, a stale reply and one with another id.
        page->sendText(R"({"type":"fsCommand","command":"selectFont","args":"Title"})");
        page->sendText(R"({"type":"fsCommand","command":"apply","args":""})");
        page->sendText(Message{{"type", "reply"}, {"id", request["id"].get<int>() + 1}, {"result", "wrong"}}.dump());
        page->sendText(reply(request, "Hello").dump());
        return request;
    });
    auto answer = channel.call({{"type", "getVariable"}, {"player", "skin"}, {"name", "_root.title"}});
    Message request = pageSide.get();
    EXPECT_EQ(request["type"], "getVariable");
    EXPECT_EQ(request["name"], "_root.title");
    EXPECT_TRUE(request["id"].is_number_integer());
    EXPECT_EQ(answer, Message("Hello"));

    // Afterwards, and in the order they came.
    auto first = channel.nextEvent(1s), second = channel.nextEvent(1s);
    ASSERT_TRUE(first && second);
    EXPECT_EQ((*first)["command"], "selectFont");
    EXPECT_EQ((*second)["command"], "apply");
    EXPECT_FALSE(channel.nextEvent(50ms));
}

TEST_F(PageChannelTest, PageThatGoesDuringACallCancelsIt) {
    auto page = connectPage();
    auto pageSide = std::async(std::launch::async, [&] {
        receiveMessage(*page);
        page->sendText(R"({"type":"fsCommand","command":"hideViewer","args":""})");
        page->drop();  // the tab is closed while its dialog is open
    });
    auto started = PageChannel::Clock::now();
    auto answer = channel.call({{"type", "chooseColor"}, {"customColors", Message::array()}});
    pageSide.get();
    EXPECT_EQ(answer, std::nullopt);
    EXPECT_LT(PageChannel::Clock::now() - started, 2s);
    EXPECT_EQ(nextType(), "fsCommand");
    EXPECT_EQ(nextType(), "pageGone");
    EXPECT_FALSE(channel.connected());
    EXPECT_GT(channel.pageAbsentFor(), 0s);
    // No page: a call is cancelled at once, a message goes nowhere.
    EXPECT_EQ(channel.call({{"type", "flashVersion"}}), std::nullopt);
    EXPECT_FALSE(channel.send({{"type", "hide"}, {"player", "viewer"}}));
}

TEST_F(PageChannelTest, SecondPageReplacesTheFirst) {
    auto first = connectPage();
    auto pageSide = std::async(std::launch::async, [&] {
        receiveMessage(*first);
        auto second = connectPageQuietly();
        // The first page is told why it was closed, so it does not connect again.
        EXPECT_EQ(first->receiveText(), std::nullopt);
        EXPECT_EQ(first->closeCode(), PageChannel::replacedCloseCode);
        return second;
    });
    EXPECT_EQ(channel.call({{"type", "messageBox"}, {"text", "?"}}), std::nullopt);
    auto second = pageSide.get();
    EXPECT_EQ(nextType(), "pageConnected");
    EXPECT_TRUE(channel.send({{"type", "show"}, {"player", "viewer"}}));
    EXPECT_EQ(receiveMessage(*second)["type"], "show");
    second->sendText(R"({"type":"fsCommand","command":"clicked","args":"quit"})");
    EXPECT_EQ(nextType(), "fsCommand");
}

TEST_F(PageChannelTest, PageRequestsAreAnsweredWhileTheHostWaits) {
    channel.setResponder("listFolder", [](const Message& request) {
        if (request["path"] == "/nowhere") throw std::runtime_error("no such folder");
        return Message{{"path", request["path"]}, {"entries", Message::array({"a.png"})}};
    });
    auto page = connectPage();
    auto pageSide = std::async(std::launch::async, [&] {
        Message dialog = receiveMessage(*page);
        std::vector<Message> answers;
        for (const char* request :
             {R"({"type":"listFolder","id":"p1","path":"/home"})",
              R"({"type":"listFolder","id":"p2","path":"/nowhere"})", R"({"type":"fontSample","id":"p3"})"}) {
            page->sendText(request);
            answers.push_back(receiveMessage(*page));
        }
        page->sendText(reply(dialog, "/home/a.png").dump());
        return answers;
    });
    auto chosen = channel.call({{"type", "openFile"}, {"title", "Bilddatei auswählen"}});
    auto answers = pageSide.get();
    EXPECT_EQ(chosen, Message("/home/a.png"));
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(answers[0],
              (Message{{"type", "reply"}, {"id", "p1"}, {"result", {{"path", "/home"}, {"entries", {"a.png"}}}}}));
    EXPECT_EQ(answers[1], (Message{{"type", "reply"}, {"id", "p2"}, {"error", "no such folder"}}));
    EXPECT_EQ(answers[2]["error"], "unknown request: fontSample");
    EXPECT_FALSE(channel.nextEvent(50ms));  // requests are not events
}

// The host's loop polls in short waits; a request that arrives as one of them ends must
// be answered all the same, not taken for an event and dropped.
TEST_F(PageChannelTest, RequestsArrivingAsAPollEndsAreAnswered) {
    channel.setResponder("templateOrigin", [](const Message&) { return Message("http://127.0.0.1:1/"); });
    auto page = connectPage();
    constexpr int requests = 40;
    std::atomic<bool> allAnswered = false;
    auto pageSide = std::async(std::launch::async, [&] {
        int answered = 0;
        for (int i = 0; i < requests; ++i) {
            page->sendText(Message{{"type", "templateOrigin"}, {"id", "p" + std::to_string(i)}}.dump());
            const auto text = page->receiveText(2s);
            if (!text || Message::parse(*text)["id"] != "p" + std::to_string(i)) break;
            ++answered;
        }
        allAnswered = true;
        return answered;
    });
    while (!allAnswered) channel.nextEvent(std::chrono::microseconds(200));
    EXPECT_EQ(pageSide.get(), requests);
}

TEST_F(PageChannelTest, BadMessagesAreIgnoredAndTheConnectionStays) {
    auto page = connectPage();
    for (const char* bad : {"not json", "[1,2]", R"({"command":"apply"})", R"({"type":7})", R"({"type":"pageGone"})",
                            R"({"type":"reply","id":1,"result":"unasked"})"}) {
        page->sendText(bad);
    }
    page->sendText(R"({"type":"fsCommand","command":"apply","args":""})");
    auto event = channel.nextEvent(2s);
    ASSERT_TRUE(event);
    EXPECT_EQ((*event)["command"], "apply");
    EXPECT_TRUE(channel.connected());
    // A call times out when asked to, and the late answer is dropped.
    EXPECT_EQ(channel.call({{"type", "flashVersion"}}, 50ms), std::nullopt);
    Message late = receiveMessage(*page);
    page->sendText(reply(late, 0x200000).dump());
    page->sendText(R"({"type":"fsCommand","command":"minimize","args":""})");
    EXPECT_EQ(nextType(), "fsCommand");
    EXPECT_FALSE(channel.nextEvent(50ms));
}

TEST_F(PageChannelTest, PostedEventWakesTheHostLoop) {
    auto poster = std::async(std::launch::async, [&] { channel.post({{"type", "signal"}}); });
    EXPECT_EQ(nextType(5s), "signal");
    poster.get();
}

}  // namespace
}  // namespace tarvenox::web
