// `tarvenox save`: apply changes to a movie, or to a template of an installation, and
// write the result.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

#include "app/CommandError.h"
#include "app/Commands.h"
#include "app/InstallationOption.h"
#include "app/OutputFile.h"
#include "app/SaveOptions.h"
#include "app/TarvenoxApp.h"
#include "app/WebPage.h"
#include "common/Cp1252.h"
#include "common/Exception.h"
#include "common/FileIO.h"
#include "common/Log.h"
#include "edit/ChangeCheck.h"
#include "edit/ColorText.h"
#include "edit/MovieSave.h"
#include "edit/VariableText.h"
#include "swf/MovieVariables.h"
#include "swf/SWFReader.h"
#include "swf/SWFType.h"
#include "swf/SWFWriter.h"

namespace tarvenox {

namespace {

// "NAME=VALUE" split at the first '='; the name (a product text) in Windows-1252.
std::pair<std::string, std::string> parseReplacement(const std::string& text, const char* option, const char* form) {
    const auto equals = text.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
        throw CommandError(std::string(option) + ": '" + text + "' is not " + form);
    }
    // A name the movie cannot hold would only be searched for with '?' in its place.
    auto name = productText(text.substr(0, equals));
    if (!name) {
        throw CommandError(std::string(option) + ": '" + text + "' has characters that Windows-1252 cannot represent");
    }
    return {std::move(*name), text.substr(equals + 1)};
}

// The options of one kind as name (Windows-1252, as movies store it) to value, in
// byte-wise order of the names: the order the save applies them in. A name given twice
// takes the last value. What the movie cannot take is refused (CommandError), so that
// nothing is written then: a name it lacks with the option as given, a file or face it
// cannot use with the option's name. The conversions, when given, hold the files read.
Replacements checkedReplacements(const std::vector<std::string>& specs, SWFFile& movie, ChangeKind kind,
                                 const char* option, const char* form, Conversions* conversions = nullptr) {
    Replacements replacements;
    for (const auto& spec : specs) {
        auto [name, value] = parseReplacement(spec, option, form);
        // A name the movie lacks is told with the option as given, a file or face it cannot
        // use with the option's name.
        if (const Report named = checkChangeName(movie, kind, name, value); named.failed()) {
            throw CommandError(std::string(option) + " " + spec + ": " + named.reason());
        }
        if (const Report usable = checkChangeValue(kind, name, value, conversions); usable.failed()) {
            throw CommandError(std::string(option) + " " + displayText(name) + ": " + usable.reason());
        }
        replacements[name] = value;
    }
    return replacements;
}

Replacements checkedImages(const std::vector<std::string>& specs, SWFFile& movie, Conversions* conversions = nullptr) {
    return checkedReplacements(specs, movie, ChangeKind::Picture, "--image", "EXPORT=FILE", conversions);
}

Replacements checkedFonts(const std::vector<std::string>& specs, SWFFile& movie) {
    return checkedReplacements(specs, movie, ChangeKind::Font, "--font", "NAME=FACE");
}

Replacements checkedSounds(const std::vector<std::string>& specs, SWFFile& movie, Conversions* conversions = nullptr) {
    return checkedReplacements(specs, movie, ChangeKind::Sound, "--mp3", "EXPORT=FILE", conversions);
}

// The options that name a change, as the check will take them, leaving out what it will
// refuse: what the conversions can start on before the check.
Replacements wellFormed(const std::vector<std::string>& options) {
    Replacements replacements;
    for (const auto& option : options) {
        try {
            auto [name, value] = parseReplacement(option, "", "");
            replacements[name] = value;
        } catch (const CommandError&) {
        }
    }
    return replacements;
}

// The movie to customise; a movie that cannot be read is not written.
SWFFile readMovie(const std::string& path) {
    auto read = readSWF(path);
    if (!read) throw CommandError(read.report().reason() + "; nothing was written");
    return read.take();
}

// What a save that worked has to tell, such as characters of static text that the new
// font lacks, in one line on standard error. The messages the interactive program shows
// as internal conversion problems (OK and Cancel) are left to the log.
void printNotes(const Report& report) {
    for (const auto& message : report.messages()) {
        if (message.kind == MessageKind::OkCancel) {
            logPrint("%s\n", displayText(message.text).c_str());
        } else {
            std::fprintf(stderr, "tarvenox: note: %s\n", displayText(message.text).c_str());
        }
    }
}

// One --var: the variable typed by its suffix.
std::unique_ptr<SWFType> parseVariable(const std::string& option) {
    std::unique_ptr<SWFType> variable;
    if (const Report report = parseTypedVariable(option, variable); report.failed()) {
        throw CommandError("--var: " + report.text());
    }
    return variable;
}

// Refuses what cannot be written before anything is read.
ActionVariables parseVariables(const std::vector<std::string>& options) {
    ActionVariables variables;
    for (const std::string& option : options) {
        variables.push_back(parseVariable(option));
        if (const Report report = checkWritable(*variables.back()); report.failed()) {
            throw CommandError("--var: " + report.text());
        }
    }
    return variables;
}

std::optional<std::int32_t> parseBackground(const std::string& text) {
    if (text.empty()) return std::nullopt;
    auto background = parseColor(text);
    if (!background) {
        throw CommandError("--background: '" + text + "' is not a colour; give #rrggbb or a decimal number");
    }
    return background;
}

// A movie on its own: the variables are the ones given, typed by their suffix.
void saveMovieFile(const SaveOptions& options) {
    const auto background = parseBackground(options.background);
    ActionVariables variables = parseVariables(options.variables);
    SWFFile movie = readMovie(options.movie);
    // Every file and face is converted once, side by side, while the changes are checked.
    Conversions conversions(movie, wellFormed(options.fonts), wellFormed(options.images), wellFormed(options.mp3));
    const auto fonts = checkedFonts(options.fonts, movie);
    const auto images = checkedImages(options.images, movie, &conversions);
    const auto sounds = checkedSounds(options.mp3, movie, &conversions);
    const Report report = customiseMovie(movie, fonts, images, sounds, nullptr, background, &conversions);
    if (report.failed()) throw CommandError(report.text() + "; nothing was written");
    printNotes(report);
    // A movie's own script stays: only the assignments of the variables change.
    if (const Report assigned = assignVariables(movie, variables); assigned.failed()) {
        throw CommandError("--var: " + assigned.text() + "; nothing was written");
    }
    if (options.uncompressed) movie.setCompression(SWFCompression::None);
    if (isStandardOutput(options.output)) {
        writeOutput(options.output, movieBytes(movie));
        return;
    }
    if (const Report written = writeSWF(movie, options.output); written.failed()) throw CommandError(written.reason());
}

// Rewrites a saved movie in the uncompressed form.
// A saved movie's bytes in the uncompressed form.
Bytes uncompressed(const Bytes& saved) {
    auto read = readSWF(saved, "the saved movie");
    if (!read) throw CommandError(read.report().reason());
    SWFFile& movie = *read;
    movie.setCompression(SWFCompression::None);
    return serializeSWF(movie);
}

// --var for a template: NAME=VALUE gives a new value to every variable of that name
// that "configs.txt" declares for the template, which also fixes its type and its place
// in the movie's actions. Variables not named keep their configured values.
void setTemplateVariables(EditSession& session, const std::vector<std::string>& specs,
                          const std::string& templateName) {
    for (const std::string& spec : specs) {
        const std::size_t equals = spec.find('=');
        if (equals == std::string::npos || equals == 0) {
            throw CommandError("--var: '" + spec + "' is not NAME=VALUE");
        }
        const auto productName = productText(spec.substr(0, equals));
        const auto productValue = productText(spec.substr(equals + 1));
        if (!productName || !productValue) {
            throw CommandError("--var: '" + spec + "' has characters that Windows-1252 cannot represent");
        }
        if (const Report report = session.setDeclaredVariable(*productName, *productValue); report.failed()) {
            throw CommandError("--var: the template '" + templateName + "' declares " + report.text());
        }
    }
    // Refuses what cannot be written before anything is, naming where the value came
    // from: --var, or the template's line in configs.txt.
    for (const auto& variable : session.actionVariables()) {
        const Report report = checkWritable(*variable);
        if (!report.failed()) continue;
        const bool given = std::any_of(specs.begin(), specs.end(), [&](const std::string& spec) {
            return productText(spec.substr(0, spec.find('='))) == variable->getName();
        });
        throw CommandError(given ? "--var: " + report.text()
                                 : "configs.txt: the template '" + templateName + "': " + report.text());
    }
}

}  // namespace

