// `tarvenox templates`: the templates of an installation, run as a user runs it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "support/Installation.h"
#include "support/TempDir.h"

namespace tarvenox {
namespace {

using test::runTarvenox;
using test::TempDir;

class TemplatesCommand : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeInstallation(installation);
        ::setenv("TARVENOX_REGISTRY", installation.file("no-registry").c_str(), 1);
    }
    void TearDown() override { ::unsetenv("TARVENOX_REGISTRY"); }
    TempDir installation;
};

TEST_F(TemplatesCommand, ListsListedAndConfiguredTemplatesWithWhatTheyLetOneChange) {
    // Run inside the installation: the current directory is the default.
    auto r = runTarvenox("templates", installation.path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "card  \"Visiten karte\" in list movies\n"
                     "  fonts: \"Title\"\n"
                     "  pictures: \"logo\", \"Back\"\n"
                     "  sounds: \"music\"\n"
                     "  variables:\n"
                     "    title (s) = \"Hallo\"\n"
                     "    count (i) = \"3\"\n"
                     "    shown (b) = \"true\"\n"
                     "  background: #102030\n"
                     // Named only by configs.txt, found in files.db under its folder.
                     "extra\\poster\n"
                     "  fonts: \"Title\"\n"
                     "  pictures: \"logo\", \"Back\"\n"
                     "  sounds: \"music\"\n"
                     "  variables:\n"
                     "    headline (s) = \"Sale\"\n"
                     "  background: #102030\n");
}

TEST_F(TemplatesCommand, JsonAndFailures) {
    // A template movie that ends early is listed as far as it goes, with its error.
    installation.write("swf/card.swf", std::string("FWS\x05\x40\x00\x00\x00", 8));
    auto r = runTarvenox("templates --json --data '" + installation.path() + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto list = nlohmann::json::parse(r.out);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]["name"], "card");
    EXPECT_EQ(list[0]["title"], "Visiten+karte");
    EXPECT_NE(list[0]["error"].get<std::string>().find("card.swf"), std::string::npos);
    EXPECT_TRUE(list[0]["pictures"].empty());
    EXPECT_EQ(list[1]["name"], "extra\\poster");
    // Each slot an object, named as the save's options take it.
    EXPECT_EQ(list[1]["pictures"][1]["name"], "Back");
    EXPECT_EQ(list[1]["pictures"][0]["shapes"], nlohmann::json::array({3}));
    EXPECT_EQ(list[1]["fonts"][0]["name"], "Title");
    EXPECT_EQ(list[1]["background"], "#102030");
    EXPECT_EQ(list[1]["list"], "");
    EXPECT_EQ(list[1]["variables"][0], (nlohmann::json{{"name", "headline"}, {"type", "s"}, {"value", "Sale"}}));

    TempDir empty;
    r = runTarvenox("templates --data '" + empty.path() + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "no templates\n");
    r = runTarvenox("templates --data '" + empty.file("missing") + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is not a folder"), std::string::npos) << r.err;
}

// The demo comes in English and German: the same templates with the same slots and
// variables, only the words differ, so that neither drifts from the other.
TEST(TemplatesCommandDemo, TheGermanDemoOffersWhatTheEnglishOneDoes) {
    const auto listing = [](const std::string& installation) {
        auto r = runTarvenox("templates --json --data '" + std::string(TARVENOX_DEMO) + installation + "'");
        EXPECT_EQ(r.status, 0) << r.err;
        auto doc = nlohmann::json::parse(r.out);
        std::set<std::string> titles;
        for (auto& entry : doc) {
            titles.insert(entry["title"].get<std::string>());
            entry.erase("title");
            entry.erase("list");
            for (auto& variable : entry["variables"]) variable.erase("value");
        }
        return std::pair{doc, titles};
    };
    const auto [english, englishTitles] = listing("/packed");
    const auto [german, germanTitles] = listing("/de/packed");
    EXPECT_EQ(german, english);
    EXPECT_EQ(germanTitles, (std::set<std::string>{"Grußkarte", "Verkaufsplakat"}));
    EXPECT_EQ(englishTitles, (std::set<std::string>{"Greeting card", "Sale poster"}));
    // The forms ask for the same things: kind and name of each row, in the same order.
    const auto rows = [](const std::string& form) {
        std::ifstream file(form);
        std::vector<std::string> kindAndName;
        for (std::string line; std::getline(file, line);) kindAndName.push_back(line.substr(0, line.rfind('\t')));
        return kindAndName;
    };
    for (const char* form : {"/swf/greetingConfig.txt", "/swf/saleConfig.txt"}) {
        const auto englishRows = rows(TARVENOX_SOURCE_DIR "/demo" + std::string(form));
        EXPECT_FALSE(englishRows.empty()) << form;
        EXPECT_EQ(rows(TARVENOX_SOURCE_DIR "/demo/de" + std::string(form)), englishRows) << form;
    }
}

// A plain movie describes itself: the demo's greeting card, read as any movie, gives the
// texts its fields show, its picture and where it is drawn, its fonts and its music.
TEST(TemplatesCommandMovie, DescribesOneMovieAsJson) {
    const std::string movie = std::string(TARVENOX_DEMO) + "/loose/swf/greeting.swf";
    auto r = runTarvenox("templates --json '" + movie + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["file"], movie);
    std::set<std::string> texts;
    for (const auto& text : doc["texts"]) texts.insert(text["name"].get<std::string>());
    EXPECT_EQ(texts, (std::set<std::string>{"title", "message", "sender"}));
    std::set<std::string> fonts;
    for (const auto& font : doc["fonts"]) fonts.insert(font["name"].get<std::string>());
    EXPECT_EQ(fonts, (std::set<std::string>{"Headline", "Body"}));
    ASSERT_EQ(doc["pictures"].size(), 1u);
    const auto& photo = doc["pictures"][0];
    EXPECT_EQ(photo["name"], "photo");
    EXPECT_GT(photo["width"].get<int>(), 0);
    ASSERT_EQ(photo["placements"].size(), 1u);
    EXPECT_GT(photo["placements"][0]["width"].get<double>(), 0);
    EXPECT_EQ(doc["sounds"][0]["name"], "music");
    EXPECT_TRUE(doc["background"].is_string());

    // Not a movie: one line, status 1; a movie and --data do not go together.
    TempDir dir;
    r = runTarvenox("templates '" + dir.write("x.swf", std::string("nope")) + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    r = runTarvenox("templates '" + movie + "' --data '" + dir.path() + "'");
    EXPECT_NE(r.status, 0);
}

}  // namespace
}  // namespace tarvenox
