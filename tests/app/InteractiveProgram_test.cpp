// The interactive program as a page sees it: the real program on the demo installation,
// driven over its WebSocket by a scripted page through a whole session, and ended by a
// signal while it waits for the page.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
#include <regex>
#include <set>

#include <nlohmann/json.hpp>

#include "common/Texts.h"
#include "support/ChildProgram.h"
#include "support/LoopbackClient.h"
#include "support/MovieBuilder.h"
#include "support/TempDir.h"

namespace tarvenox {
namespace {

using json = nlohmann::json;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string demo = std::string(TARVENOX_DEMO) + "/loose";
const std::string media = std::string(TARVENOX_SOURCE_DIR) + "/demo/media";

// A page that answers the host's requests from a script and keeps the skin's variables.
class ScriptedPage {
public:
    explicit ScriptedPage(const std::string& address) {
        std::smatch parts;
        const std::regex form(R"(http://127\.0\.0\.1:(\d+)(/s/[0-9a-f]{64}/))");
        if (!std::regex_match(address, parts, form)) throw std::runtime_error("not an address: " + address);
        const int port = std::stoi(parts[1]);
        const std::string origin = "Origin: http://127.0.0.1:" + std::to_string(port) + "\r\n";
        socket = std::make_unique<test::WebSocketClient>(port, parts[2].str() + "ws", test::ownHost(port) + origin);
    }

    void send(json message) { socket->sendText(message.dump()); }
    void command(const std::string& name, const std::string& args = "", const std::string& player = "skin") {
        send({{"type", "fsCommand"}, {"player", player}, {"command", name}, {"args", args}});
    }

    // Takes the host's messages, answering its requests, until one satisfies done;
    // false when the host falls silent first.
    bool until(const std::function<bool(const json&)>& done) {
        while (auto text = socket->receiveText(20s)) {
            json message = json::parse(*text);
            received.push_back(message);
            const std::string type = message["type"];
            if (type == "setVariable" && message["player"] == "skin") variables[message["name"]] = message["value"];
            if (message.contains("id") && !unanswered.count(type))
                send({{"type", "reply"}, {"id", message["id"]}, {"result", answer(message)}});
            if (done(message)) return true;
        }
        return false;
    }
    bool untilType(const std::string& type) {
        return until([&](const json& m) { return m["type"] == type; });
    }
    bool untilVariable(const std::string& name) {
        return until([&](const json& m) { return m["type"] == "setVariable" && m["name"] == name; });
    }
    // Until the preview has been unloaded and loaded again.
    bool untilPreviewReloaded() {
        bool unloaded = false;
        return until([&](const json& m) {
            if (m["type"] != "movie" || m["player"] != "viewer") return false;
            if (m["url"] == "") return unloaded = true, false;
            return unloaded;
        });
    }

    std::map<std::string, json> variables;
    std::map<std::string, std::deque<json>> answers;  // dialog results by request type
    std::set<std::string> unanswered;                 // request types left open
    std::vector<json> received;

private:
    json answer(const json& request) {
        const std::string type = request["type"];
        if (type == "flashVersion") return 32 << 16;
        if (type == "screenSize") return {{"width", 1280}, {"height", 1024}};
        auto value = [&](const json& name) { return variables.count(name) ? variables[name] : json(""); };
        if (type == "getVariable") return value(request["name"]);
        if (type == "getVariables") {
            json values = json::array();
            for (const json& name : request["names"]) values.push_back(value(name));
            return values;
        }
        auto& queue = answers[type];
        if (queue.empty()) return type == "messageBox" ? json("ok") : json(nullptr);
        json result = queue.front();
        queue.pop_front();
        return result;
    }

    std::unique_ptr<test::WebSocketClient> socket;
};

class InteractiveProgramTest : public ::testing::Test {
protected:
    // The runs' records are the test's own, so that only its runs are swept.
    std::unique_ptr<test::ChildProgram> start(std::vector<std::string> arguments = {"--no-browser"},
                                              const std::string& errName = "stderr") {
        dir.write("tmp/.keep", "");
        return std::make_unique<test::ChildProgram>(
            arguments, demo,
            std::vector<std::string>{"TMPDIR=" + dir.file("tmp"), "TARVENOX_REGISTRY=/nonexistent",
                                     "XDG_CACHE_HOME=" + dir.file("cache")},
            dir.file(errName));
    }
    // The working folders in the test's temporary folder.
    std::set<std::string> workingFolderPaths() const {
        std::set<std::string> paths;
        for (const auto& entry : fs::directory_iterator(dir.file("tmp"))) {
            if (entry.path().filename().string().rfind("tvtmpdir.prg.", 0) == 0) paths.insert(entry.path());
        }
        return paths;
    }
    int workingFolders() const { return static_cast<int>(workingFolderPaths().size()); }

