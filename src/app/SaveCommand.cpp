// `tarvenox save`: apply changes to a movie, or to a template of an installation, and
// write the result.
#include <CLI/CLI.hpp>

#include <cstdio>

#include "app/CommandError.h"
#include "app/Commands.h"
#include "app/InstallationOption.h"
#include "app/MovieVideo.h"
#include "app/SaveOptions.h"
#include "app/TarvenoxApp.h"
#include "common/Cp1252.h"
#include "common/Log.h"
#include "common/Texts.h"
#include "edit/MovieSave.h"
#include "edit/VariableText.h"
#include "publish/OutputFile.h"
#include "publish/SlotChanges.h"
#include "publish/TemplateSave.h"
#include "publish/TextChanges.h"
#include "publish/WebPage.h"
#include "swf/MovieVariables.h"
#include "swf/SWFReader.h"
#include "swf/SWFType.h"
#include "swf/SWFWriter.h"

namespace tarvenox {

namespace {

// One replacement option, NAME=VALUE split at the first '='.
std::vector<SlotChange> slotChanges(const std::vector<std::string>& specs, ChangeKind kind) {
    std::vector<SlotChange> changes;
    for (const auto& spec : specs) {
        const auto equals = spec.find('=');
        if (equals == std::string::npos || equals == 0 || equals + 1 == spec.size()) {
            throw CommandError(notInFormLine(kind, spec));
        }
        changes.push_back({spec.substr(0, equals), spec.substr(equals + 1)});
    }
    return changes;
}

// --var for a template: NAME=VALUE, the type fixed by "configs.txt".
std::vector<VariableChange> variableChanges(const std::vector<std::string>& specs) {
    std::vector<VariableChange> changes;
    for (const std::string& spec : specs) {
        const std::size_t equals = spec.find('=');
        if (equals == std::string::npos || equals == 0)
            throw CommandError("--var: " + text("variable.notNameValue", {spec}));
        changes.emplace_back(spec.substr(0, equals), spec.substr(equals + 1));
    }
    return changes;
}

// --text: ID=TEXT split at the first '=', the escapes of TEXT undone.
std::vector<SlotChange> textChanges(const std::vector<std::string>& specs) {
    std::vector<SlotChange> changes;
    for (const std::string& spec : specs) {
        const std::size_t equals = spec.find('=');
        if (equals == std::string::npos || equals == 0) throw CommandError("--text: " + text("save.notIdText", {spec}));
        changes.push_back({spec.substr(0, equals), unescapedText(spec.substr(equals + 1))});
    }
    return changes;
}

// The changes the options give, each option read once. The variables of a movie on its
// own, typed by their suffix, are read by saveMovieFile.
MovieChanges movieChanges(const SaveOptions& options) {
    MovieChanges changes;
    changes.templateName = options.templateName;
    changes.installation = options.dataFolder;
    changes.output = options.output;
    if (!options.background.empty()) changes.background = valueOrThrow(backgroundColor(options.background));
    changes.fonts = slotChanges(options.fonts, ChangeKind::Font);
    changes.pictures = slotChanges(options.images, ChangeKind::Picture);
    for (const auto& spec : options.fits) {
        const auto equals = spec.find('=');
        if (equals == std::string::npos || equals == 0) {
            throw CommandError("--fit: " + text("save.notFit", {spec}));
        }
        changes.fits.push_back({spec.substr(0, equals), spec.substr(equals + 1)});
    }
    changes.sounds = slotChanges(options.mp3, ChangeKind::Sound);
    changes.texts = textChanges(options.texts);
    if (!options.templateName.empty()) changes.variables = variableChanges(options.variables);
    changes.uncompressed = options.uncompressed;
    changes.html = options.html;
    return changes;
}

// The movie to customise; a movie that cannot be read is not written.
SWFFile readMovie(const std::string& path) {
    auto read = readSWF(path);
    if (!read) throw CommandError(text("save.nothingWritten", {read.report().reason()}));
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
            std::fprintf(stderr, "tarvenox: %s\n", text("run.note", {displayText(message.text)}).c_str());
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

// A movie on its own: the variables are the ones given, typed by their suffix.
void saveMovieFile(const MovieChanges& changes, const SaveOptions& options) {
    ActionVariables variables = parseVariables(options.variables);
    SWFFile movie = readMovie(options.movie);
    // Every file and face is converted once, side by side, while the changes are checked.
    const auto fits = valueOrThrow(checkedFits(changes.pictures, changes.fits));
    Conversions conversions(movie, wellFormed(changes.fonts), wellFormed(changes.pictures), wellFormed(changes.sounds));
    const auto fonts = valueOrThrow(checkedChanges(movie, ChangeKind::Font, changes.fonts));
    const auto images = valueOrThrow(checkedChanges(movie, ChangeKind::Picture, changes.pictures, &conversions));
    const auto sounds = valueOrThrow(checkedChanges(movie, ChangeKind::Sound, changes.sounds, &conversions));
    const auto texts = valueOrThrow(checkedTextChanges(movie, changes.texts));
    const Report report = customiseMovie(movie, fonts, images, fits, sounds, nullptr, changes.background, &conversions);
    if (report.failed()) throw CommandError(text("save.nothingWritten", {report.text()}));
    // Static texts after the fonts, so that a changed text is laid out in the rebuilt font.
    throwIfFailed(changeStaticTexts(movie, texts, fonts));
    printNotes(report);
    // A movie's own script stays: only the assignments of the variables change.
    if (const Report assigned = assignVariables(movie, variables); assigned.failed()) {
        throw CommandError("--var: " + text("save.nothingWritten", {assigned.text()}));
    }
    if (options.uncompressed) movie.setCompression(SWFCompression::None);
    if (isStandardOutput(changes.output)) {
        throwIfFailed(writeOutput(changes.output, movieBytes(movie)));
        return;
    }
    if (const Report written = writeSWF(movie, changes.output); written.failed()) throw CommandError(written.reason());
}

void runSave(const SaveOptions& options) {
    if (options.movie.empty() == options.templateName.empty()) {
        throw CommandError(text("save.noSource"));
    }
    if (options.html && isStandardOutput(options.output)) {
        throw CommandError(text("save.htmlNeedsFile"));
    }
    if (!options.rows.empty() && options.templateName.empty()) {
        throw CommandError(text("save.rowsNeedTemplate"));
    }
    MovieChanges changes = movieChanges(options);
    if (!options.rows.empty()) {
        saveRows(changes, options.rows);
        return;
    }
    changes.output = movieOutput(changes.output, changes.html);
    throwIfFailed(prepareOutput(changes.output));
    if (isVideoOutput(changes.output)) {
        // The movie is saved beside the run and played into the video.
        if (changes.html) throw CommandError(text("render.pageOfVideo"));
        ScratchFolder scratch;
        const std::string video = changes.output;
        changes.output = scratch.file("movie.swf");
        if (options.templateName.empty()) {
            saveMovieFile(changes, options);
        } else {
            const Report report = saveTemplateIn(changes);
            throwIfFailed(report);
            printNotes(report);
        }
        renderMovieVideos({{changes.output, video}}, true);
        return;
    }
    if (options.templateName.empty()) {
        saveMovieFile(changes, options);
        if (changes.html) throwIfFailed(writeWebPage(changes.output));
    } else {
        const Report report = saveTemplateIn(changes);
        throwIfFailed(report);
        printNotes(report);
    }
}

}  // namespace

// A template of an installation, as the interactive program saves it: start-up, the
// save, and shutdown.
Report saveTemplateIn(const MovieChanges& changes) {
    CTarvenoxApp app(installationEnvironment(changes.installation));
    if (!app.workingFolderCreated) throw CommandError(text("run.noWorkingFolder"));
    return saveTemplate(app, changes);
}

void addSaveCommand(CLI::App& program) {
    auto* command = program.add_subcommand("save", text("help.save"));
    auto options = std::make_shared<SaveOptions>();
    auto* movie = command->add_option(text("help.arg.movie"), options->movie, text("help.save.movie"));
    auto* templateName = command->add_option("--template", options->templateName, text("help.save.template"))
                             ->type_name(text("help.type.name"))
                             ->excludes(movie);
    command->add_option("--data", options->dataFolder, text("help.data"))
        ->type_name(text("help.type.folder"))
        ->needs(templateName);
    command->add_option("-o,--output", options->output, text("help.save.output"))
        ->type_name(text("help.type.file"))
        ->required();
    command->add_flag("--html", options->html, text("help.save.html"));
    command->add_option("--rows", options->rows, text("help.save.rows"))
        ->type_name(text("help.type.sheet"))
        ->needs(templateName);
    command->add_flag("--uncompressed", options->uncompressed, text("help.save.uncompressed"));
    command->add_option("--background", options->background, text("help.save.background"))
        ->type_name(text("help.type.colour"));
    // The repeatable NAME=VALUE options: each takes one value per use.
    struct Repeatable {
        const char* name;
        std::vector<std::string>& values;
        const char* help;
        const char* typeName;
    } repeatable[] = {
        {"--font", options->fonts, "help.save.font", "help.type.nameFace"},
        {"--image", options->images, "help.save.image", "help.type.nameFile"},
        {"--fit", options->fits, "help.save.fit", "help.type.nameMode"},
        {"--mp3", options->mp3, "help.save.mp3", "help.type.nameFile"},
        {"--text", options->texts, "help.save.text", "help.type.idText"},
        {"--var", options->variables, "help.save.var", "help.type.nameValue"},
    };
    for (const Repeatable& option : repeatable) {
        command->add_option(option.name, option.values, text(option.help))
            ->type_name(text(option.typeName))
            ->allow_extra_args(false);
    }
    command->callback([options] { runSave(*options); });
}

}  // namespace tarvenox
