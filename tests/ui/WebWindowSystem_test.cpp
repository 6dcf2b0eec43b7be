// The web window system through the real server and a real WebSocket: the test's thread
// is the host, a second thread plays the page.
#include "ui/web/WebWindowSystem.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <thread>

#include "support/LoopbackClient.h"
#include "support/TempDir.h"
#include "swf/SWFFile.h"
#include "swf/SWFWriter.h"
#include "ui/web/BridgeSprite.h"
#include "ui/web/PageServer.h"

namespace tarvenox::web {
namespace {

using namespace std::chrono_literals;
using test::receiveMessage;

class WebWindowSystemTest : public ::testing::Test {
protected:
    std::unique_ptr<test::WebSocketClient> connectPage() {
        auto page = test::connectPage(server.port(), server.prefix());
        EXPECT_EQ(page->upgradeStatus(), 101);
        return page;
    }

    static void answer(test::WebSocketClient& page, const Message& request, Message result) {
        page.sendText(Message{{"type", "reply"}, {"id", request["id"]}, {"result", std::move(result)}}.dump());
    }

    test::TempDir dir;
    PageChannel channel;
    PageServer server{{dir.path(), dir.path(), dir.file("work"), ""}, channel};
    WebWindowSystem windows{channel, server.workingFolderUrls(), {.pageGoneLimit = 10s}};
};

TEST_F(WebWindowSystemTest, AsksAndHearsThePageInUtf8) {
    auto page = connectPage();
    ASSERT_TRUE(windows.waitForFirstPage(10s));
    CustomColors custom;
    custom.fill(0xFFFFFF);
    struct Case {
        Message request;             // what the page gets, without its id
        Message result;              // the page's answer
        std::function<bool()> asks;  // the host's call: did it get what the answer says?
    } cases[] = {
        {{{"type", "getVariable"}, {"player", "viewer"}, {"name", "_root.J\xC3\xB6rg"}},
         "Gr\xC3\xBC\xC3\x9F"
         "e",
         [&] {
             return windows.getVariable(Player::viewer, "_root.J\xF6rg") == "Gr\xFC\xDF"
                                                                            "e";
         }},
        // A form's values in one round trip; a value that is no text is none.
        {{{"type", "getVariables"}, {"player", "skin"}, {"names", {"title", "J\xC3\xB6rg"}}},
         {"Gr\xC3\xBC\xC3\x9F"
          "e",
          7},
         [&] {
             return windows.getVariables(Player::skin, {"title", "J\xF6rg"}) ==
                    std::vector<std::optional<std::string>>{"Gr\xFC\xDF"
                                                            "e",
                                                            std::nullopt};
         }},
        {{{"type", "messageBox"},
          {"caption", "Tarvenox"},
          {"text", "Vorlage \xC3\xBC"
                   "berschreiben?"},
          {"icon", "question"},
          {"buttons", "yesNoCancel"}},
         "no",
         [&] {
             return windows.messageBox("Tarvenox",
                                       "Vorlage \xC3\xBC"
                                       "berschreiben?",
                                       MessageIcon::question, MessageButtons::yesNoCancel) == MessageAnswer::no;
         }},
        // Cancelled, and the custom colours still come back.
        {{{"type", "chooseColor"}, {"color", 0x336699}, {"customColors", std::vector<int>(16, 0xFFFFFF)}},
         {{"color", nullptr}, {"customColors", std::vector<int>(16, 0x123456)}},
         [&] { return !windows.chooseColor(0x336699, custom) && custom[15] == 0x123456; }},
        {{{"type", "chooseFont"}, {"faces", {"Arial", "DejaVu Sans"}}, {"pointSize", 10}},
         {{"face", "DejaVu Sans"}, {"bold", true}, {"italic", true}, {"pointTenths", 100}},
         [&] {
             auto font = windows.chooseFont({"Arial", "DejaVu Sans"}, 10);
             return font && font->face == "DejaVu Sans" && font->weight == 700 && font->italic &&
                    font->pointTenths == 100;
         }},
        {{{"type", "saveFile"},
          {"title", "Speichern"},
          {"filters", {{{"description", "Flash"}, {"patterns", {"*.swf"}}}}},
          {"defaultExtension", "swf"},
          {"folder", ""},
          {"name", "Gru\xC3\x9F.swf"},
          {"overwritePrompt", true}},
         "/home/anna/Gr\xC3\xBC\xC3\x9F"
         "e.swf",
         [&] {
             return windows.saveFile("Speichern", {{"Flash", {"*.swf"}}}, "swf", true, "Gru\xC3\x9F.swf") ==
                    "/home/anna/Gr\xC3\xBC\xC3\x9F"
                    "e.swf";
         }},
        {{{"type", "flashVersion"}, {"player", "skin"}},
         0x200000,
         [&] { return windows.flashVersion(Player::skin) == 0x200000; }},
    };
    for (const Case& c : cases) {
        auto pageSide = std::async(std::launch::async, [&] {
            Message request = receiveMessage(*page);
            answer(*page, request, c.result);
            request.erase("id");
            return request;
        });
        EXPECT_TRUE(c.asks()) << c.request["type"];
        EXPECT_EQ(pageSide.get(), c.request);
    }

    page->sendText(R"({"type":"fsCommand","player":"stage","command":"apply","args":""})");  // no such player
    page->sendText(R"({"type":"fsCommand","player":"skin","command":"selectFont","args":"J\u00f6rg"})");
    page->sendText(R"({"type":"escape","window":"fullscreen"})");
    UiEvent command = windows.nextEvent();
    EXPECT_EQ(command.kind, UiEvent::Kind::fsCommand);
    EXPECT_EQ(command.player, Player::skin);
    EXPECT_EQ(command.command, "selectFont");
    EXPECT_EQ(command.args, "J\xF6rg");
    UiEvent escape = windows.nextEvent();
    EXPECT_EQ(escape.kind, UiEvent::Kind::escape);
    EXPECT_TRUE(escape.fullscreen);
}

TEST_F(WebWindowSystemTest, ReloadedPageGetsTheWholeStateAgain) {
    dir.write("work/skin.swf", "FWS");
    auto first = connectPage();
    ASSERT_TRUE(windows.waitForFirstPage(10s));
    windows.setTitle("Tarvenox");
    windows.setVariable(Player::skin, "_root.old", "of no movie");  // gone with the next load
    windows.loadMovie(Player::skin, dir.file("work/skin.swf"));
    windows.setVariable(Player::skin, "_root.a", "1");
    windows.hidePlayer(Player::viewer);
    windows.placePlayer(Player::viewer, {640, 376, 1122, 805}, PlayerShape::rectangle);
    windows.setScale(Player::viewer, "NoBorder");
    windows.setVariable(Player::skin, "_root.name", "J\xF6rg");
    windows.setVariable(Player::skin, "_root.a", "2");               // now set last
    windows.keepVariable(Player::skin, "_root.name", "J\xF6rg M.");  // typed there: keeps its place
    EditorState editor;
    editor.templateName = "gr\xFC\xDF";
    editor.title = "Gr\xFC\xDF";
    editor.pictures["Bild \x80"] = {"beach.png", "chosen-image-1.png", "contain"};
    editor.ownPictures["Bild \x80"] = "own-gr_FC_DF-Bild_20_80.png";
    editor.unsaved = true;
    editor.last = CommandResult{"selectImage", "Bild \x80", CommandOutcome::done, ""};
    windows.showEditorState(editor);
    editor.canUndo = true;  // the page that connects gets this one, without what it answered
    windows.showEditorState(editor);
    windows.loadMovie(Player::viewer, dir.file("work/missing.swf"));
    windows.setBackgroundColor(Player::viewer, 0);
    windows.showPlayer(Player::viewer);
    windows.showPlayer(Player::skin);  // in front of the viewer
    windows.openFullscreen(0x336699);
    windows.hidePlayer(Player::fullscreenMovie);
    windows.placePlayer(Player::fullscreenButton, {10, 10, 42, 42}, PlayerShape::ellipse);

    auto pageSide = std::async(std::launch::async, [&] {
        // The first page is reloaded while the host asks it at start-up.
        std::string firstUrl;
        for (Message m = receiveMessage(*first); !m.is_null() && m["type"] != "flashVersion";
             m = receiveMessage(*first)) {
            if (m["type"] == "movie" && m["player"] == "skin") firstUrl = m["url"];
        }
        first->drop();
        auto second = connectPage();
        std::vector<Message> replayed;
        for (Message m = receiveMessage(*second); !m.is_null(); m = receiveMessage(*second)) {
            if (m["type"] == "flashVersion") {
                answer(*second, m, 0x200000);
                break;
            }
            replayed.push_back(m);
        }
        second->sendText(R"({"type":"fsCommand","player":"skin","command":"ready","args":""})");
        return std::tuple(firstUrl, replayed, std::move(second));
    });
    EXPECT_EQ(windows.flashVersion(Player::skin), 0x200000);
    EXPECT_EQ(windows.nextEvent().command, "ready");
    auto [firstUrl, replayed, second] = pageSide.get();

    // The movie is loaded anew, under a URL of its own.
    std::string skinUrl = replayed.size() > 9 ? replayed[9].value("url", "") : "";
    EXPECT_EQ(skinUrl.rfind(server.prefix() + "work/skin.swf?v=", 0), 0u) << skinUrl;
    EXPECT_NE(skinUrl, firstUrl);
    std::vector<Message> expected = {
        {{"type", "title"}, {"text", "Tarvenox"}},
        {{"type", "openFullscreen"}, {"background", 0x336699}},
        {{"type", "place"}, {"player", "viewer"}, {"left", 640}, {"top", 376}, {"width", 482}, {"height", 429}},
        {{"type", "scale"}, {"player", "viewer"}, {"mode", "NoBorder"}},
        {{"type", "backgroundColor"}, {"player", "viewer"}, {"color", 0}},
        {{"type", "hide"}, {"player", "fullscreenMovie"}},
        {{"type", "place"},
         {"player", "fullscreenButton"},
         {"left", 10},
         {"top", 10},
         {"width", 32},
         {"height", 32},
         {"shape", "ellipse"}},
        {{"type", "show"}, {"player", "viewer"}},
        {{"type", "show"}, {"player", "skin"}},
        {{"type", "movie"}, {"player", "skin"}, {"url", skinUrl}},
        {{"type", "movie"}, {"player", "viewer"}, {"url", ""}},
        {{"type", "setVariable"}, {"player", "skin"}, {"name", "_root.name"}, {"value", "J\xC3\xB6rg M."}},
        {{"type", "setVariable"}, {"player", "skin"}, {"name", "_root.a"}, {"value", "2"}},
        // The editor's last state, last.
        {{"type", "editor"},
         {"seq", 2},
         {"template", "gr\xC3\xBC\xC3\x9F"},
         {"title", "Gr\xC3\xBC\xC3\x9F"},
         {"choices",
          {{"font", Message::object()},
           {"image",
            {{"Bild \xE2\x82\xAC", {{"file", "beach.png"}, {"preview", "chosen-image-1.png"}, {"fit", "contain"}}}}},
           {"mp3", Message::object()}}},
         {"own", {{"image", {{"Bild \xE2\x82\xAC", "own-gr_FC_DF-Bild_20_80.png"}}}}},
         {"unsaved", true},
         {"canUndo", true},
         {"canRedo", false}},
    };
    EXPECT_EQ(replayed, expected);
    // Brought up to date once: the next message is the host's own.
    windows.minimize();
    EXPECT_EQ(receiveMessage(*second)["type"], "minimize");
}

TEST_F(WebWindowSystemTest, MoviesTheServerCannotGiveAreSentWithoutUrl) {
    dir.write("work/swf/Gr\xC3\xBC\xC3\x9F"
              "e 1.swf",
              "FWS 1");
    dir.write("outside.swf", "FWS 2");
    auto page = connectPage();
    ASSERT_TRUE(windows.waitForFirstPage(10s));
    struct Case {
        std::string path, body;  // body: what the URL serves, "" for no URL
    } cases[] = {
        {dir.file("work/swf/Gr\xC3\xBC\xC3\x9F"
                  "e 1.swf"),
         "FWS 1"},
        {dir.file("work/missing.swf"), ""},
        {dir.file("outside.swf"), ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        windows.loadMovie(Player::fullscreenButton, c.path);
        Message movie = receiveMessage(*page);
        EXPECT_EQ(movie["player"], "fullscreenButton");
        std::string url = movie.value("url", "(none)");
        if (c.body.empty()) {
            EXPECT_EQ(url, "") << c.path;
        } else {
            EXPECT_EQ(test::httpRequest(server.port(), url, test::ownHost(server.port())).body, c.body) << url;
        }
    }
}

TEST_F(WebWindowSystemTest, PageGoneDuringADialogCancelsItAndTheProgramEndsWithoutAPage) {
    WebWindowSystem shortLived{channel, server.workingFolderUrls(), {.pageGoneLimit = 300ms}};
    EXPECT_FALSE(shortLived.waitForFirstPage(50ms));
    auto page = connectPage();
    ASSERT_TRUE(shortLived.waitForFirstPage(10s));
    CustomColors custom;
    custom.fill(0xFFFFFF);
    auto pageSide = std::async(std::launch::async, [&] {
        receiveMessage(*page);
        page->drop();  // the tab is closed while its dialog is open
    });
    EXPECT_EQ(shortLived.chooseColor(std::nullopt, custom), std::nullopt);
    pageSide.get();
    EXPECT_EQ(custom[0], 0xFFFFFF);
    EXPECT_EQ(shortLived.messageBox("Tarvenox", "?", MessageIcon::none, MessageButtons::ok), MessageAnswer::cancel);
    EXPECT_EQ(shortLived.nextEvent().kind, UiEvent::Kind::end);
}

TEST_F(WebWindowSystemTest, RequestedEndStopsTheWaitingHost) {
    auto page = connectPage();
    ASSERT_TRUE(windows.waitForFirstPage(10s));
    auto signalWatcher = std::async(std::launch::async, [&] {
        receiveMessage(*page);  // the page never answers
        windows.requestEnd();
    });
    EXPECT_EQ(windows.messageBox("Tarvenox", "?", MessageIcon::none, MessageButtons::ok), MessageAnswer::cancel);
    signalWatcher.get();
    EXPECT_EQ(windows.nextEvent().kind, UiEvent::Kind::end);
    // Nothing waits any more, not even for a page to come back.
    EXPECT_EQ(windows.screenSize(), ScreenSize{});
    EXPECT_FALSE(windows.waitForFirstPage(std::nullopt));
}

// The interface movie "skin.swf" in the skin player: its variables go through the polls
// of the clip added to it, and its answers to reads never reach the dialogs.
TEST(WebWindowSystemSkinBridge, CarriesTheSkinsVariablesByPollAndAnswer) {
    test::TempDir dir;
    SWFFile skinMovie(5, SWFRect{0, 16000, 0, 12000, 0}, 12, 1);
    skinMovie.tags().push_back(std::make_unique<SWFTag>(TagCode::ShowFrame, Bytes{}));
    const Bytes original = serializeSWF(skinMovie);
    dir.write("work/skin.swf", original);
    dir.write("work/other.swf", original);
    SkinBridge skin(10s);
    PageChannel channel;
    PageServer server{{dir.path(), dir.path(), dir.file("work"), ""}, channel, 0, &skin};
    WebWindowSystem windows{channel,
                            server.workingFolderUrls(),
                            {.pageGoneLimit = 10s, .skinBridge = &skin, .skinPollUrl = server.skinPollUrl()}};
    auto page = test::connectPage(server.port(), server.prefix());
    ASSERT_TRUE(windows.waitForFirstPage(10s));
    auto get = [&](const std::string& target) {
        return test::httpRequest(server.port(), target, test::ownHost(server.port()));
    };

    windows.loadMovie(Player::skin, dir.file("work/skin.swf"));
    const Message movie = receiveMessage(*page);
    ASSERT_EQ(movie["type"], "movie");
    const test::HttpReply served = get(movie["url"].get<std::string>());
    EXPECT_EQ(served.status, 200);
    EXPECT_EQ(served.header("Cache-Control"), "no-store");
    EXPECT_GT(served.body.size(), original.size());
    EXPECT_NE(served.body.find(bridgeSpriteName), std::string::npos);

    windows.setVariable(Player::skin, "_root.sender", "J\xF6rg");
    EXPECT_EQ(get(server.skinPollUrl() + "?after=0").body, "s1=1&k1=_root.sender&v1=J%C3%B6rg&n=1&l=1&rn=0&ready=1");

    auto read = std::async(std::launch::async, [&] { return windows.getVariables(Player::skin, {"title", "sender"}); });
    while (get(server.skinPollUrl() + "?after=1").body.find("rn=2") == std::string::npos) {
        std::this_thread::sleep_for(1ms);
    }
    auto answer = [&](std::string_view args) {
        page->sendText(Message{
            {"type", "fsCommand"},
            {"player", "skin"},
            {"command", bridgeAnswerCommand},
            {"args", args}}.dump());
    };
    answer("1:Gr\xC3\xBC\xC3\x9F"
           "e");
    answer("2:J\xC3\xB6rg");
    answer("7:an answer nobody waits for");
    EXPECT_EQ(read.get(), (std::vector<std::optional<std::string>>{"Gr\xFC\xDF"
                                                                   "e",
                                                                   "J\xF6rg"}));
    page->sendText(R"({"type":"fsCommand","player":"skin","command":"clicked","args":"save"})");
    const UiEvent next = windows.nextEvent();
    EXPECT_EQ(next.command, "clicked") << "the answers are the bridge's, not the dialog's";

    // Any other movie in the skin player: the page keeps its variables, as before.
    windows.loadMovie(Player::skin, dir.file("work/other.swf"));
    EXPECT_EQ(receiveMessage(*page)["type"], "movie");
    EXPECT_FALSE(skin.active());
    windows.setVariable(Player::skin, "_root.sender", "Anna");
    EXPECT_EQ(receiveMessage(*page)["type"], "setVariable");
}

// A template in the viewer: the templates' server serves it with a clip that polls that
// server under the movie's number, and the preview's variables go to those polls; the
// working copy on disk (what Save copies) never holds the clip.
TEST(WebWindowSystemPreviewBridge, SetsThePreviewsVariablesByPollOnTheTemplatesServer) {
    test::TempDir dir;
    SWFFile card(5, SWFRect{0, 16000, 0, 12000, 0}, 12, 1);
    card.tags().push_back(std::make_unique<SWFTag>(TagCode::ShowFrame, Bytes{}));
    const Bytes original = serializeSWF(card);
    const std::string path = dir.write("work/card.swf", original);
    PreviewBridge preview(1ms);
    PageChannel channel;
    PageServer server{{dir.path(), dir.path(), dir.file("work"), ""}, channel, 0, nullptr, &preview};
    WebWindowSystem windows{
        channel,
        server.workingFolderUrls(),
        {.pageGoneLimit = 10s, .previewBridge = &preview, .previewPollPrefix = server.previewPollPrefix()}};
    auto page = test::connectPage(server.port(), server.prefix());
    ASSERT_TRUE(windows.waitForFirstPage(10s));
    const std::string templates = "http://127.0.0.1:" + std::to_string(server.templatePort());
    auto get = [&](const std::string& url) {
        EXPECT_TRUE(url.starts_with(templates)) << url;
        return test::httpRequest(server.templatePort(), url.substr(templates.size()),
                                 test::ownHost(server.templatePort()) + test::ownOrigin(server.port()));
    };

    windows.loadMovie(Player::viewer, path);
    const test::HttpReply served = get(receiveMessage(*page)["url"].get<std::string>());
    EXPECT_EQ(served.status, 200);
    EXPECT_NE(served.body.find(server.previewPollPrefix() + "1?after="), std::string::npos);
    EXPECT_EQ(served.body.find("FSCommand:"), std::string::npos) << "a template's player passes no FSCommand on";
    EXPECT_EQ(test::readBytes(path), original);

    windows.setVariable(Player::viewer, "title",
                        "J\xF6rg \x80"
                        "5");
    const test::HttpReply answer = get(server.previewPollPrefix() + "1?after=0");
    EXPECT_EQ(answer.body, "s1=1&k1=title&v1=J%C3%B6rg%20%E2%82%AC5&n=1&l=1&ready=1");
    EXPECT_EQ(answer.header("Access-Control-Allow-Origin"), "http://127.0.0.1:" + std::to_string(server.port()));
    // A movie the bridge does not know (one the page replaced, polling once more) gets
    // nothing to set, readable by the page: a refusal would be an error in its console.
    const test::HttpReply unknown = get(server.previewPollPrefix() + "2?after=0");
    EXPECT_EQ(unknown.status, 200);
    EXPECT_EQ(unknown.body, "");
    EXPECT_EQ(unknown.header("Access-Control-Allow-Origin"), "http://127.0.0.1:" + std::to_string(server.port()));
    // Other players' variables still go to the page.
    windows.setVariable(Player::skin, "title", "Anna");
    EXPECT_EQ(receiveMessage(*page)["type"], "setVariable");
}

}  // namespace
}  // namespace tarvenox::web
