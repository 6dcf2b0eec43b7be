// The language of the command line's messages: the locale's, or the one --lang names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/MoviePictures.h"
#include "common/Texts.h"
#include "support/MovieBuilder.h"
#include "support/TempDir.h"

namespace tarvenox {
namespace {

using test::operator+;

std::string textIn(Language language, const std::string& id) {
    for (const auto& [key, text] : catalogueOf(language)) {
        if (key == id) return text;
    }
    return "(" + id + " missing)";
}

// What is fixed in any line the text fills: the text up to its first placeholder, or for a
// text that opens with one (a file's name), the longest stretch between placeholders.
std::string fixedPart(Language language, const std::string& id) {
    const std::string text = textIn(language, id);
    if (!text.starts_with('{')) return text.substr(0, text.find('{'));
    std::string longest;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t open = std::min(text.find('{', start), text.size());
        if (open - start > longest.size()) longest = text.substr(start, open - start);
        const std::size_t close = text.find('}', open);
        start = close == std::string::npos ? text.size() : close + 1;
    }
    return longest;
}

// Sets environment variables (nullptr: unset) for one test and puts the previous ones back.
class Environment {
public:
    Environment(std::initializer_list<std::pair<const char*, const char*>> values) {
        for (const auto& [name, value] : values) {
            const char* before = std::getenv(name);
            saved_[name] = before ? std::optional<std::string>(before) : std::nullopt;
            if (value)
                ::setenv(name, value, 1);
            else
                ::unsetenv(name);
        }
    }
    ~Environment() {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

// The locale variables for one test.
class Locale : public Environment {
public:
    Locale(const char* all, const char* lang)
        : Environment({{"LC_ALL", all}, {"LC_MESSAGES", nullptr}, {"LANG", lang}}) {}
};

TEST(CommandLineLanguage, RefusalsFollowTheLocaleUnlessLangIsGiven) {
    test::TempDir work;
    struct Case {
        const char* all;
        const char* lang;
        std::string options;
        Language expected;
    } cases[] = {
        {nullptr, "de_DE.UTF-8", "", Language::german},
        {nullptr, "en_US.UTF-8", "", Language::english},
        {nullptr, "de_DE.UTF-8", "--lang en", Language::english},
        {nullptr, "en_US.UTF-8", "--lang de", Language::german},
        // After the command, as every global option may be.
        {nullptr, "de_DE.UTF-8", "save --lang en", Language::english},
        {"en_US.UTF-8", "de_DE.UTF-8", "", Language::english},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options + (c.lang ? std::string(" LANG=") + c.lang : ""));
        Locale locale(c.all, c.lang);
        // Neither a movie nor a template: refused before anything is read.
        const std::string arguments =
            c.options.starts_with("save") ? c.options + " -o out.swf" : c.options + " save -o out.swf";
        const test::RunResult run = test::runTarvenox(arguments, work.path());
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "tarvenox: " + textIn(c.expected, "save.noSource") + "\n");
    }
    const test::RunResult unknown = test::runTarvenox("--lang fr save -o out.swf", work.path());
    EXPECT_NE(unknown.status, 0);
    EXPECT_NE(unknown.err.find("--lang"), std::string::npos) << unknown.err;
}

// What a person reads on the command line: the help with CLI11's headings, a mistake on
// the command line, the listings, the system's reasons and the refusals of pictures, sounds,
// forms and sheets, all in the run's language.
TEST(CommandLineLanguage, HelpListingsAndReasonsAreInTheRunsLanguage) {
    test::TempDir work;
    test::MovieBuilder().frameRate(12, 128).background(1, 2, 3).writeTo(work.file("movie.swf"));
    std::filesystem::create_directory(work.file("empty"));
    work.write("hostname.swf", "vm\nhost\n");
    work.write("short.swf", std::string("FWS\x0A\x08\0\0\0", 8));
    // A movie exporting a picture and a sound, and files that cannot replace them.
    const Bytes adpcm = Bytes{0x16} + test::le32(100) + Bytes(30, 1);
    test::MovieBuilder()
        .tag(20, test::le16(1) + Bytes{5} + test::le16(4) + test::le16(4) + Bytes{0x78, 0x9C, 0x03, 0x00, 0, 0, 0, 1})
        .tag(14, test::le16(2) + adpcm)
        .tag(56, test::le16(2) + test::le16(1) + test::cstr("photo") + test::le16(2) + test::cstr("music"))
        .showFrame()
        .writeTo(work.file("slots.swf"));
    work.write("text.png", "vm\nhost\n");
    work.write("frameless.jpg", std::string("\xFF\xD8\xFF\xD9", 4));
    work.write("text.mp3", std::string(500, 'x'));
    work.write("quote.csv", "a,\"b\n1,2\n");
    struct Case {
        std::string arguments;
        // Ids whose text (up to a placeholder) the output or error shows.
        std::vector<std::string> shown;
    } cases[] = {
        {"--help",
         {"cli.label.Usage", "cli.label.OPTIONS", "cli.label.Options", "cli.label.Subcommands", "help.verbose",
          "help.lang", "help.help", "help.save"}},
        {"save --help",
         {"help.save.output", "help.save.fit", "help.type.nameFile", "cli.label.Positionals", "cli.label.REQUIRED",
          "cli.label.Needs", "cli.label.Excludes"}},
        {"archive extract --help", {"help.archive.extract", "help.archive.name", "help.arg.archive"}},
        {"render --help", {"help.render", "help.render.frame", "help.render.size", "help.type.size"}},
        {"edit --port 70000", {"cli.notPort", "cli.seeHelp"}},
        {"save movie.swf -o out.swf --frobnicate", {"cli.unexpected", "cli.seeHelp"}},
        {"save --template card movie.swf -o out.swf", {"cli.excludes"}},
        {"inspect", {"cli.required"}},
        {"inspect movie.swf",
         {"inspect.header", "inspect.oneFrame", "inspect.background", "inspect.oneTag", "inspect.changeable",
          "inspect.slot.background"}},
        {"templates movie.swf", {"listing.fonts", "listing.pictures", "listing.variables", "listing.background"}},
        {"templates --data empty", {"listing.noTemplates"}},
        {"inspect none.swf", {"file.cannotOpen", "system.noEntry"}},
        {"archive list empty", {"file.isFolder"}},
        {"inspect hostname.swf", {"movie.notSWF"}},
        {"inspect short.swf", {"movie.headerTooShort"}},
        {"save slots.swf -o out.swf --image photo=text.png", {"png.undecodable", "png.noSignature"}},
        {"save slots.swf -o out.swf --image photo=frameless.jpg", {"jpeg.unshowable", "jpeg.noFrame"}},
        {"save slots.swf -o out.swf --mp3 music=text.mp3", {"mp3.noStreamReason"}},
        {"save slots.swf -o out.swf --font photo", {"form.notInForm", "form.nameFace"}},
        {"save --template card --rows quote.csv -o '{a}.swf'", {"sheet.rowUnreadable"}},
    };
    // CLI11's own words, which must not show through in German.
    const char* cliWords[] = {"Usage",        "Options",     "Subcommands",  "Positionals", "REQUIRED", "Excludes",
                              "not expected", "is required", "No such file", "Print this",  "INT in",   "FLOAT"};
    for (const auto& [language, locale] :
         {std::pair{Language::german, "de_DE.UTF-8"}, std::pair{Language::english, "en_US.UTF-8"}}) {
        Locale chosen(nullptr, locale);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(locale) + ": tarvenox " + c.arguments);
            const test::RunResult run = test::runTarvenox(c.arguments, work.path());
            const std::string seen = run.out + run.err;
            for (const std::string& id : c.shown) {
                // The help's labels stand in brackets or before a colon as they are.
                EXPECT_NE(seen.find(fixedPart(language, id)), std::string::npos) << id << "\n" << seen;
            }
            if (language == Language::german) {
                for (const char* word : cliWords) EXPECT_EQ(seen.find(word), std::string::npos) << word << "\n" << seen;
            }
        }
        // A listing's numbers as the language writes them: 12,5 frames a second in German.
        const std::string listing = test::runTarvenox("inspect movie.swf", work.path()).out;
        EXPECT_NE(listing.find(language == Language::german ? " 12,5 " : " 12.5 "), std::string::npos) << listing;
    }
    // --lang decides the help's language wherever it stands, before or after the command.
    Locale inEnglish(nullptr, "en_US.UTF-8");
    for (const char* arguments : {"--lang de --help", "save --lang=de --help"}) {
        SCOPED_TRACE(arguments);
        EXPECT_NE(test::runTarvenox(arguments).out.find(textIn(Language::german, "cli.label.Usage") + ":"),
                  std::string::npos);
    }
}

