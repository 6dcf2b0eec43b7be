// The selected template's files in the working folder.
#include "data/TemplateWorkspace.h"

#include <unistd.h>

#include "data/ProductNames.h"

namespace tarvenox {

TemplateWorkspace::TemplateWorkspace(std::unique_ptr<FileStore> store, std::string workingFolder)
    : workingFolder_(withTrailingSlash(std::move(workingFolder))), store_(std::move(store)) {}

TemplateWorkspace::~TemplateWorkspace() { deleteExtracted(); }

void TemplateWorkspace::setTemplate(const std::string& name) {
    deleteExtracted();
    templateName_ = name;
    files_ = {name + ".swf", name + "Edit.swf", name + "Config.txt"};
}

void TemplateWorkspace::extractAll() {
    for (const std::string& file : files_) store_->extract(file);
}

void TemplateWorkspace::deleteExtracted() {
    for (const std::string& file : files_) {
        std::string base = baseName(file);
        // extract() never writes such a name, so there is nothing of ours to delete.
        if (!isSafeProductName(base)) continue;
        ::unlink((workingFolder_ + diskName(base)).c_str());
    }
}

}  // namespace tarvenox
