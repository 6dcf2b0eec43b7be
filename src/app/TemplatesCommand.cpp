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
#include "common/Texts.h"
#include "edit/ColorText.h"
#include "edit/MovieContents.h"
#include "edit/TemplateCatalogue.h"
#include "publish/OutputPattern.h"
#include "swf/SWFReader.h"

namespace tarvenox {

namespace {

using nlohmann::json;

// The largest thumbnail: the stage fits into it with its proportions kept.
constexpr int thumbnailWidth = 320;
constexpr int thumbnailHeight = 240;

json fontUseJson(const FontUse& font) { return {{"name", displayText(font.name)}, {"id", font.id}}; }

// Each slot an object with at least its name and id; names are what --font, --image and
// --mp3 take, texts' names what --var takes.
json contentsJson(const MovieContents& contents) {
    json fonts = json::array();
    for (const auto& font : contents.fonts) {
        fonts.push_back(
            {{"name", displayText(font.name)}, {"id", font.id}, {"kind", font.kind}, {"glyphCount", font.glyphCount}});
    }
    json pictures = json::array();
    for (const auto& picture : contents.pictures) {
        json placements = json::array();
        for (const auto& placed : picture.placements) {
            placements.push_back({{"shape", placed.shapeId},
                                  {"x", placed.bounds.x},
                                  {"y", placed.bounds.y},
                                  {"width", placed.bounds.width},
                                  {"height", placed.bounds.height}});
        }
        pictures.push_back({{"name", displayText(picture.name)},
                            {"id", picture.id},
                            {"kind", picture.kind},
                            {"tag", picture.tag},
                            {"width", picture.width},
                            {"height", picture.height},
                            {"alpha", picture.alpha},
                            {"shapes", picture.shapes},
                            {"placements", placements}});
    }
    json sounds = json::array();
    for (const auto& sound : contents.sounds) {
        sounds.push_back({{"name", displayText(sound.name)},
                          {"id", sound.id},
                          {"format", sound.format},
                          {"rate", sound.rate},
                          {"sampleCount", sound.sampleCount}});
    }
    json texts = json::array();
    for (const auto& text : contents.texts) {
        texts.push_back({{"name", displayText(text.variable)},
                         {"id", text.id},
                         {"text", text.text},
                         {"font", text.font ? fontUseJson(*text.font) : json(nullptr)}});
    }
    json staticTexts = json::array();
    for (const auto& text : contents.staticTexts) {
        json fontsUsed = json::array();
        for (const auto& font : text.fonts) fontsUsed.push_back(fontUseJson(font));
        staticTexts.push_back({{"name", idName(text.id)}, {"id", text.id}, {"text", text.text}, {"fonts", fontsUsed}});
    }
    json variables = json::array();
    for (const auto& variable : contents.variables) {
        variables.push_back({{"name", displayText(variable.name)},
                             {"type", std::string(1, variable.type)},
                             {"value", displayText(variable.value)}});
    }
    json out = {{"fonts", fonts},
                {"pictures", pictures},
                {"sounds", sounds},
                {"texts", texts},
                {"staticTexts", staticTexts},
                {"variables", variables},
                {"background", contents.background ? json(formatColor(*contents.background)) : json(nullptr)}};
    if (!contents.error.empty()) out["error"] = contents.error;
    return out;
}

json templateJson(const TemplateEntry& entry) {
    json out = contentsJson(entry);
    out["name"] = displayText(entry.name);
    out["title"] = displayText(entry.title);
    out["list"] = displayText(entry.list);
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

template <class Slot>
std::string quotedList(const std::vector<Slot>& slots) {
    std::string text;
    for (const auto& slot : slots) text += (text.empty() ? "\"" : ", \"") + displayText(slot.name) + '"';
    return text.empty() ? "-" : text;
}

std::string fontText(const FontUse& font) {
    return font.name.empty() ? text("listing.fontId", {std::to_string(font.id)})
                             : text("listing.fontNamed", {displayText(font.name)});
}

void printContents(const MovieContents& contents) {
    if (!contents.error.empty()) std::cout << "  " << text("listing.error", {contents.error}) << '\n';
    std::cout << "  " << text("listing.fonts") << ' ' << quotedList(contents.fonts) << '\n'
              << "  " << text("listing.pictures") << ' ' << quotedList(contents.pictures) << '\n'
              << "  " << text("listing.sounds") << ' ' << quotedList(contents.sounds) << '\n'
              << "  " << text("listing.variables");
    if (contents.variables.empty()) std::cout << " -";
    std::cout << '\n';
    for (const auto& variable : contents.variables) {
        std::cout << "    " << displayText(variable.name) << " (" << variable.type << ") = \""
                  << visible(variable.value) << "\"\n";
    }
    if (!contents.texts.empty()) std::cout << "  " << text("listing.texts") << '\n';
    for (const auto& field : contents.texts) {
        std::cout << "    " << displayText(field.variable) << " = \"" << visible(field.text) << "\" ("
                  << text("listing.field", {std::to_string(field.id)})
                  << (field.font ? ", " + fontText(*field.font) : "") << ")\n";
    }
    if (!contents.staticTexts.empty()) std::cout << "  " << text("listing.staticTexts") << '\n';
    for (const auto& staticText : contents.staticTexts) {
        std::cout << "    " << staticText.id << " = \"" << visible(staticText.text) << '"';
        for (const auto& font : staticText.fonts) std::cout << ", " << fontText(font);
        std::cout << '\n';
    }
    if (contents.background)
        std::cout << "  " << text("listing.background", {formatColor(*contents.background)}) << '\n';
}

void printTemplate(const TemplateEntry& entry) {
    std::cout << displayText(entry.name);
    if (!entry.list.empty()) {
        std::string title = entry.title;
        for (char& c : title) c = c == '+' ? ' ' : c;  // the lists write blanks as '+'
        std::cout << "  " << text("listing.inList", {displayText(title), displayText(entry.list)});
    }
    std::cout << '\n';
    printContents(entry);
}

// A movie on its own: what it lets a save change, under its path.
void printMovie(const std::string& path, bool asJson) {
    auto read = readSWF(path);
    throwIfFailed(read.report());
    const MovieContents contents = describeChangeable(*read);
    if (asJson) {
        json out = contentsJson(contents);
        out["file"] = path;
        std::cout << out.dump(2) << '\n';
    } else {
        std::cout << path << '\n';
        printContents(contents);
    }
}

// A PNG per template that can be read, named for the template, all drawn in one run of
// the player.
void writeThumbnails(const AppEnvironment& environment, const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::filesystem::path where = std::filesystem::absolute(folder, error);
    if (!std::filesystem::is_directory(folder, error))
        throw CommandError("--thumbnails: " + text("listing.cannotCreateFolder", {folder}));
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
    if (pictures.empty()) throw CommandError("--thumbnails: " + text("listing.nothingToDraw"));
    renderMoviePictures(pictures);
}

}  // namespace

void addTemplatesCommand(CLI::App& program) {
    auto* command = program.add_subcommand("templates", text("help.templates"));
    auto moviePath = std::make_shared<std::string>();
    auto dataFolder = std::make_shared<std::string>();
    auto asJson = std::make_shared<bool>(false);
    auto* movie = command->add_option(text("help.arg.movie"), *moviePath, text("help.templates.movie"));
    command->add_option("--data", *dataFolder, text("help.data"))->type_name(text("help.type.folder"))->excludes(movie);
    command->add_flag("--json", *asJson, text("help.json"));
    auto thumbnails = std::make_shared<std::string>();
    command->add_option("--thumbnails", *thumbnails, text("help.templates.thumbnails"))
        ->type_name(text("help.type.folder"))
        ->excludes(movie);
    command->callback([moviePath, dataFolder, asJson, thumbnails] {
        if (!moviePath->empty()) {
            printMovie(*moviePath, *asJson);
            return;
        }
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
            if (templates.empty()) std::cout << text("listing.noTemplates") << '\n';
        }
    });
}

}  // namespace tarvenox
