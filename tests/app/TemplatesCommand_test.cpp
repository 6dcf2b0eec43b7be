// `tarvenox templates`: the templates of an installation, run as a user runs it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdlib>

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
                     // Named only by configs.txt, found in files.db under its folder.
                     "extra\\poster\n"
                     "  fonts: \"Title\"\n"
                     "  pictures: \"logo\", \"Back\"\n"
                     "  sounds: \"music\"\n"
                     "  variables:\n"
                     "    headline (s) = \"Sale\"\n");
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

}  // namespace
}  // namespace tarvenox
