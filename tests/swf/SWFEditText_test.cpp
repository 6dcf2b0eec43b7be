// Reading DefineEditText bodies.
#include "swf/SWFEditText.h"

#include <gtest/gtest.h>

#include "support/MovieBuilder.h"

namespace tarvenox {
namespace {

using test::cstr;
using test::le16;
using test::operator+;

// Character id 6 and an empty RECT (Nbits 0: one byte).
const Bytes kHead = le16(6) + Bytes{0x00};

TEST(SWFEditText, ReadsEveryOptionalFieldAndRefusesBodiesCutShort) {
    struct Fields {
        std::string variable;
        std::optional<std::string> text;
        std::optional<std::uint16_t> fontId;
        std::optional<std::string> fontClass;
        std::uint16_t fontHeight = 0;
    };
    struct Case {
        const char* name;
        Bytes body;
        std::optional<Fields> fields;  // nullopt: refused
    };
    const Bytes layout = Bytes{1} + le16(20) + le16(40) + le16(0) + le16(0);  // Align, margins, Indent, Leading
    const Case cases[] = {
        {"a variable and nothing else", kHead + Bytes{0x00, 0x00} + cstr("name"), Fields{"name", {}, {}, {}, 0}},
        {"every field: HasText, HasTextColor, HasMaxLength, HasFont; HasLayout",
         kHead + Bytes{0x87, 0x20} + le16(1) + le16(240) + Bytes{1, 2, 3, 4} + le16(50) + layout + cstr("title") +
             cstr("Hallo"),
         Fields{"title", "Hallo", 1, {}, 240}},
        {"a font class instead of an id", kHead + Bytes{0x00, 0x80} + cstr("Arial") + le16(300) + cstr("v"),
         Fields{"v", {}, {}, "Arial", 300}},
        {"text without a variable, bytes after it", kHead + Bytes{0x80, 0x00} + cstr("") + cstr("Hi") + Bytes{9, 9},
         Fields{"", "Hi", {}, {}, 0}},
        {"empty body", {}, {}},
        {"cut inside the RECT", le16(6) + Bytes{0xF8}, {}},
        {"cut inside the colour", kHead + Bytes{0x04, 0x00, 1, 2}, {}},
        {"variable without its NUL", kHead + Bytes{0x00, 0x00, 'n', 'a'}, {}},
        {"text announced, missing", kHead + Bytes{0x80, 0x00} + cstr("v"), {}},
        {"layout cut short", kHead + Bytes{0x00, 0x20, 1, 2, 3}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto field = SWFEditText::read(c.body);
        ASSERT_EQ(field.has_value(), c.fields.has_value());
        if (!field) continue;
        EXPECT_EQ(field->id, 6);
        EXPECT_EQ(field->variableName, c.fields->variable);
        EXPECT_EQ(field->initialText, c.fields->text);
        EXPECT_EQ(field->fontId, c.fields->fontId);
        EXPECT_EQ(field->fontClass, c.fields->fontClass);
        EXPECT_EQ(field->fontHeight, c.fields->fontHeight);
    }
}

}  // namespace
}  // namespace tarvenox
