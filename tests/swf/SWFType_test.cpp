// Typed action variables: their action bytes, their values, and building them from the
// configuration table.
#include "swf/SWFType.h"

#include <gtest/gtest.h>

#include "common/Exception.h"
#include "data/TextTable.h"
#include "support/MovieBuilder.h"
#include "support/ReadMovie.h"
#include "swf/MovieVariables.h"
#include "swf/SWFDoAction.h"
#include "swf/SWFFile.h"

namespace tarvenox {
namespace {

using test::cstr;
using test::le16;
using test::operator+;

Bytes bytesOf(const SWFType& variable, MovieTextEncoding encoding = MovieTextEncoding::Windows1252) {
    Bytes out;
    variable.appendActionBytes(out, encoding);
    return out;
}

TEST(SWFType, ActionBytesOfEveryType) {
    struct Case {
        const char* what;
        char type;
        std::string name;
        std::string value;
        Bytes expected;
    };
    const Case cases[] = {
        {"string", 's', "abc", "xy", {0x96, 0x09, 0x00, 0x00, 'a', 'b', 'c', 0x00, 0x00, 'x', 'y', 0x00, 0x1D}},
        {"integer", 'i', "a", "258", {0x96, 0x08, 0x00, 0x00, 'a', 0x00, 0x07, 0x02, 0x01, 0x00, 0x00, 0x1D}},
        {"negative integer", 'i', "a", "-2", {0x96, 0x08, 0x00, 0x00, 'a', 0x00, 0x07, 0xFE, 0xFF, 0xFF, 0xFF, 0x1D}},
        // The upper word of 1.0 (0x3FF00000) first, each word little-endian.
        {"double",
         'd',
         "d",
         "1",
         {0x96, 0x0C, 0x00, 0x00, 'd', 0x00, 0x06, 0x00, 0x00, 0xF0, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x1D}},
        // 0.1 is 0x3FB999999999999A: both halves visible.
        {"double with both halves",
         'd',
         "d",
         "0.1",
         {0x96, 0x0C, 0x00, 0x00, 'd', 0x00, 0x06, 0x99, 0x99, 0xB9, 0x3F, 0x9A, 0x99, 0x99, 0x99, 0x1D}},
        {"true", 'b', "on", "true", {0x96, 0x06, 0x00, 0x00, 'o', 'n', 0x00, 0x05, 0x01, 0x1D}},
        {"True", 'b', "on", "True", {0x96, 0x06, 0x00, 0x00, 'o', 'n', 0x00, 0x05, 0x00, 0x1D}},
        {"empty name and value", 's', "", "", {0x96, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1D}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto variable = makeSWFType(c.type, c.name, c.value);
        ASSERT_NE(variable, nullptr);
        EXPECT_EQ(bytesOf(*variable), c.expected);
    }
}

TEST(SWFType, TextsTakeTheMoviesEncoding) {
    // "Jörg €5" named "Grüße": Windows-1252 bytes for a movie before version 6, UTF-8
    // after it, the record length counting the bytes written.
    SWFStringType text("Gr\xFC\xDF"
                       "e",
                       "J\xF6rg \x80"
                       "5");
    EXPECT_EQ(bytesOf(text, MovieTextEncoding::Windows1252), Bytes{0x96} + le16(16) + Bytes{0x00} +
                                                                 cstr("Gr\xFC\xDF"
                                                                      "e") +
                                                                 Bytes{0x00} +
                                                                 cstr("J\xF6rg \x80"
                                                                      "5") +
                                                                 Bytes{0x1D});
    EXPECT_EQ(bytesOf(text, MovieTextEncoding::Utf8), Bytes{0x96} + le16(21) + Bytes{0x00} +
                                                          cstr("Gr\xC3\xBC\xC3\x9F"
                                                               "e") +
                                                          Bytes{0x00} +
                                                          cstr("J\xC3\xB6rg \xE2\x82\xAC"
                                                               "5") +
                                                          Bytes{0x1D});
}

TEST(SWFType, NumbersAreReadAsTheCLibraryReadsThem) {
    struct Case {
        std::string text;
        double number;
        std::int32_t integer;
    };
    const Case cases[] = {
        {"  3.5kg", 3.5, 3},
        {"abc", 0, 0},
        {"", 0, 0},
        {"-7e2", -700, -7},
        {"+12", 12, 12},
        {"1,5", 1, 1},
        {"99999999999", 99999999999.0, 2147483647},
        {"-99999999999", -99999999999.0, -2147483647 - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SWFDoubleType("d", c.text).value(), c.number);
        EXPECT_EQ(SWFIntType("i", c.text).value(), c.integer);
    }
}

TEST(SWFType, SetValueChangesOnlyTheTypedField) {
    SWFIntType count("count", "3");
    count.setValue("41");
    EXPECT_EQ(count.value(), 41);
    EXPECT_EQ(count.getValueText(), "3");

    SWFBoolType flag("flag", "true");
    flag.setValue("TRUE");
    EXPECT_FALSE(flag.value());
    flag.setValue("true");
    EXPECT_TRUE(flag.value());

    SWFStringType title("title", "old");
    title.setValue("new");
    EXPECT_EQ(title.getValueText(), "new");
    EXPECT_EQ(bytesOf(title),
              (Bytes{0x96, 0x0C, 0x00, 0x00} + cstr("title") + Bytes{0x00} + cstr("new") + Bytes{0x1D}));
}

TEST(SWFType, RecordsThatCannotBeEncodedAreRefused) {
    // 65535 is the largest record length: name "n" (2 bytes with NUL), the two type bytes,
    // and a value of 65530 bytes plus its NUL.
    SWFStringType largest("n", std::string(65530, 'v'));
    EXPECT_EQ(bytesOf(largest).size(), 3u + 65535u + 1u);
    SWFStringType tooLong("n", std::string(65531, 'v'));
    Bytes out{0xAA};
    EXPECT_THROW(tooLong.appendActionBytes(out, MovieTextEncoding::Windows1252), Exception);
    EXPECT_EQ(out, Bytes{0xAA});
    // The limit counts the bytes of the movie's encoding: 30000 euro signs are 30000
    // bytes in Windows-1252 and 90000 in UTF-8.
    SWFStringType euros("n", std::string(30000, '\x80'));
    EXPECT_NO_THROW(bytesOf(euros, MovieTextEncoding::Windows1252));
    EXPECT_THROW(bytesOf(euros, MovieTextEncoding::Utf8), Exception);

    EXPECT_THROW(bytesOf(SWFStringType("n", std::string("a\0b", 3))), Exception);
    EXPECT_THROW(bytesOf(SWFIntType(std::string("a\0b", 3), "1")), Exception);
}

TEST(SWFType, BuiltFromTheRowsOfTheSelectedMovie) {
    TextTable table("movie\tname\ttype\tvalue\n"
                    "card\ttitle\ts\tHappy\\nBirthday \\t\\\n"
                    "other\tx\ti\t1\n"
                    "Card\tcase\ti\t1\n"
                    "card\tcount\ti\t7\n"
                    "card\tshown\tbool\ttrue\n"
                    "card\tskip\tx\t1\n"
                    "card\tupper\tS\tno\n"
                    "card\tnotype\n"
                    "card\tscale\td\t2.5\n"
                    "card\ttitle\ts\n");
    ActionVariables variables;
    variables.push_back(makeSWFType('s', "stale", ""));
    buildActionVariables(table, "card", variables);

    ASSERT_EQ(variables.size(), 5u);
    EXPECT_EQ(variables[0]->getName(), "title");
    EXPECT_EQ(variables[0]->getValueText(), "Happy \rBirthday \\t\\");
    EXPECT_EQ(variables[1]->getName(), "count");
    EXPECT_EQ(variables[1]->typeLetter(), 'i');
    EXPECT_EQ(variables[2]->typeLetter(), 'b');
    EXPECT_TRUE(dynamic_cast<SWFBoolType&>(*variables[2]).value());
    EXPECT_EQ(dynamic_cast<SWFDoubleType&>(*variables[3]).value(), 2.5);
    // A second row of the same name is a second variable; a missing value is empty.
    EXPECT_EQ(variables[4]->getName(), "title");
    EXPECT_EQ(variables[4]->getValueText(), "");

    buildActionVariables(table, "none", variables);
    EXPECT_TRUE(variables.empty());
    EXPECT_EQ(actionBytes(variables, MovieTextEncoding::Utf8), Bytes{0x00});
}

TEST(SWFType, OnlyTheFirstDoActionIsRewritten) {
    Bytes oldActions{0x07, 0x00};  // ActionStop, ActionEnd
    Bytes movieBytes = test::MovieBuilder()
                           .background(1, 2, 3)
                           .tag(12, oldActions)
                           .showFrame()
                           .tag(12, oldActions)
                           .showFrame()
                           .build();
    SWFFile movie = test::readMovie(movieBytes, "test.swf");

    ActionVariables variables;
    variables.push_back(makeSWFType('s', "title", "Hello"));
    variables.push_back(makeSWFType('i', "count", "3"));
    setVariables(movie, variables);

    std::vector<Bytes> doActions;
    for (const auto& tag : movie.tags()) {
        if (tag->code() == TagCode::DoAction) doActions.emplace_back(tag->body().begin(), tag->body().end());
    }
    ASSERT_EQ(doActions.size(), 2u);
    Bytes expected = Bytes{0x96} + le16(14) + Bytes{0x00} + cstr("title") + Bytes{0x00} + cstr("Hello") +
                     Bytes{0x1D} +                                           // title = "Hello"
                     Bytes{0x96} + le16(12) + Bytes{0x00} + cstr("count") +  // count = 3
                     Bytes{0x07, 3, 0, 0, 0, 0x1D} + Bytes{0x00};            // ActionEnd
    EXPECT_EQ(doActions[0], expected);
    EXPECT_EQ(doActions[1], oldActions);

    // A variable that cannot be written leaves the tag as it was.
    variables.push_back(makeSWFType('s', "big", std::string(70000, 'x')));
    EXPECT_THROW(setVariables(movie, variables), Exception);
    EXPECT_EQ(movie.tags()[1]->length(), doActions[0].size());
}

}  // namespace
}  // namespace tarvenox