    // Starts the program, connects the page and chooses the greeting card.
    void openGreeting() {
        program = start();
        auto address = program->readLine();
        ASSERT_TRUE(address) << test::readText(dir.file("stderr"));
        page = std::make_unique<ScriptedPage>(*address);
        ASSERT_TRUE(page->untilVariable("_root.skin_cdpath"));
        page->command("selectMovie", "greeting");
        ASSERT_TRUE(page->untilVariable("_root.editLoaded"));
    }

    test::TempDir dir;
    std::unique_ptr<test::ChildProgram> program;
    std::unique_ptr<ScriptedPage> page;
};

TEST_F(InteractiveProgramTest, APageSessionSavesWhatTheCommandLineSaves) {
    ASSERT_NO_FATAL_FAILURE(openGreeting());
    ScriptedPage& page = *this->page;
    EXPECT_EQ(workingFolders(), 1);
    // Windows-1252 in the installation, UTF-8 on the page.
    EXPECT_EQ(page.variables["sender"], "J\xC3\xB6rg");
    page.variables["title"] = "Hallo Welt";
    page.variables["sender"] = "Zo\xC3\xAB";

    page.answers["chooseColor"].push_back({{"color", 0x336699}, {"customColors", std::vector<int>(16, 0xFFFFFF)}});
    page.command("selectColor", "_root.backgroundColor");
    ASSERT_TRUE(page.untilVariable("_root.backgroundColor"));
    page.answers["chooseFont"].push_back(
        {{"face", "DejaVu Sans"}, {"bold", true}, {"italic", false}, {"pointTenths", 100}});
    page.command("selectFont", "Headline");
    ASSERT_TRUE(page.untilVariable("_root.widths"));
    EXPECT_EQ(page.variables["_root.widths"].get<std::string>().size(), 448u);
    page.answers["openFile"] = {media + "/garden.png", media + "/song.mp3"};
    page.command("selectImage", "photo");
    page.command("selectMp3", "music");
    page.command("apply");
    ASSERT_TRUE(page.untilPreviewReloaded());

    const std::string saved = dir.file("out/my card.swf");
    dir.write("out/.keep", "");
    page.answers["saveFile"] = {saved};
    page.command("clicked", "save");
    // The preview shows what is saved already: it keeps playing.
    ASSERT_TRUE(page.until([](const json& m) {
        return m["type"] == "editor" && m.contains("last") && m["last"].is_object() && m["last"].contains("saved");
    }));

    page.command("clicked", "fullscreen");
    ASSERT_TRUE(page.until([](const json& m) { return m["type"] == "movie" && m["player"] == "fullscreenButton"; }));
    page.command("close", "", "fullscreenButton");
    ASSERT_TRUE(page.untilType("closeFullscreen"));

    page.command("clicked", "quit");
    ASSERT_TRUE(page.untilType("quit"));
    EXPECT_EQ(program->wait(), 0);
    EXPECT_EQ(workingFolders(), 0);
    for (const json& m : page.received) EXPECT_NE(m["type"], "messageBox") << m.dump();

    const std::string cli = dir.file("cli.swf");
    auto result = test::runTarvenox("save --template greeting --data '" + demo + "' -o '" + cli +
                                    "' --font Headline='DejaVu Sans' --image photo='" + media +
                                    "/garden.png' --mp3 music='" + media +
                                    "/song.mp3' --background '#336699'"
                                    // The message came back from the page with a line feed
                                    // for its carriage return: the same text, no edit, and
                                    // the movie keeps the template's own.
                                    " --var title='Hallo Welt' --var sender='Zo\xC3\xAB'");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_FALSE(test::readBytes(saved).empty());
    EXPECT_EQ(test::readBytes(saved), test::readBytes(cli));
}

TEST_F(InteractiveProgramTest, ASignalEndsTheProgramWhileItWaitsForThePage) {
    ASSERT_NO_FATAL_FAILURE(openGreeting());
    ScriptedPage& page = *this->page;
    // The picture dialog stays open: the host waits for its answer.
    page.unanswered.insert("openFile");
    page.command("selectImage", "photo");
    ASSERT_TRUE(page.until([](const json& m) { return m["type"] == "openFile"; }));
    program->signal(SIGTERM);
    EXPECT_TRUE(page.untilType("quit"));
    EXPECT_EQ(program->wait(), 128 + SIGTERM);
    EXPECT_EQ(workingFolders(), 0);
}

// SIGKILL leaves a run's working folder (the template copies, the thumbnails) behind;
// the next start removes it and says so, and leaves the folder of a run still going.
TEST_F(InteractiveProgramTest, AStartSweepsTheWorkingFolderOfAKilledRunButNotOfALiveOne) {
    auto live = start({"--no-browser"}, "stderr-live");
    ASSERT_TRUE(live->readLine());
    const std::set<std::string> liveFolders = workingFolderPaths();
    auto killed = start({"--no-browser"}, "stderr-killed");
    ASSERT_TRUE(killed->readLine());
    std::set<std::string> killedFolders = workingFolderPaths();
    for (const std::string& folder : liveFolders) killedFolders.erase(folder);
    ASSERT_EQ(liveFolders.size(), 1u);
    ASSERT_EQ(killedFolders.size(), 1u);
    killed->signal(SIGKILL);
    EXPECT_EQ(killed->wait(), 128 + SIGKILL);
    const std::string left = *killedFolders.begin();
    EXPECT_FALSE(fs::is_empty(left));

    auto next = start({"--verbose", "--no-browser"}, "stderr-next");
    ASSERT_TRUE(next->readLine());
    EXPECT_FALSE(fs::exists(left));
    EXPECT_TRUE(fs::exists(*liveFolders.begin()));
    EXPECT_EQ(workingFolders(), 2);
    const std::string log = test::readText(dir.file("stderr-next"));
    EXPECT_NE(log.find("swept " + left + ", left by process "), std::string::npos) << log;

    for (auto* program : {live.get(), next.get()}) {
        program->signal(SIGTERM);
        EXPECT_EQ(program->wait(), 128 + SIGTERM);
    }
    EXPECT_EQ(workingFolders(), 0);
    EXPECT_TRUE(fs::is_empty(dir.file("cache/tarvenox/runs")));
}

TEST_F(InteractiveProgramTest, WithoutThePlayerTheProgramDoesNotStart) {
    dir.write("share/web/index.html", "<!doctype html>");
    program = std::make_unique<test::ChildProgram>(
        std::vector<std::string>{"--no-browser"}, demo,
        std::vector<std::string>{"TARVENOX_SHARE=" + dir.file("share"), "TMPDIR=" + dir.file("share")},
        dir.file("stderr"));
    EXPECT_EQ(program->wait(), 1);
    EXPECT_EQ(test::readText(dir.file("stderr")), "tarvenox: " + text("message.flashMissing") + "\n");
}

// A movie on the command line: its template is chosen without a click, and both its
// installation and the working folder go when the program ends. What cannot be opened
// ends the program with one line before any page starts.
TEST_F(InteractiveProgramTest, AMovieOpensWithItsTemplateChosen) {
    const std::string movie = dir.write("banner.swf", test::MovieBuilder(8).background(1, 2, 3).showFrame().build());
    program = start({movie, "--no-browser"});
    auto address = program->readLine();
    ASSERT_TRUE(address) << test::readText(dir.file("stderr"));
    EXPECT_EQ(workingFolders(), 2);  // the working folder and the movie's installation
    page = std::make_unique<ScriptedPage>(*address);
    ASSERT_TRUE(page->untilVariable("_root.editLoaded"));
    ASSERT_TRUE(page->until([](const json& m) { return m["type"] == "editor" && m["template"] == "banner"; }));
    program->signal(SIGTERM);
    EXPECT_EQ(program->wait(), 128 + SIGTERM);
    EXPECT_EQ(workingFolders(), 0);

    const std::string text = dir.write("notes.swf", std::string("no movie"));
    const std::vector<std::vector<std::string>> refused = {
        {dir.file("missing.swf"), "--no-browser"},
        {"edit", text, "--no-browser"},
        {"--data", demo, movie, "--no-browser"},
    };
    for (const auto& arguments : refused) {
        program = start(arguments);
        EXPECT_EQ(program->wait(), 1) << arguments[0];
        const std::string err = test::readText(dir.file("stderr"));
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_EQ(err.rfind("tarvenox: ", 0), 0u) << err;
        EXPECT_EQ(workingFolders(), 0);
    }
}

}  // namespace
}  // namespace tarvenox
