// The copies of the template movies for the built-in skin's thumbnails.
#include "ui/web/TemplateThumbnails.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "data/FileDatabase.h"
#include "data/FileStore.h"
#include "support/Installation.h"
#include "support/TempDir.h"

namespace tarvenox::web {
namespace {

TEST(TemplateThumbnailsTest, CopiesEachListedTemplateFromDiskOrArchiveOnceAndRemovesThemAfter) {
    test::TempDir dir;
    test::TempDir work;
    test::writeInstallation(dir);
    // A template that is a link to a file outside the installation is not copied.
    const std::string secret = work.write("secret", "PRIVATE KEY");
    ASSERT_EQ(::symlink(secret.c_str(), dir.file("swf/steal.swf").c_str()), 0);
    FileStore store(work.path() + "/", dir.path() + "/");
    store.addDatabase(FileDatabase::open(dir.file("files.db"), work.path() + "/").take());
    const std::string lists = "text\tlist\tfile\r\n"
                              "Card\tmovies\tcard\r\n"
                              "Poster\tmovies\textra\\poster\r\n"
                              "Again\tmore\tcard\r\n"
                              "Missing\tmovies\tnone\r\n"
                              "Outside\tmovies\t..\\..\\card\r\n"
                              "Steal\tmovies\tsteal\r\n"
                              "Empty\tmovies\t\r\n";
    std::vector<std::string> files;
    {
        TemplateThumbnails thumbnails(store, lists, work.path());
        files = thumbnails.files();
        EXPECT_EQ(files, (std::vector<std::string>{work.file("thumb-card.swf"), work.file("thumb-poster.swf")}));
        for (const std::string& file : files) EXPECT_EQ(test::readBytes(file), test::templateMovie()) << file;
    }
    for (const std::string& file : files) EXPECT_TRUE(test::readBytes(file).empty()) << file;
}

}  // namespace
}  // namespace tarvenox::web
