// The installation's three configuration texts: "texts.txt", "selectLists.txt" and
// "configs.txt", each joined with the copies that add-on archives carry.
#pragma once

#include <string>

namespace tarvenox {

class FileDatabase;
class FileStore;

struct ConfigurationTexts {
    std::string texts;
    std::string selectLists;
    std::string configs;

    // The base installation's texts, found through the store; a text found nowhere
    // stays empty.
    void readFrom(FileStore& store);

    // Appends an add-on archive's own copies, byte for byte with nothing in between:
    // the add-on's first line is an ordinary row, and a base text without a final line
    // break runs into it.
    void appendFrom(const FileDatabase& database);
};

}  // namespace tarvenox