// A template of an installation, as the interactive program saves it: start-up, the
// selection of the template, every change recorded through the recording operations,
// the save into the working copy, the copy to the output, and shutdown.
Report saveTemplate(const SaveOptions& options) {
    namespace fs = std::filesystem;
    const auto background = parseBackground(options.background);
    const std::string name = productText(options.templateName).value_or("");
    if (name.empty()) {
        throw CommandError("--template: '" + options.templateName + "' is not a template name");
    }
    CTarvenoxApp app(installationEnvironment(options.dataFolder));
    if (!app.workingFolderCreated) {
        throw CommandError("cannot create a working folder in the temporary folder");
    }
    app.selectMovie(name);
    const std::string workingCopy = app.workingCopyPath();
    if (!fs::exists(workingCopy)) {
        throw CommandError("the installation has no template '" + options.templateName + "' (swf/" +
                           options.templateName + ".swf)");
    }
    SWFFile movie = readMovie(workingCopy);

    for (const auto& [fontName, face] : checkedFonts(options.fonts, movie)) {
        app.replaceFont(fontName, face);
    }
    for (const auto& [exportName, path] : checkedImages(options.images, movie)) {
        if (const Report report = app.replacePicture(exportName, path); report.failed()) {
            throw CommandError("--image " + displayText(exportName) + "=" + path + ": " + report.text() +
                               "; nothing was written");
        }
    }
    for (const auto& [exportName, path] : checkedSounds(options.mp3, movie)) {
        app.replaceSound(exportName, path);
    }
    std::vector<std::string> variables = options.variables;
    for (const std::string& spec : options.optionalVariables) {
        const auto declared = productText(spec.substr(0, spec.find('=')));
        if (std::any_of(app.actionVariables().begin(), app.actionVariables().end(),
                        [&](const auto& variable) { return variable->getName() == declared; })) {
            variables.push_back(spec);
        }
    }
    setTemplateVariables(app, variables, options.templateName);
    if (background) app.setBackground(*background);

    const Report report = app.save();
    if (report.failed()) throw CommandError(report.text() + "; nothing was written");
    auto result = readFileBytes(app.workingCopyPath());
    if (!result) throw CommandError(result.report().reason());
    writeOutput(options.output, options.uncompressed ? uncompressed(*result) : *result);
    if (options.html) writeWebPage(options.output);
    return report;
}

