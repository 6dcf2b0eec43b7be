// A plain movie shown as an installation of one template: the editor opens any movie
// through the files an installation has, written from the movie's own description.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/Result.h"

namespace tarvenox {

struct MovieContents;

// The configuration texts of the one-template installation, Windows-1252: "texts.txt",
// "selectLists.txt", "configs.txt" and the template's form, "NAMEConfig.txt".
struct InstallationTexts {
    std::string texts;
    std::string selectLists;
    std::string configs;
    std::string form;
    // The texts left out because the editor's texts cannot hold them (UTF-8, one line
    // each, for the log): the movie keeps them as they are.
    std::vector<std::string> leftOut;
};

// The template name for a movie's file name: the base name without ".swf", with ASCII
// letters, digits, '-' and '_' only; "movie" when the name has any other character or
// nothing is left.
std::string movieTemplateName(const std::string& path);

// The installation's texts for a movie of that description, its template named name and
// titled title (the movie's file name, UTF-8). The form lists the texts, the first
// frame's other variables, the static texts, pictures, fonts, sounds and the background
// colour; configs.txt gives the texts and variables their values.
InstallationTexts installationTexts(const MovieContents& contents, const std::string& name, const std::string& title);

// The installation of one movie in a private temporary folder, registered so that an
// interrupted run removes it too; the object removes it when destroyed.
class MovieInstallation {
public:
    // Reads the movie and writes the installation into a new folder in temporaryFolder
    // (ending in "/"). A movie that cannot be read, or a folder that cannot be written,
    // fails with one line naming the movie.
    static Result<std::unique_ptr<MovieInstallation>> create(const std::string& moviePath,
                                                             const std::string& temporaryFolder);
    ~MovieInstallation();
    MovieInstallation(const MovieInstallation&) = delete;
    MovieInstallation& operator=(const MovieInstallation&) = delete;

    // The installation folder, ending in "/".
    const std::string& folder() const { return folder_; }
    // The template's name ("swf\" + name + ".swf" is its movie), Windows-1252 = ASCII.
    const std::string& templateName() const { return templateName_; }
    // The movie it was made from, as given.
    const std::string& moviePath() const { return moviePath_; }

private:
    MovieInstallation(std::string folder, std::string templateName, std::string moviePath);

    std::string folder_;
    std::string templateName_;
    std::string moviePath_;
};

}  // namespace tarvenox
