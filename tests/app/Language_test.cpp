// The language of the command line's messages: the locale's, or the one --lang names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "common/Texts.h"
#include "support/TempDir.h"

namespace tarvenox {
namespace {

std::string textIn(Language language, const std::string& id) {
    for (const auto& [key, text] : catalogueOf(language)) {
        if (key == id) return text;
    }
    return "(" + id + " missing)";
}

// Sets the locale variables for one test and puts the previous ones back.
class Locale {
public:
    Locale(const char* all, const char* lang) {
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* value = std::getenv(name);
            saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
            ::unsetenv(name);
        }
        if (all) ::setenv("LC_ALL", all, 1);
        if (lang) ::setenv("LANG", lang, 1);
    }
    ~Locale() {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
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

}  // namespace
}  // namespace tarvenox
