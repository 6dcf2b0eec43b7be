// The catalogues of the program's texts, their lookup and the choice of the language.
#include "common/Texts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>

#include "common/MessageCatalogue.h"

namespace tarvenox {
namespace {

using Table = std::map<std::string, std::string>;

Table tableOf(Language language) {
    auto entries = catalogueOf(language);
    return {entries.begin(), entries.end()};
}

std::set<std::string> placeholdersOf(const std::string& text) {
    std::set<std::string> found;
    const std::regex placeholder(R"(\{[1-9]\})");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), placeholder); it != std::sregex_iterator(); ++it) {
        found.insert(it->str());
    }
    return found;
}

TEST(Catalogues, EveryIdHasBothLanguagesWithTheSameValues) {
    const Table german = tableOf(Language::german);
    const Table english = tableOf(Language::english);
    ASSERT_FALSE(german.empty()) << "share/tarvenox/texts/de.mo is missing";
    ASSERT_FALSE(english.empty()) << "share/tarvenox/texts/en.mo is missing";
    for (const auto& [id, text] : german) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(english.contains(id)) << "no English text";
        EXPECT_FALSE(text.empty());
        EXPECT_FALSE(english.at(id).empty());
        // A value the other language leaves out, or one it names that is never given,
        // would drop a file name or show "{2}".
        EXPECT_EQ(placeholdersOf(text), placeholdersOf(english.at(id)));
    }
    for (const auto& [id, text] : english) EXPECT_TRUE(german.contains(id)) << id << ": no German text";
}

// The product's own German texts, byte for byte.
TEST(Catalogues, GermanHoldsTheProductsOwnTexts) {
    const Table german = tableOf(Language::german);
    const Table expected = {
        {"message.flashMissing",
         "Das Flash 5 ActiveX-Control ist nicht installiert. Bitte f\xC3\xBChren Sie die Installation erneut aus."},
        {"message.screenTooSmall", "Es ist mindestens eine Aufl\xC3\xB6sung von 800x600 erforderlich"},
        {"message.programNotFound", "Programm nicht gefunden. CD eingelegt?"},
        {"dialog.save.title", "Flash-Datei speichern"},
        {"dialog.save.filter", "Flash-Datei"},
        {"dialog.picture.title", "Bilddatei ausw\xC3\xA4hlen"},
        {"dialog.picture.filter", "Bilddateien (.png; .jpg; .jpeg)"},
        {"dialog.sound.title", "Musikdatei ausw\xC3\xA4hlen"},
        {"dialog.sound.filter", "Musikdateien (.mp3)"},
        {"jpeg.invalid", "Ung\xC3\xBCltige JPEG Datei."},
        {"jpeg.progressive", "Progressive JPEG wird nicht unterst\xC3\xBCtzt."},
        {"picture.notFound", "Datei {1} nicht gefunden."},
        {"png.noReadStruct", "png_ptr-Struktur ist NULL"},
        {"png.noInfoStruct", "info_ptr-Struktur ist NULL"},
        {"font.noFont", "hFont == NULL"},
        {"font.cubicSpline", "TT_PRIM_CSPLINE bei Fonts wird nicht unterst\xC3\xBCtzt"},
        {"font.unknownRecord", "nicht erkannter Polygon-Typ beim aufbauen der Font-Geometrie"},
    };
    for (const auto& [id, text] : expected) {
        ASSERT_TRUE(german.contains(id)) << id;
        EXPECT_EQ(german.at(id), text) << id;
    }
}

TEST(Texts, FillsPlaceholdersInOrderAndKeepsOtherBraces) {
    useLanguage(Language::german);
    EXPECT_EQ(text("picture.notFound", {"/tmp/a b.png"}), "Datei /tmp/a b.png nicht gefunden.");
    // A value may hold what looks like a placeholder: it is not filled again.
    EXPECT_EQ(text("picture.notFound", {"{1}.png"}), "Datei {1}.png nicht gefunden.");
    // A value not given leaves nothing; an id the catalogue lacks shows as itself.
    EXPECT_EQ(text("picture.notFound", {}), "Datei  nicht gefunden.");
    EXPECT_EQ(text("no.such.id"), "no.such.id");
    EXPECT_EQ(text("no.such.id {1}", {"x"}), "no.such.id x");
    useLanguage(Language::english);
    EXPECT_EQ(text("jpeg.invalid"), tableOf(Language::english).at("jpeg.invalid"));
    for (const auto& [id, text] : textsStartingWith("page.")) EXPECT_EQ(id.rfind("page.", 0), 0u);
    EXPECT_FALSE(textsStartingWith("page.").empty());
    useLanguage(languageOfEnvironment());
}

