// The template movies the built-in skin plays as small live pictures beside their titles:
// copies in the working folder, which the page server serves, named "thumb-" + the
// template's base name + ".swf" (the page finds them by the names of skin.txt's lists).
// They lie in the working folder itself, not in a folder of their own, so that an
// interrupted run, which empties the working folder of its files, removes them too.
#pragma once

#include <string>
#include <vector>

namespace tarvenox {
class FileStore;
}

namespace tarvenox::web {

class TemplateThumbnails {
public:
    // Copies the movie "swf\NAME.swf" of every template that the select lists (the
    // installation's selectLists.txt, Windows-1252) name and the store has; a name that
    // is unsafe, or that the store lacks, gets no copy.
    TemplateThumbnails(FileStore& store, const std::string& selectLists, const std::string& workingFolder);
    // Removes the copies.
    ~TemplateThumbnails();
    TemplateThumbnails(const TemplateThumbnails&) = delete;
    TemplateThumbnails& operator=(const TemplateThumbnails&) = delete;

    // The copies' paths.
    const std::vector<std::string>& files() const { return files_; }

private:
    std::vector<std::string> files_;
};

}  // namespace tarvenox::web
