// The selected movie template's three files in the working folder: the movie, its
// editor movie and its configuration text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/FileStore.h"

namespace tarvenox {

class TemplateWorkspace {
public:
    TemplateWorkspace(std::unique_ptr<FileStore> store, std::string workingFolder);
    // Deletes the current template's copies; then the store and its archives go.
    ~TemplateWorkspace();
    TemplateWorkspace(const TemplateWorkspace&) = delete;
    TemplateWorkspace& operator=(const TemplateWorkspace&) = delete;

    // Deletes the previous template's copies and names the new template's files:
    // name + ".swf", name + "Edit.swf", name + "Config.txt".
    void setTemplate(const std::string& name);
    // Copies the current template's files into the working folder under their base
    // names; a file found nowhere is simply missing there.
    void extractAll();
    // Deletes the copies from the working folder; the file list is kept.
    void deleteExtracted();

    const std::string& templateName() const { return templateName_; }
    const std::vector<std::string>& files() const { return files_; }
    const std::string& workingFolder() const { return workingFolder_; }
    FileStore& store() { return *store_; }

private:
    std::string workingFolder_;
    std::string templateName_;
    std::vector<std::string> files_;
    std::unique_ptr<FileStore> store_;
};

}  // namespace tarvenox
