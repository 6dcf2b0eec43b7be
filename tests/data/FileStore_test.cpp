// The file store: lookup order over disk, the "res" folder and the archives.
#include "data/FileStore.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "data/ArchiveWriter.h"
#include "data/ConfigurationTexts.h"
#include "data/ProductNames.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace tarvenox {
namespace {

using test::LogCapture;
using test::TempDir;

Bytes bytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// An installation: <root>/app is the start directory, <root>/res the "res" folder.
struct Installation {
    TempDir root;
    TempDir work;
    std::string start = root.path() + "/app";

    std::string onDisk(const std::string& name, const std::string& content) {
        return root.write("app/" + name, content);
    }
    std::string inRes(const std::string& name, const std::string& content) {
        return root.write("res/" + name, content);
    }
    std::unique_ptr<FileDatabase> archive(const std::string& file, std::vector<ArchiveFile> files) {
        return FileDatabase::open(root.write(file, buildArchive(files).take()), work.path()).take();
    }
    FileStore store() { return FileStore(work.path(), start); }
};

std::string found(FileStore& store, const std::string& name) {
    std::string out = "untouched";
    store.readText(name, out);
    return out;
}

TEST(FileStore, LooksOnDiskThenInResThenInTheArchivesInOrder) {
    Installation in;
    in.onDisk("texts.txt", "disk");
    in.inRes("texts.txt", "res");
    in.inRes("only-res.txt", "res");
    FileStore store = in.store();
    store.addDatabase(in.archive("files.db", {{"texts.txt", bytes("files.db")}, {"shared", bytes("files.db")}}));
    store.addDatabase(in.archive("addon3.db", {{"shared", bytes("addon3")}, {"addon", bytes("addon3")}}));
    store.addDatabase(in.archive("addon1.db", {{"addon", bytes("addon1")}, {"last", bytes("addon1")}}));

    EXPECT_EQ(found(store, "texts.txt"), "disk");
    EXPECT_EQ(found(store, "only-res.txt"), "res");
    EXPECT_EQ(found(store, "shared"), "files.db");
    EXPECT_EQ(found(store, "addon"), "addon3");
    EXPECT_EQ(found(store, "last"), "addon1");
    EXPECT_EQ(found(store, "nowhere"), "untouched");

    ::unlink((in.start + "/texts.txt").c_str());
    EXPECT_EQ(found(store, "texts.txt"), "res");
    ::unlink((in.root.path() + "/res/texts.txt").c_str());
    EXPECT_EQ(found(store, "texts.txt"), "files.db");
}

TEST(FileStore, ExtractPrefersDiskAndWritesTheBaseName) {
    Installation in;
    in.onDisk("swf/cards/birthday.swf", "from disk");
    FileStore store = in.store();
    store.addDatabase(
        in.archive("files.db", {{"swf\\cards\\birthday.swf", bytes("from archive")}, {"skin.swf", bytes("skin")}}));

    EXPECT_TRUE(store.extract("swf\\cards\\birthday.swf"));
    EXPECT_EQ(test::readText(in.work.file("birthday.swf")), "from disk");
    ::unlink((in.start + "/swf/cards/birthday.swf").c_str());
    EXPECT_TRUE(store.extract("swf\\cards\\birthday.swf"));
    EXPECT_EQ(test::readText(in.work.file("birthday.swf")), "from archive");

    EXPECT_TRUE(store.extract("skin.swf"));
    EXPECT_EQ(test::readText(in.work.file("skin.swf")), "skin");
    EXPECT_FALSE(store.extract("button.swf"));
    EXPECT_EQ(::access(in.work.file("button.swf").c_str(), F_OK), -1);
}

TEST(FileStore, DiskNamesAreUtf8PathsOfTheProductNames) {
    Installation in;
    in.onDisk("swf/M\xC3\xBC"
              "ller.swf",
              "umlaut");  // UTF-8 on disk
    FileStore store = in.store();
    EXPECT_EQ(found(store, "swf\\M\xFC"
                           "ller.swf"),
              "umlaut");  // Windows-1252 inside
    EXPECT_TRUE(store.extract("swf\\M\xFC"
                              "ller.swf"));
    EXPECT_EQ(test::readText(in.work.file("M\xC3\xBC"
                                          "ller.swf")),
              "umlaut");
}

TEST(FileStore, RefusesNamesThatLeaveTheInstallation) {
    Installation in;
    in.root.write("secret.txt", "secret");
    in.onDisk("ok.txt", "ok");
    FileStore store = in.store();
    store.addDatabase(in.archive("files.db", {{"..\\secret.txt", bytes("archived")}}));
    for (const char* name : {"..\\secret.txt", "../secret.txt", "swf\\..\\..\\secret.txt", "/etc/hostname",
                             "\\etc\\hostname", "", ".", "swf\\"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(found(store, name), "untouched");
        EXPECT_FALSE(store.extract(name));
    }
    EXPECT_EQ(found(store, "ok.txt"), "ok");
}

// A template, a text and an interface movie that are links leading out of the
// installation or its "res" folder are refused, even where an archive has the name too;
// links that stay inside are followed.
TEST(FileStore, RefusesFilesWhoseRealPathLeadsOutOfTheInstallation) {
    Installation in;
    const std::string secret = in.root.write("home/.ssh/id_rsa", "PRIVATE KEY");
    in.onDisk("swf/own.swf", "own movie");
    in.inRes("res-own.txt", "res text");
    std::filesystem::create_directories(in.start + "/swf");
    const std::pair<std::string, std::string> links[] = {
        {secret, in.start + "/swf/x.swf"},
        {"../home/.ssh/id_rsa", in.start + "/texts.txt"},
        {"../home/.ssh/id_rsa", in.root.path() + "/res/skin.swf"},
        {"../app/swf/own.swf", in.root.path() + "/res/from-app.swf"},  // leaves res for the installation
        {"own.swf", in.start + "/swf/alias.swf"},
    };
    for (const auto& [target, link] : links) ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0) << link;
    FileStore store = in.store();
    store.addDatabase(in.archive("files.db", {{"swf\\x.swf", bytes("archived x")}}));

    LogCapture log;
    for (const char* name : {"swf\\x.swf", "texts.txt", "skin.swf", "from-app.swf"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(found(store, name), "untouched");
        EXPECT_FALSE(store.extract(name));
        EXPECT_EQ(::access(in.work.file(baseName(name)).c_str(), F_OK), -1);
    }
    EXPECT_EQ(found(store, "swf\\alias.swf"), "own movie");
    EXPECT_EQ(found(store, "res-own.txt"), "res text");
    EXPECT_TRUE(store.extract("swf\\alias.swf"));
    EXPECT_EQ(test::readText(in.work.file("alias.swf")), "own movie");
    // One line for each refused file, however often it was asked for.
    const std::string text = log.text();
    EXPECT_NE(text.find("refused " + in.start + "/swf/x.swf: leads to "), std::string::npos) << text;
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = text.find("refused ", at)) != std::string::npos; ++at) ++lines;
    EXPECT_EQ(lines, 4u) << text;
}

