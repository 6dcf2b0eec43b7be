// Copies of the template movies for the built-in skin's thumbnails.
#include "ui/web/TemplateThumbnails.h"

#include <unistd.h>

#include <algorithm>

#include "common/FileIO.h"
#include "data/FileStore.h"
#include "data/ProductNames.h"
#include "data/TextTable.h"

namespace tarvenox::web {

TemplateThumbnails::TemplateThumbnails(FileStore& store, const std::string& selectLists,
                                       const std::string& workingFolder) {
    TextTable lists(selectLists);
    for (int row = 0; row < lists.rowCount(); ++row) {
        const std::string name = "swf\\" + lists.cell(2, row) + ".swf";
        const std::string path = withTrailingSlash(workingFolder) + "thumb-" + diskName(baseName(name));
        std::string movie;
        if (lists.cell(2, row).empty() || std::find(files_.begin(), files_.end(), path) != files_.end() ||
            !store.readText(name, movie)) {
            continue;
        }
        // A copy that cannot be written leaves the template without a picture, nothing more.
        if (!writeFileAtomically(path, asBytes(movie)).failed()) files_.push_back(path);
    }
}

TemplateThumbnails::~TemplateThumbnails() {
    for (const std::string& path : files_) ::unlink(path.c_str());
}

}  // namespace tarvenox::web
