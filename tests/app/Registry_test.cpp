// The file of installation values.
#include "app/Registry.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/TempDir.h"

namespace tarvenox {
namespace {

TEST(Registry, ReadsNameValueLines) {
    test::TempDir dir;
    Registry registry(dir.write("registry", "# comment\n"
                                            "\n"
                                            "cdpath=/media/cd=rom \r\n"
                                            "no equals sign\n"
                                            "dbFilesCount=2\n"
                                            "dbFilesCount=3\n"
                                            "empty=\n"
                                            "neg=-1\n"
                                            "big=4294967296\n"
                                            "spaced= 7\n"
                                            "last=12"));
    EXPECT_EQ(registry.text("cdpath"), "/media/cd=rom ");
    EXPECT_EQ(registry.number("dbFilesCount"), 3u);
    EXPECT_EQ(registry.text("empty"), "");
    EXPECT_EQ(registry.number("empty"), std::nullopt);
    EXPECT_EQ(registry.number("neg"), std::nullopt);
    EXPECT_EQ(registry.number("big"), std::nullopt);
    EXPECT_EQ(registry.number("spaced"), std::nullopt);
    EXPECT_EQ(registry.number("last"), 12u);
    EXPECT_EQ(registry.text("no equals sign"), std::nullopt);
    EXPECT_EQ(registry.text("CDPATH"), std::nullopt);
    EXPECT_TRUE(Registry(dir.file("missing")).values().empty());
}

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(Registry, DefaultPathFollowsTheEnvironment) {
    ScopedEnv home("HOME", "/home/user");
    {
        ScopedEnv explicitFile("TARVENOX_REGISTRY", "/etc/tarvenox.reg");
        ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(Registry::defaultPath(), "/etc/tarvenox.reg");
    }
    ScopedEnv noExplicitFile("TARVENOX_REGISTRY", nullptr);
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(Registry::defaultPath(), "/cfg/tarvenox/registry");
    }
    ScopedEnv noConfig("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(Registry::defaultPath(), "/home/user/.config/tarvenox/registry");
}

}  // namespace
}  // namespace tarvenox