// The "res" folder may be a link within the folder that holds the installation, not
// one leading out of it.
TEST(FileStore, TheResFolderStaysBesideTheInstallation) {
    Installation in;
    TempDir elsewhere;
    elsewhere.write("res/texts.txt", "elsewhere");
    in.root.write("shared/res/texts.txt", "shared");
    in.onDisk(".keep", "");
    FileStore store = in.store();
    LogCapture log;
    for (const auto& [target, text] :
         {std::pair{in.root.file("shared/res"), "shared"}, std::pair{elsewhere.file("res"), "untouched"}}) {
        ::unlink(in.root.file("res").c_str());
        ASSERT_EQ(::symlink(target.c_str(), in.root.file("res").c_str()), 0);
        EXPECT_EQ(found(store, "texts.txt"), text) << target;
    }
    EXPECT_NE(log.text().find("refused " + in.start + "/../res/: leads to " + elsewhere.file("res")), std::string::npos)
        << log.text();
}

TEST(ConfigurationTexts, AddOnCopiesAreAppendedAsTheyAre) {
    Installation in;
    in.onDisk("texts.txt", "name\tvalue\r\ntitle\tHello");  // no final line break
    in.inRes("configs.txt", "movie\tname\ttype\tvalue\n");
    FileStore store = in.store();
    store.addDatabase(in.archive("files.db", {{"texts.txt", bytes("ignored, found on disk")},
                                              {"selectLists.txt", bytes("text\tlist\tfile\n")}}));
    ConfigurationTexts texts;
    texts.readFrom(store);
    EXPECT_EQ(texts.texts, "name\tvalue\r\ntitle\tHello");
    EXPECT_EQ(texts.selectLists, "text\tlist\tfile\n");
    EXPECT_EQ(texts.configs, "movie\tname\ttype\tvalue\n");

    auto addOn =
        in.archive("addon.db", {{"texts.txt", bytes("more\ttext\n")}, {"configs.txt", bytes("card\tcount\ti\t3\n")}});
    texts.appendFrom(*addOn);
    // The base's last line runs into the add-on's first one.
    EXPECT_EQ(texts.texts, "name\tvalue\r\ntitle\tHellomore\ttext\n");
    EXPECT_EQ(texts.selectLists, "text\tlist\tfile\n");
    EXPECT_EQ(texts.configs, "movie\tname\ttype\tvalue\ncard\tcount\ti\t3\n");
}

}  // namespace
}  // namespace tarvenox
