// `tarvenox save --var`: variables set in a movie's actions.
#include <gtest/gtest.h>

#include "common/Texts.h"
#include "support/MovieBuilder.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "swf/SWFFile.h"

namespace tarvenox {
namespace {

using test::cstr;
using test::le16;
using test::operator+;
using test::runTarvenox;
using test::TempDir;

// The bodies of the movie's DoAction tags, in order.
std::vector<Bytes> doActions(const std::string& path) {
    SWFFile movie = test::readMovie(path);
    std::vector<Bytes> bodies;
    for (const auto& tag : movie.tags()) {
        if (tag->code() == TagCode::DoAction) bodies.emplace_back(tag->body().begin(), tag->body().end());
    }
    return bodies;
}

std::string writeMovie(const TempDir& dir, std::uint8_t version = 6) {
    return dir.write("in.swf",
                     test::MovieBuilder(version).background(1, 2, 3).tag(12, {0x07, 0x00}).showFrame().build());
}

TEST(SaveVariables, VariablesTheScriptDoesNotSetAreAssignedJustBeforeIt) {
    // The value arrives as UTF-8 and is written in Windows-1252 into a movie before
    // version 6, in UTF-8 into a later one.
    for (auto [version, umlaut] : {std::pair<std::uint8_t, std::string>{5, "\xE4"}, {6, "\xC3\xA4"}}) {
        SCOPED_TRACE(int(version));
        TempDir dir;
        writeMovie(dir, version);
        auto result = runTarvenox("save in.swf -o out.swf --var title=Hello --var count:i=+3 --var 'on:b=true' "
                                  "--var 'x:d=1' --var 'path:/x:s=\xC3\xA4'",
                                  dir.path());
        ASSERT_EQ(result.status, 0) << result.err;
        Bytes expected = Bytes{0x96} + le16(14) + Bytes{0x00} + cstr("title") + Bytes{0x00} + cstr("Hello") +
                         Bytes{0x1D} + Bytes{0x96} + le16(12) + Bytes{0x00} + cstr("count") +
                         Bytes{0x07, 3, 0, 0, 0, 0x1D} + Bytes{0x96} + le16(6) + Bytes{0x00} + cstr("on") +
                         Bytes{0x05, 1, 0x1D} + Bytes{0x96} + le16(12) + Bytes{0x00} + cstr("x") +
                         Bytes{0x06, 0, 0, 0xF0, 0x3F, 0, 0, 0, 0, 0x1D} + Bytes{0x96} + le16(11 + umlaut.size()) +
                         Bytes{0x00} + cstr("path:/x") + Bytes{0x00} + cstr(umlaut) + Bytes{0x1D} + Bytes{0x00};
        // The movie's own script (ActionStop) follows, untouched.
        EXPECT_EQ(doActions(dir.file("out.swf")), (std::vector<Bytes>{expected, {0x07, 0x00}}));

        // Without --var the actions stay.
        result = runTarvenox("save in.swf -o same.swf", dir.path());
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(doActions(dir.file("same.swf")), (std::vector<Bytes>{{0x07, 0x00}}));
    }
}

TEST(SaveVariables, BadVariablesAreRefusedBeforeAnythingIsWritten) {
    TempDir dir;
    writeMovie(dir);
    const std::string longValue(65531, 'v');
    struct Case {
        std::string option;
        std::string message;
    };
    const Case cases[] = {
        {"novalue", "--var: 'novalue' is not NAME=VALUE"},
        {"=1", "--var: '=1' has no variable name"},
        {":i=1", "--var: ':i=1' has no variable name"},
        // A value its type would take only in part is not written as another one.
        {"n:i=1.5", "--var: " + text("variable.notInteger", {"n:i=1.5"})},
        {"n:i=3000000000", "--var: " + text("variable.notInteger", {"n:i=3000000000"})},
        {"n:i=+-3", "--var: " + text("variable.notInteger", {"n:i=+-3"})},
        {"x:d=1,5", "--var: " + text("variable.notNumber", {"x:d=1,5"})},
        {"x:d=nan", "--var: " + text("variable.notNumber", {"x:d=nan"})},
        {"on:b=yes", "--var: " + text("variable.notFlag", {"on:b=yes"})},
        {"t=\xE6\xBC\xA2", "--var: 't=\xE6\xBC\xA2' has characters that Windows-1252 cannot represent"},
        {"n=" + longValue, "--var: variable 'n' is too long to be written: its push record would take 65536 "
                           "bytes, at most 65535 fit"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        auto result = runTarvenox("save in.swf -o out.swf --var '" + c.option + "'", dir.path());
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "tarvenox: " + c.message + "\n");
        EXPECT_TRUE(test::readBytes(dir.file("out.swf")).empty());
    }
}

}  // namespace
}  // namespace tarvenox
