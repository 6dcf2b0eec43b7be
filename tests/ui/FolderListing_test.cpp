// The folder listing that the open and save dialogs browse.
#include "ui/web/FolderListing.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"

namespace tarvenox::web {
namespace {

using nlohmann::json;

TEST(FolderListing, ListsSubfoldersAndTheFilesOfTheFilter) {
    test::TempDir dir;
    dir.write("pictures/b.PNG", "12345");
    dir.write("pictures/a.jpg", "1");
    dir.write("pictures/song.mp3", "1");
    dir.write("pictures/.hidden.png", "1");
    dir.write("pictures/holiday/x.png", "1");
    dir.write("pictures/\xFF"
              "bad.png",
              "1");  // not UTF-8
    std::filesystem::create_directory(dir.file("pictures/.cache"));

    json listing =
        listFolder({{"path", dir.file("pictures/holiday/..")}, {"patterns", {"*.png", "*.jpg"}}}, dir.path());
    EXPECT_EQ(listing["path"], dir.file("pictures"));
    EXPECT_EQ(listing["parent"], dir.path());
    EXPECT_EQ(listing["folders"], json({"holiday"}));
    // Patterns match without regard to case; sizes in bytes; names sorted.
    EXPECT_EQ(listing["files"], json::parse(R"([{"name":"a.jpg","size":1},{"name":"b.PNG","size":5}])"));

    json everything = listFolder({{"path", ""}, {"patterns", json::array()}}, dir.file("pictures"));
    EXPECT_EQ(everything["path"], dir.file("pictures"));
    EXPECT_EQ(everything["files"].size(), 3u);
    EXPECT_EQ(listFolder({{"path", "/"}}, "/")["parent"], nullptr);
}

TEST(FolderListing, RefusesWhatItCannotList) {
    test::TempDir dir;
    dir.write("file.txt", "1");
    for (const json& request :
         {json{{"path", dir.file("missing")}}, json{{"path", dir.file("file.txt")}}, json{{"path", "relative/folder"}},
          json{{"path", 7}}, json::object(), json{{"path", dir.path()}, {"patterns", "*.png"}}}) {
        EXPECT_THROW(listFolder(request, dir.path()), std::runtime_error) << request.dump();
    }
}

}  // namespace
}  // namespace tarvenox::web