namespace {

void runSave(SaveOptions options) {
    if (options.movie.empty() == options.templateName.empty()) {
        throw CommandError("save: give either a MOVIE or --template NAME");
    }
    if (options.html && isStandardOutput(options.output)) {
        throw CommandError("--html: the page needs the movie in a file, not on standard output");
    }
    if (!options.rows.empty()) {
        if (options.templateName.empty()) throw CommandError("--rows: give the template with --template NAME");
        saveRows(options);
        return;
    }
    options.output = movieOutput(options.output, options.html);
    prepareOutput(options.output);
    if (options.templateName.empty()) {
        saveMovieFile(options);
        if (options.html) writeWebPage(options.output);
    } else {
        printNotes(saveTemplate(options));
    }
}

}  // namespace

void addSaveCommand(CLI::App& program) {
    auto* command =
        program.add_subcommand("save", "Apply the given changes to a movie, or to a template of an installation, and "
                                       "write the result to a new file");
    auto options = std::make_shared<SaveOptions>();
    auto* movie = command->add_option("movie", options->movie, "The SWF movie to start from");
    auto* templateName = command
                             ->add_option("--template", options->templateName,
                                          "Start from this template of the installation instead "
                                          "(`tarvenox templates` lists them); its variables are declared "
                                          "in configs.txt, so --var takes NAME=VALUE only")
                             ->type_name("NAME")
                             ->excludes(movie);
    command->add_option("--data", options->dataFolder, "The installation folder (default: the current directory)")
        ->type_name("DIR")
        ->needs(templateName);
    command->add_option("-o,--output", options->output, "Where to write the result (- for standard output)")
        ->required();
    command->add_flag("--html", options->html,
                      "Also write OUT.html beside OUT.swf, a page that plays the movie in the "
                      "Ruffle player, with the player's files copied into OUT_files/; -o OUT.html "
                      "saves the movie as OUT.swf beside its page");
    command
        ->add_option("--rows", options->rows,
                     "Save the template once per row of this CSV file (header row; columns "
                     "named for variables, font:NAME, image:EXPORT, mp3:EXPORT, background); "
                     "-o is then a pattern such as 'out/{name}.swf' over the columns")
        ->type_name("SHEET.csv")
        ->needs(templateName);
    command->add_flag("--uncompressed", options->uncompressed,
                      "Write the result uncompressed (FWS); by default it keeps the form the "
                      "movie had (FWS, CWS with zlib, ZWS with LZMA)");
    command->add_option("--background", options->background, "New background colour: #rrggbb or a decimal number");
    command
        ->add_option("--font", options->fonts,
                     "Rebuild the font (DefineFont2 or DefineFont3) named NAME from the installed face FACE "
                     "(repeatable; `tarvenox fonts` lists the faces)")
        ->type_name("NAME=FACE")
        ->allow_extra_args(false);
    command
        ->add_option("--image", options->images,
                     "Replace the picture exported as EXPORT with a PNG or JPEG file (repeatable)")
        ->type_name("EXPORT=FILE")
        ->allow_extra_args(false);
    command->add_option("--mp3", options->mp3, "Replace the sound exported as EXPORT with an MP3 file (repeatable)")
        ->type_name("EXPORT=FILE")
        ->allow_extra_args(false);
    command
        ->add_option("--var", options->variables,
                     "Set a variable: where the movie's first DoAction assigns it, that "
                     "value changes, else it is assigned just before (with --template the "
                     "template's variable block is rewritten). NAME=VALUE for a string, "
                     "NAME:b=, NAME:d=, NAME:i= for a boolean, number or integer (repeatable)")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false);
    command->callback([options] { runSave(*options); });
}

}  // namespace tarvenox
