// Listing the templates of an installation.
#include "edit/TemplateCatalogue.h"

#include <filesystem>
#include <map>
#include <set>

#include "common/Cp1252.h"
#include "data/ConfigurationTexts.h"
#include "data/FileStore.h"
#include "data/ProductNames.h"
#include "edit/EditSession.h"
#include "swf/SWFReader.h"
#include "swf/SWFType.h"

namespace tarvenox {

namespace {

// Fills in what the template's movie lets one replace; false when there is no movie.
bool describeTemplate(EditSession& app, TemplateEntry& entry) {
    if (!isSafeProductName(entry.name)) return false;
    std::string bytes;
    if (!app.store().readText("swf\\" + entry.name + ".swf", bytes)) return false;
    // A movie that cannot be read offers nothing to replace: only why.
    auto read = readSWF(asBytes(bytes), entry.name + ".swf");
    if (!read) {
        entry.error = read.report().reason();
        return true;
    }
    static_cast<MovieContents&>(entry) = describeChangeable(*read);
    entry.variables.clear();
    ActionVariables variables;
    buildActionVariables(app.configTable(), baseName(entry.name), variables);
    for (const auto& variable : variables) {
        entry.variables.push_back({variable->getName(), variable->typeLetter(), variable->getValueText()});
    }
    return true;
}

// The names of every template movie the store can find: "swf\" + name + ".swf" on
// disk (in the installation and its "res" folder) and in the archives.
std::vector<std::string> storedTemplateNames(EditSession& app) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    const std::string prefix = "swf\\";
    const std::string suffix = ".swf";
    auto take = [&](std::string name) {
        if (name.size() > prefix.size() + suffix.size() && name.starts_with(prefix) && name.ends_with(suffix)) {
            names.push_back(name.substr(prefix.size(), name.size() - prefix.size() - suffix.size()));
        }
    };
    FileStore& store = app.store();
    for (const std::string& folder : store.diskFolders()) {
        // A "swf" folder that leads out of the installation is not walked; a movie in
        // it that leads out is refused when it is read.
        if (!store.folderInside(folder, "swf")) continue;
        const fs::path root = fs::path(folder) / "swf";
        std::error_code error;
        for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
            if (!it->is_regular_file(error)) continue;
            // Disk names are UTF-8 with "/"; product names Windows-1252 with "\".
            std::string name = utf8ToCp1252(fs::relative(it->path(), root, error).generic_string());
            for (char& c : name) c = c == '/' ? '\\' : c;
            take(prefix + name);
        }
    }
    for (const auto& database : store.databases()) {
        for (const auto& record : database->records()) take(record.name);
    }
    return names;
}

}  // namespace

std::vector<TemplateEntry> listTemplates(EditSession& app) {
    std::vector<TemplateEntry> templates;
    std::set<std::string> named;
    std::set<std::string> baseNames;

    // Lists in name order, entries in file order, as the interface shows them.
    const TextTable lists(app.texts().selectLists);
    std::map<std::string, std::vector<int>> rowsByList;
    for (int row = 0; row < lists.rowCount(); ++row) rowsByList[lists.cell(1, row)].push_back(row);
    for (const auto& [list, rows] : rowsByList) {
        for (int row : rows) {
            TemplateEntry entry;
            entry.name = lists.cell(2, row);
            if (named.count(entry.name) != 0) continue;
            entry.title = lists.cell(0, row);
            entry.list = list;
            if (!describeTemplate(app, entry)) continue;
            named.insert(entry.name);
            baseNames.insert(baseName(entry.name));
            templates.push_back(std::move(entry));
        }
    }
    // configs.txt names a template by its base name only: any stored template movie of
    // that base name, in whatever folder, is the one it configures.
    const TextTable& configs = app.configTable();
    const std::vector<std::string> stored = storedTemplateNames(app);
    for (int row = 0; row < configs.rowCount(); ++row) {
        const std::string base = configs.cell(0, row);
        if (!baseNames.insert(base).second) continue;
        for (const std::string& name : stored) {
            if (baseName(name) != base || !named.insert(name).second) continue;
            TemplateEntry entry;
            entry.name = name;
            if (describeTemplate(app, entry)) templates.push_back(std::move(entry));
        }
    }
    return templates;
}

std::string templateTitle(const EditSession& app, const std::string& name) {
    const TextTable lists(app.texts().selectLists);
    for (int row = 0; row < lists.rowCount(); ++row) {
        if (lists.cell(2, row) == name) return lists.cell(0, row);
    }
    return "";
}

}  // namespace tarvenox