// The renderer's failures as a stand-in renderer tells them: the host says them in the run's
// language where the renderer names a text the catalogue has, else as the renderer said them.
TEST(CommandLineLanguage, RendererFailuresAreSaidInTheRunsLanguage) {
    if (std::system("node --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "node is missing";
    test::TempDir share;
    share.write("web/index.html", "page");
    share.write("ruffle/ruffle.js", "// player");
    test::TempDir work;
    test::MovieBuilder().background(1, 2, 3).writeTo(work.file("movie.swf"));
    const Environment standIn{{"TARVENOX_SHARE", share.path().c_str()}, {"TARVENOX_CHROMIUM", "/bin/true"}};
    const Language before = currentLanguage();
    useLanguage(Language::german);
    const std::string reported = "movie.swf: the player reported panic: unreachable";
    struct Case {
        const char* what;
        std::string output;  // the renderer's standard output
        std::string error;   // its standard error
        int status;
        std::string expected;
    } cases[] = {
        {"a job's failure with its id",
         R"({"job":0,"error":")" + reported +
             R"(","id":"render.playerReported","values":["movie.swf","panic: unreachable"]})",
         "", 1, text("render.playerReported", {"movie.swf", "panic: unreachable"})},
        {"an id the catalogue lacks", R"({"job":0,"error":")" + reported + R"(","id":"render.later","values":[]})", "",
         1, reported},
        {"no id (an older renderer)", R"({"job":0,"error":")" + reported + R"("})", "", 1, reported},
        {"fewer values than the text wants",
         R"({"job":0,"error":")" + reported + R"(","id":"render.playerReported","values":["movie.swf"]})", "", 1,
         reported},
        {"an id of another part of the program",
         R"({"job":0,"error":")" + reported + R"(","id":"save.noSource","values":[]})", "", 1, reported},
        {"the whole run's failure with its id",
         R"({"error":"the player did not finish within 150 seconds","id":"render.playerTimeout","values":["150"]})",
         "the player did not finish within 150 seconds", 1, text("render.playerTimeout", {"150"})},
        {"the whole run's failure on standard error only", "", "the player could not run: gone", 1,
         "the player could not run: gone"},
        {"no word at all", "", "", 3, text("render.endedWithStatus", {"3"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        share.write("render/render.mjs", "process.stdout.write(" + nlohmann::json(c.output + "\n").dump() +
                                             ");\nprocess.stderr.write(" + nlohmann::json(c.error + "\n").dump() +
                                             ");\nprocess.exit(" + std::to_string(c.status) + ");\n");
        const test::RunResult run = test::runTarvenox("--lang de render movie.swf -o out.png", work.path());
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "tarvenox: " + c.expected + "\n");
    }
    // A run that ends (its time limit) while jobs are still playing: the jobs it neither wrote
    // nor failed are the run's failure, not written files.
    share.write("render/render.mjs",
                "process.stdout.write('{\"job\":0,\"done\":true}\\n{\"job\":2,\"error\":\"two\"}\\n');\n"
                "process.stderr.write('the player did not finish within 150 seconds\\n');\nprocess.exit(1);\n");
    EXPECT_EQ(runRenderer({"{}", "{}", "{}", "{}"}),
              (std::vector<std::string>{"", "the player did not finish within 150 seconds", "two",
                                        "the player did not finish within 150 seconds"}));
    useLanguage(before);
}

}  // namespace
}  // namespace tarvenox
