// A plain movie shown as an installation of one template.
#include "edit/MovieInstallation.h"

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <set>

#include "common/Cp1252.h"
#include "common/FileIO.h"
#include "common/Log.h"
#include "common/TemporaryPaths.h"
#include "common/Texts.h"
#include "edit/MovieContents.h"
#include "edit/VariableText.h"
#include "swf/SWFReader.h"

namespace tarvenox {

namespace {

bool isLineBreak(char c) { return c == '\n' || c == '\r'; }

// A cell of a configuration text holds neither TABs nor line breaks.
bool fitsCell(const std::string& text) { return text.find_first_of("\t\r\n") == std::string::npos; }

// A product text as the cell of a title: control characters become blanks.
std::string cellText(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    }
    return text;
}

// A value of configs.txt: each line break (LF, CR LF or CR) written as "\n", which the
// session reads back as a line break. nullopt when the value cannot be read back as it
// is: a TAB ends a cell, and a backslash before 'n' would come back as a line break.
std::optional<std::string> configValue(const std::string& text) {
    if (text.find('\t') != std::string::npos || text.find("\\n") != std::string::npos) return std::nullopt;
    std::string value;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isLineBreak(text[i])) {
            value += text[i];
            continue;
        }
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        value += "\\n";
    }
    return value;
}

// A variable of the template: its form row's kind and its configs.txt row.
struct FormVariable {
    std::string name;
    char type = 's';
    std::string value;  // as configs.txt holds it
    bool multiline = false;
};

std::string textKind(bool multiline) { return multiline ? "textarea" : "text"; }

std::string formKind(const FormVariable& variable) {
    switch (variable.type) {
        case 'b': return "bool";
        case 'd':
        case 'i': return "number";
        default: return textKind(variable.multiline);
    }
}

// The variable a name stands for on the main timeline: "_root.title", "_level0.title"
// and "title" are one.
std::string_view timelineName(std::string_view name) {
    for (std::string_view prefix : {"_root.", "_level0."}) {
        if (name.starts_with(prefix)) return name.substr(prefix.size());
    }
    return name;
}

// The variables of the form: the text fields' variables in file order, then the first
// frame's other variables. A text field's variable the first frame sets shows the
// frame's value, so that value and its type are the variable's.
std::vector<FormVariable> formVariables(const MovieContents& contents, std::vector<std::string>& leftOut) {
    std::vector<FormVariable> variables;
    std::set<std::string, std::less<>> named;  // by timelineName
    auto add = [&](const std::string& name, char type, const std::string& text, const std::string& what) {
        if (name.empty() || !named.emplace(timelineName(name)).second) return;
        std::optional<std::string> value = configValue(text);
        if (!fitsCell(name) || !value) {
            leftOut.push_back(what + " '" + cp1252ToUtf8(name) + "' (a TAB, line break or \\n it holds)");
            return;
        }
        variables.push_back({name, type, *value, value->find("\\n") != std::string::npos});
    };
    auto frameVariable = [&](const std::string& name) -> const TemplateVariable* {
        for (const auto& variable : contents.variables) {
            if (timelineName(variable.name) == timelineName(name)) return &variable;
        }
        return nullptr;
    };
    for (const auto& field : contents.texts) {
        if (const TemplateVariable* set = frameVariable(field.variable)) {
            add(set->name, set->type, set->value, "variable");
            continue;
        }
        std::optional<std::string> text = editableText(field.text);
        if (!text) {
            if (!field.variable.empty() && named.emplace(timelineName(field.variable)).second) {
                leftOut.push_back("text field " + std::to_string(field.id) + " '" + cp1252ToUtf8(field.variable) +
                                  "' (characters Windows-1252 cannot hold)");
            }
            continue;
        }
        add(field.variable, 's', *text, "text field " + std::to_string(field.id));
    }
    for (const auto& variable : contents.variables) add(variable.name, variable.type, variable.value, "variable");
    return variables;
}

// The label of a slot named by export or font name: the name; of one named by its id:
// what it is and the id.
std::string slotLabel(const std::string& name, std::uint16_t id, const std::string& what) {
    return name == idName(id) ? what + " " + name : name;
}

}  // namespace

