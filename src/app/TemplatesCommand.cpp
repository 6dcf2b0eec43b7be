// `tarvenox templates`: the templates of an installation and what each lets one change.
#include <unistd.h>
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <iostream>

#include "app/CommandError.h"
#include "app/Commands.h"
#include "app/InstallationOption.h"
#include "app/MoviePictures.h"
#include "common/Cp1252.h"
#include "edit/TemplateCatalogue.h"
#include "publish/OutputPattern.h"

namespace tarvenox {

namespace {

using nlohmann::json;

// The largest thumbnail: the stage fits into it with its proportions kept.
constexpr int thumbnailWidth = 320;
constexpr int thumbnailHeight = 240;

json namesJson(const std::vector<std::string>& names) {
    json out = json::array();
    for (const auto& name : names) out.push_back(displayText(name));
    return out;
}

json templateJson(const TemplateEntry& entry) {
    json variables = json::array();
    for (const auto& variable : entry.variables) {
        variables.push_back({{"name", displayText(variable.name)},
                             {"type", std::string(1, variable.type)},
                             {"value", displayText(variable.value)}});
    }
    json out = {
        {"name", displayText(entry.name)}, {"title", displayText(entry.title)},     {"list", displayText(entry.list)},
        {"fonts", namesJson(entry.fonts)}, {"pictures", namesJson(entry.pictures)}, {"sounds", namesJson(entry.sounds)},
        {"variables", variables}};
    if (!entry.error.empty()) out["error"] = entry.error;
    return out;
}

// Line breaks and tabs of a value, written as the escapes a reader recognises.
std::string visible(const std::string& text) {
    std::string out;
    for (char c : displayText(text)) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += c;
        }
    }
    return out;
}

std::string quotedList(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) text += (text.empty() ? "\"" : ", \"") + displayText(name) + '"';
    return text.empty() ? "-" : text;
}

void printTemplate(const TemplateEntry& entry) {
    std::cout << displayText(entry.name);
    if (!entry.list.empty()) {
        std::string title = entry.title;
        for (char& c : title) c = c == '+' ? ' ' : c;  // the lists write blanks as '+'
        std::cout << "  \"" << displayText(title) << "\" in list " << displayText(entry.list);
    }
    std::cout << '\n';
    if (!entry.error.empty()) std::cout << "  error: " << entry.error << '\n';
    std::cout << "  fonts: " << quotedList(entry.fonts) << '\n'
              << "  pictures: " << quotedList(entry.pictures) << '\n'
              << "  sounds: " << quotedList(entry.sounds) << '\n'
              << "  variables:";
    if (entry.variables.empty()) std::cout << " -";
    std::cout << '\n';
    for (const auto& variable : entry.variables) {
        std::cout << "    " << displayText(variable.name) << " (" << variable.type << ") = \""
                  << visible(variable.value) << "\"\n";
    }
}

// A PNG per template that can be read, named for the template, all drawn in one run of
// the player.
void writeThumbnails(const AppEnvironment& environment, const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::filesystem::path where = std::filesystem::absolute(folder, error);
    if (!std::filesystem::is_directory(folder, error))
        throw CommandError("--thumbnails: cannot create the folder " + folder);
    CTarvenoxApp app(environment);
    std::vector<MoviePicture> pictures;
    // The copies go before shutdown, which removes only the files it extracted itself.
    struct Copies {
        std::vector<MoviePicture>& pictures;
        ~Copies() {
            for (const auto& picture : pictures) ::unlink(picture.movie.c_str());
        }
    } copies{pictures};
    for (const auto& entry : listTemplates(app)) {
        if (!entry.error.empty()) continue;
        // The next selection deletes this working copy: a copy of it waits in the working
        // folder.
        app.selectMovie(entry.name);
        const std::string movie = app.workingFolder() + "thumbnail-" + std::to_string(pictures.size()) + ".swf";
        const std::string png = (where / (safeFileNamePart(displayText(entry.name)) + ".png")).string();
        pictures.push_back({movie, png, 0, thumbnailWidth, thumbnailHeight});
        if (const Report copied = app.copyResultTo(movie); copied.failed()) throw CommandError(copied.reason());
    }
    if (pictures.empty()) throw CommandError("--thumbnails: the installation has no template to draw");
    renderMoviePictures(pictures);
}

}  // namespace

void addTemplatesCommand(CLI::App& program) {
    auto* command =
        program.add_subcommand("templates", "List the templates of an installation with the fonts, pictures, sounds "
                                            "and variables each lets one change");
    auto dataFolder = std::make_shared<std::string>();
    auto asJson = std::make_shared<bool>(false);
    command->add_option("--data", *dataFolder, "The installation folder (default: the current directory)")
        ->type_name("DIR");
    command->add_flag("--json", *asJson, "Print one JSON document instead of text");
    auto thumbnails = std::make_shared<std::string>();
    command
        ->add_option("--thumbnails", *thumbnails,
                     "Instead of the list, write a PNG of each template (at most 320 x 240 "
                     "pixels, as `tarvenox render` draws it) into DIR as NAME.png")
        ->type_name("DIR");
    command->callback([dataFolder, asJson, thumbnails] {
        const AppEnvironment environment = installationEnvironment(*dataFolder);
        if (!thumbnails->empty()) {
            writeThumbnails(environment, *thumbnails);
            return;
        }
        std::vector<TemplateEntry> templates;
        {
            CTarvenoxApp app(environment);
            templates = listTemplates(app);
        }
        if (*asJson) {
            json out = json::array();
            for (const auto& entry : templates) out.push_back(templateJson(entry));
            std::cout << out.dump(2) << '\n';
        } else {
            for (const auto& entry : templates) printTemplate(entry);
            if (templates.empty()) std::cout << "no templates\n";
        }
    });
}

}  // namespace tarvenox