TEST(Texts, LanguageFollowsTheFirstLocaleVariableThatIsSet) {
    struct Case {
        const char* all;
        const char* messages;
        const char* lang;
        Language expected;
    } cases[] = {
        {nullptr, nullptr, "de_DE.UTF-8", Language::german},
        {nullptr, nullptr, "de", Language::german},
        {nullptr, nullptr, "en_US.UTF-8", Language::english},
        {nullptr, nullptr, "fr_FR.UTF-8", Language::english},
        {nullptr, nullptr, "C", Language::english},
        {nullptr, nullptr, nullptr, Language::english},
        {"en_GB.UTF-8", "de_DE.UTF-8", "de_DE.UTF-8", Language::english},
        {"de_AT.UTF-8", nullptr, "en_US.UTF-8", Language::german},
        {nullptr, "de_CH.UTF-8", "en_US.UTF-8", Language::german},
        // An empty variable counts as not set.
        {"", "", "de_DE.UTF-8", Language::german},
        // Locale names give the language in lower case.
        {nullptr, nullptr, "DE_de", Language::english},
    };
    const auto keep = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const std::optional<std::string> saved[] = {keep("LC_ALL"), keep("LC_MESSAGES"), keep("LANG")};
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (const Case& c : cases) {
        const char* values[] = {c.all, c.messages, c.lang};
        for (int i = 0; i < 3; ++i) {
            if (values[i])
                ::setenv(names[i], values[i], 1);
            else
                ::unsetenv(names[i]);
        }
        EXPECT_EQ(languageOfEnvironment(), c.expected)
            << (c.all ? c.all : "-") << " " << (c.messages ? c.messages : "-") << " " << (c.lang ? c.lang : "-");
    }
    for (int i = 0; i < 3; ++i) {
        if (saved[i])
            ::setenv(names[i], saved[i]->c_str(), 1);
        else
            ::unsetenv(names[i]);
    }
    EXPECT_EQ(languageNamed("de"), Language::german);
    EXPECT_EQ(languageNamed("en"), Language::english);
    EXPECT_EQ(languageNamed("DE"), std::nullopt);
    EXPECT_EQ(languageNamed(""), std::nullopt);
}

// A .mo file by hand: the header, then count (length, offset) pairs of the ids and of
// their texts, then the strings.
std::string moFile(const std::map<std::string, std::string>& entries, bool bigEndian = false) {
    const auto word = [bigEndian](std::uint32_t value) {
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i) bytes[bigEndian ? 3 - i : i] = static_cast<char>(value >> (8 * i));
        return bytes;
    };
    const auto count = static_cast<std::uint32_t>(entries.size());
    const std::uint32_t ids = 28, texts = ids + 8 * count;
    std::uint32_t at = texts + 8 * count;
    std::string tables, strings;
    for (const bool second : {false, true}) {
        for (const auto& [id, text] : entries) {
            const std::string& s = second ? text : id;
            tables += word(static_cast<std::uint32_t>(s.size())) + word(at);
            strings += s + '\0';
            at += static_cast<std::uint32_t>(s.size() + 1);
        }
    }
    return word(0x950412de) + word(0) + word(count) + word(ids) + word(texts) + word(0) + word(0) + tables + strings;
}

TEST(MessageCatalogue, ReadsBothByteOrdersAndSkipsTheHeader) {
    const std::map<std::string, std::string> entries = {
        {"", "Content-Type: text/plain\n"}, {"a.b", "\xC3\xA4"}, {"c", ""}};
    for (const bool bigEndian : {false, true}) {
        auto table = readMessageCatalogue(moFile(entries, bigEndian));
        ASSERT_TRUE(table) << bigEndian;
        EXPECT_EQ(*table, (std::map<std::string, std::string, std::less<>>{{"a.b", "\xC3\xA4"}, {"c", ""}}));
    }
}

TEST(MessageCatalogue, RefusesWhatIsNoCatalogue) {
    const std::string good = moFile({{"id", "text"}});
    std::string wrongMagic = good;
    wrongMagic[0] = 0;
    std::string countTooLarge = good;
    countTooLarge[8] = 9;  // nine entries where the tables hold one
    std::string stringOutside = good;
    stringOutside[42] = 0x7F;  // the text's offset points past the end
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"magic alone", good.substr(0, 4)},
        {"wrong magic", wrongMagic},
        {"cut in the tables", good.substr(0, 40)},
        {"cut in the strings", good.substr(0, good.size() - 3)},
        {"count too large", countTooLarge},
        {"string outside", stringOutside},
    };
    for (const auto& c : cases) EXPECT_EQ(readMessageCatalogue(c.bytes), std::nullopt) << c.name;
}

}  // namespace
}  // namespace tarvenox