std::string movieTemplateName(const std::string& path) {
    std::string name = std::filesystem::path(path).filename().string();
    if (name.size() > 4) {
        std::string extension = name.substr(name.size() - 4);
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (extension == ".swf") name.resize(name.size() - 4);
    }
    const bool safe = !name.empty() && name.find_first_not_of("abcdefghijklmnopqrstuvwxyz"
                                                              "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                              "0123456789-_") == std::string::npos;
    return safe ? name : "movie";
}

InstallationTexts installationTexts(const MovieContents& contents, const std::string& name, const std::string& title) {
    InstallationTexts out;
    const std::string shownTitle = cellText(utf8ToCp1252(title));
    out.texts = "name\ttext\ntitle\t" + shownTitle + "\n";
    out.selectLists = "text\tlist\tfile\n" + shownTitle + "\tmovies\t" + name + "\n";

    out.configs = "movie\tvariable\ttype\tvalue\n";
    out.form = "kind\tname\tlabel\n";
    for (const auto& variable : formVariables(contents, out.leftOut)) {
        out.configs += name + "\t" + variable.name + "\t" + variable.type + "\t" + variable.value + "\n";
        out.form += formKind(variable) + "\t" + variable.name + "\t" + variable.name + "\n";
    }
    for (const auto& text : contents.staticTexts) {
        const std::string id = std::to_string(text.id);
        if (!editableText(text.text)) {
            out.leftOut.push_back("static text " + id + " (characters Windows-1252 cannot hold)");
            continue;
        }
        out.form += textKind(text.text.find('\n') != std::string::npos) + "\ttext:" + id + "\tText " + id + "\n";
    }
    for (const auto& picture : contents.pictures) {
        if (!fitsCell(picture.name)) continue;
        std::string label = picture.name;
        if (picture.name == idName(picture.id)) {
            // "×" in Windows-1252.
            label = "Picture " + picture.name + " (" + std::to_string(picture.width) + " \xD7 " +
                    std::to_string(picture.height) + ")";
        }
        out.form += "image\t" + picture.name + "\t" + label + "\n";
    }
    for (const auto& font : contents.fonts) {
        if (fitsCell(font.name)) out.form += "font\t" + font.name + "\t" + slotLabel(font.name, font.id, "Font") + "\n";
    }
    for (const auto& sound : contents.sounds) {
        if (fitsCell(sound.name))
            out.form += "mp3\t" + sound.name + "\t" + slotLabel(sound.name, sound.id, "Sound") + "\n";
    }
    out.form += "color\t_root.backgroundColor\tBackground colour\n";
    return out;
}

MovieInstallation::MovieInstallation(std::string folder, std::string templateName, std::string moviePath)
    : folder_(std::move(folder)), templateName_(std::move(templateName)), moviePath_(std::move(moviePath)) {}

MovieInstallation::~MovieInstallation() {
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
    unregisterTemporaryPath(folder_.substr(0, folder_.size() - 1));
}

Result<std::unique_ptr<MovieInstallation>> MovieInstallation::create(const std::string& moviePath,
                                                                     const std::string& temporaryFolder) {
    auto bytes = readFileBytes(moviePath);
    // The reasons name the file.
    if (!bytes) return Report::failure(bytes.report().reason());
    auto movie = readSWF(*bytes, moviePath);
    if (!movie) return Report::failure(movie.report().reason());
    const MovieContents contents = describeChangeable(*movie);
    const std::string name = movieTemplateName(moviePath);
    const InstallationTexts texts =
        installationTexts(contents, name, std::filesystem::path(moviePath).filename().string());
    for (const auto& line : texts.leftOut) logPrint("%s: left out of the form: %s\n", moviePath.c_str(), line.c_str());

    // The working folder's prefix, so that a later run removes what a killed one left.
    std::string pattern = temporaryFolder + "tvtmpdir.prg.movie.XXXXXX";
    if (!createRegisteredTemporaryFolder(pattern, true)) {
        return Report::failure(text("installation.noFolder", {moviePath, temporaryFolder}));
    }
    std::unique_ptr<MovieInstallation> installation(new MovieInstallation(pattern + "/", name, moviePath));
    const std::string& folder = installation->folder();
    if (::mkdir((folder + "swf").c_str(), 0700) != 0) {
        return Report::failure(text("installation.notWritten", {moviePath, folder}));
    }
    for (const auto& [file, content] : {std::pair<std::string, ByteSpan>{"swf/" + name + ".swf", *bytes},
                                        {"swf/" + name + "Config.txt", asBytes(texts.form)},
                                        {"texts.txt", asBytes(texts.texts)},
                                        {"selectLists.txt", asBytes(texts.selectLists)},
                                        {"configs.txt", asBytes(texts.configs)}}) {
        if (Report report = writeFileAtomically(folder + file, content); report.failed()) {
            return Report::failure(text("installation.writeFailed", {moviePath, report.reason()}));
        }
    }
    return installation;
}

}  // namespace tarvenox
