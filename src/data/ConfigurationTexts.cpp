// The installation's configuration texts.
#include "data/ConfigurationTexts.h"

#include "data/FileDatabase.h"
#include "data/FileStore.h"

namespace tarvenox {

void ConfigurationTexts::readFrom(FileStore& store) {
    store.readText("texts.txt", texts);
    store.readText("selectLists.txt", selectLists);
    store.readText("configs.txt", configs);
}

void ConfigurationTexts::appendFrom(const FileDatabase& database) {
    std::string copy;
    if (database.readText("texts.txt", copy)) texts += copy;
    if (database.readText("selectLists.txt", copy)) selectLists += copy;
    if (database.readText("configs.txt", copy)) configs += copy;
}

}  // namespace tarvenox
