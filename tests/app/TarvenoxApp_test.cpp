// Start-up, movie selection and shutdown of the application object in prepared
// installation folders.
#include "app/TarvenoxApp.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "common/Log.h"
#include "data/ArchiveWriter.h"
#include "edit/TemplateCatalogue.h"
#include "support/LogCapture.h"
#include "support/MovieBuilder.h"
#include "support/TempDir.h"

namespace tarvenox {
namespace {

using test::LogCapture;
using test::TempDir;

Bytes bytes(const std::string& text) { return Bytes(text.begin(), text.end()); }
bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// <root>/app is the installation, <root>/addons holds add-on archives, <root>/tmp the
// temporary folder.
class Installation {
public:
    std::string start() const { return root.path() + "/app"; }
    std::string temp() const { return root.path() + "/tmp"; }

    Installation() {
        root.write("app/.keep", "");
        root.write("tmp/.keep", "");
    }
    std::string registry(const std::string& content) { return root.write("registry", content); }
    AppEnvironment environment() const { return {start(), root.path() + "/registry", temp()}; }

    TempDir root;
};

Bytes movie(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return test::MovieBuilder().background(r, g, b).tag(12, {0x00}).showFrame().build();
}

// A full installation: loose files, "files.db", add-ons 3 and 1 listed in the registry
// (2 is listed but missing), and one beyond the count.
void prepareFullInstallation(Installation& in) {
    in.root.write("app/texts.txt", "name\tvalue\r\nmenu.title\tMy cards\r\n");
    in.root.write("app/skin.swf", "skin movie");
    in.root.write("app/files.db",
                  buildArchive({{"selectLists.txt", bytes("text\tlist\tfile\nBirthday\tcards\tbirthday\n")},
                                {"configs.txt", bytes("movie\tname\ttype\tvalue\n"
                                                      "birthday\ttitle\ts\tHappy\\nday\n"
                                                      "birthday\tcount\ti\t3\n")},
                                {"button.swf", bytes("button movie")},
                                {"swf\\cards\\birthday.swf", movie(0x33, 0x66, 0x99)},
                                {"swf\\cards\\birthdayEdit.swf", bytes("editor")},
                                {"swf\\cards\\birthdayConfig.txt", bytes("config")}})
                      .take());
    in.root.write("addons/three.db", buildArchive({{"texts.txt", bytes("from\tthree\n")},
                                                   {"configs.txt", bytes("birthday\tshown\tb\ttrue\n")}})
                                         .take());
    in.root.write("addons/one.db", buildArchive({{"texts.txt", bytes("from\tone\n")},
                                                 {"selectLists.txt", bytes("Wedding\tcards\twedding\n")},
                                                 {"swf\\wedding.swf", movie(1, 2, 3)}})
                                       .take());
    in.root.write("addons/four.db", buildArchive({{"texts.txt", bytes("from\tfour\n")}}).take());
    in.registry("# written by the installer\n"
                "dbFilesCount=3\n"
                "dbFile3=" +
                in.root.path() +
                "/addons/three.db\n"
                "dbFile2=" +
                in.root.path() +
                "/addons/missing.db\r\n"
                "dbFile1=" +
                in.root.path() +
                "/addons/one.db\n"
                "dbFile4=" +
                in.root.path() +
                "/addons/four.db\n"
                "cdpath=/media/cdrom\n");
}

TEST(CTarvenoxApp, StartsUpAndShutsDownInAPreparedInstallation) {
    Installation in;
    prepareFullInstallation(in);
    LogCapture log;
    std::string workingFolder;
    {
        CTarvenoxApp app(in.environment());
        workingFolder = app.workingFolder();

        EXPECT_EQ(app.currentPath(), in.start() + "/");
        EXPECT_EQ(app.cdPath, "/media/cdrom/");
        ASSERT_TRUE(app.workingFolderCreated);
        EXPECT_EQ(workingFolder.rfind(in.temp() + "/tvtmpdir.prg.", 0), 0u) << workingFolder;
        EXPECT_EQ(workingFolder.back(), '/');
        struct stat st {};
        ASSERT_EQ(::stat(workingFolder.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);

        EXPECT_EQ(test::readText(workingFolder + "skin.swf"), "skin movie");
        EXPECT_EQ(test::readText(workingFolder + "button.swf"), "button movie");
        // Base texts, then add-on 3, then add-on 1; the listed but missing add-on 2 and
        // add-on 4 beyond the count add nothing.
        EXPECT_EQ(test::readText(workingFolder + "skin.txt"),
                  "cards_count=2&"
                  "cards_text0=Birthday&cards_path0=cards&cards_file0=birthday&"
                  "cards_text1=Wedding&cards_path1=cards&cards_file1=wedding&"
                  "menu_title=My+cards&from=three&from=one&skintxt_end=1");
        ASSERT_EQ(app.configTable().rowCount(), 3);
        EXPECT_EQ(app.configTable().cell(1, 2), "shown");
        EXPECT_TRUE(app.currentMovie().empty());
        EXPECT_TRUE(app.actionVariables().empty());
        EXPECT_EQ(app.savedBackgroundColor(), 0);
        ASSERT_EQ(app.store().databases().size(), 3u);

        // A template from files.db, in a folder.
        app.selectMovie("cards\\birthday");
        EXPECT_EQ(app.movieBaseName(), "birthday");
        EXPECT_EQ(app.workingCopyPath(), workingFolder + "birthday.swf");
        EXPECT_EQ(test::readText(workingFolder + "birthdayEdit.swf"), "editor");
        EXPECT_EQ(test::readText(workingFolder + "birthdayConfig.txt"), "config");
        ASSERT_EQ(app.actionVariables().size(), 3u);
        EXPECT_EQ(app.actionVariables()[0]->getValueText(), "Happy \rday");
        EXPECT_EQ(app.actionVariables()[2]->getName(), "shown");
        EXPECT_EQ(app.savedBackgroundColor(), 0x336699);
        EXPECT_EQ(app.currentBackgroundColor(), 0x336699);

        // Selecting the same movie again changes nothing, not even the working folder.
        app.replaceFont("Arial", "DejaVu Sans");
        app.setBackground(0x123456);
        std::string changed = "changed working copy";
        writeFile(app.workingCopyPath(), changed);
        app.selectMovie("cards\\birthday");
        EXPECT_EQ(app.fontReplacements().size(), 1u);
        EXPECT_EQ(app.currentBackgroundColor(), 0x123456);
        EXPECT_EQ(test::readText(app.workingCopyPath()), changed);

        // Another movie, found only in add-on 1: the old copies go, the maps are emptied,
        // it has no configured variables.
        EXPECT_FALSE(app.replacePicture("logo", "/tmp/logo.png").failed());
        app.selectMovie("wedding");
        EXPECT_FALSE(exists(workingFolder + "birthday.swf"));
        EXPECT_FALSE(exists(workingFolder + "birthdayEdit.swf"));
        EXPECT_TRUE(app.fontReplacements().empty());
        EXPECT_TRUE(app.pictureReplacements().empty());
        EXPECT_TRUE(app.actionVariables().empty());
        EXPECT_EQ(app.savedBackgroundColor(), 0x010203);

        // A movie found nowhere: no working copy, the colour a player would show.
        app.selectMovie("missing");
        EXPECT_FALSE(exists(workingFolder + "wedding.swf"));
        EXPECT_EQ(app.currentBackgroundColor(), 0xFFFFFF);
        EXPECT_EQ(app.currentMovie(), "missing");
    }
    EXPECT_FALSE(exists(workingFolder));

    std::string text = log.text();
    EXPECT_EQ(text.rfind("dwPlatformId: unknown: -1\ndwBuildNumber: ", 0), 0u) << text;
    EXPECT_NE(text.find("\nszCSDVersion: "), std::string::npos);
    std::string tail = "CurrentDirectory: " + in.start() + "\ncdpath: /media/cdrom/\n~Application\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

// An installation made to steal files: its packed archive, interface movie, a template
// and an add-on are links to files outside it. None of them is read or copied, and the
// template is not listed; the installation's own template still is.
TEST(CTarvenoxApp, NothingOutsideTheInstallationIsReadOrCopied) {
    Installation in;
    const std::string secret = in.root.write("home/.ssh/id_rsa", "PRIVATE KEY");
    in.root.write("home/texts.db", buildArchive({{"texts.txt", bytes("stolen\ttext\n")}}).take());
    in.root.write("app/selectLists.txt", "text\tlist\tfile\nOwn\tcards\town\nSteal\tcards\tsteal\n");
    in.root.write("app/swf/own.swf", movie(1, 1, 1));
    in.root.write("addons/good.db", buildArchive({{"texts.txt", bytes("from\tgood\n")}}).take());
    const std::pair<std::string, std::string> links[] = {
        {secret, "app/swf/steal.swf"},
        {secret, "app/skin.swf"},
        {"../home/texts.db", "app/files.db"},
        {"../home/texts.db", "addons/evil.db"},
    };
    for (const auto& [target, link] : links)
        ASSERT_EQ(::symlink(target.c_str(), in.root.file(link).c_str()), 0) << link;
    in.registry("dbFilesCount=2\ndbFile2=" + in.root.file("addons/evil.db") +
                "\ndbFile1=" + in.root.file("addons/good.db") + "\n");
    LogCapture log;
    CTarvenoxApp app(in.environment());

    EXPECT_FALSE(exists(app.workingFolder() + "skin.swf"));
    ASSERT_EQ(app.store().databases().size(), 1u);
    EXPECT_EQ(app.store().databases()[0]->path(), in.root.file("addons/good.db"));
    std::vector<std::string> listed;
    for (const TemplateEntry& entry : listTemplates(app)) listed.push_back(entry.name);
    EXPECT_EQ(listed, std::vector<std::string>{"own"});
    app.selectMovie("steal");
    EXPECT_FALSE(exists(app.workingCopyPath()));
    EXPECT_EQ(test::readText(app.workingFolder() + "skin.txt").find("stolen"), std::string::npos);
    const std::string text = log.text();
    for (const char* link : {"app/swf/steal.swf", "app/skin.swf", "app/files.db", "addons/evil.db"}) {
        EXPECT_NE(text.find("refused " + in.root.file(link) + ": leads to "), std::string::npos) << link << "\n"
                                                                                                 << text;
    }
}

TEST(CTarvenoxApp, EmptyInstallationWithoutRegistry) {
    Installation in;
    LogCapture log;
    std::string workingFolder;
    {
        CTarvenoxApp app(in.environment());
        workingFolder = app.workingFolder();
        EXPECT_EQ(test::readText(workingFolder + "skin.txt"), "skintxt_end=1");
        EXPECT_FALSE(exists(workingFolder + "skin.swf"));
        EXPECT_EQ(app.configTable().rowCount(), 0);
        EXPECT_TRUE(app.cdPath.empty());
        EXPECT_TRUE(app.store().databases().empty());
    }
    EXPECT_FALSE(exists(workingFolder));
    EXPECT_EQ(log.text().find("cdpath"), std::string::npos);
}

TEST(CTarvenoxApp, RegistryValuesAreNormalisedOrIgnored) {
    struct Case {
        std::string registry;
        std::string cdPath;
    };
    const Case cases[] = {
        {"cdpath=/media/cdrom/\n", "/media/cdrom/"},
        {"cdpath=\n", "/"},
        {"cdpath=d\n", "d/"},
        {"dbFilesCount=three\ndbFile1=x\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.registry);
        Installation in;
        in.registry(c.registry);
        LogCapture log;
        CTarvenoxApp app(in.environment());
        EXPECT_EQ(app.cdPath, c.cdPath);
        EXPECT_TRUE(app.store().databases().empty());
    }
}

TEST(CTarvenoxApp, WorkingFolderWithForeignFilesIsKept) {
    Installation in;
    in.root.write("app/skin.swf", "skin");
    LogCapture log;
    std::string workingFolder;
    {
        CTarvenoxApp app(in.environment());
        workingFolder = app.workingFolder();
        writeFile(workingFolder + "left.txt", "");
    }
    EXPECT_TRUE(exists(workingFolder + "left.txt"));
    EXPECT_FALSE(exists(workingFolder + "skin.swf"));
    EXPECT_FALSE(exists(workingFolder + "skin.txt"));
    ::unlink((workingFolder + "left.txt").c_str());
    ::rmdir(workingFolder.c_str());
}

TEST(CTarvenoxApp, CopyResultNeverDestroysTheDestination) {
    Installation in;
    in.root.write("app/swf/card.swf", movie(9, 9, 9));
    std::string destination = in.root.write("out/result.swf", "previous result");
    LogCapture log;
    CTarvenoxApp app(in.environment());

    app.selectMovie("missing");
    const Report missing = app.copyResultTo(destination);
    EXPECT_TRUE(missing.failed());
    EXPECT_NE(missing.reason().find("missing.swf"), std::string::npos) << missing.reason();
    EXPECT_EQ(test::readText(destination), "previous result");

    app.selectMovie("card");
    EXPECT_TRUE(app.copyResultTo(in.root.path() + "/no/such/folder/result.swf").failed());
    EXPECT_FALSE(app.copyResultTo(destination).failed());
    EXPECT_EQ(test::readBytes(destination), movie(9, 9, 9));
}

}  // namespace
}  // namespace tarvenox
