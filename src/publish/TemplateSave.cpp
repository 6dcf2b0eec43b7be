// The save of a template with typed changes.
#include "publish/TemplateSave.h"

#include <algorithm>
#include <filesystem>

#include "common/Cp1252.h"
#include "common/FileIO.h"
#include "common/Texts.h"
#include "edit/EditSession.h"
#include "edit/VariableText.h"
#include "publish/OutputFile.h"
#include "publish/Refusal.h"
#include "publish/SlotChanges.h"
#include "publish/TextChanges.h"
#include "publish/WebPage.h"
#include "swf/SWFReader.h"
#include "swf/SWFWriter.h"

namespace tarvenox {

namespace {

// The saved movie's bytes with its static texts changed (after the fonts, so that a text
// is laid out in its rebuilt font), in the uncompressed form when asked.
Result<Bytes> finished(Bytes saved, const std::vector<TextChange>& texts, const MovieChanges& changes) {
    if (texts.empty() && !changes.uncompressed) return saved;
    auto read = readSWF(saved, "the saved movie");
    if (!read) return failedWith(read.report().reason());
    if (Report changed = changeStaticTexts(*read, texts, wellFormed(changes.fonts)); changed.failed()) {
        return failedWith(text("save.nothingWritten", {changed.text()}));
    }
    if (changes.uncompressed) read->setCompression(SWFCompression::None);
    return serializeSWF(*read);
}

// Whether the variable's name is one of the changes' (the template's line in configs.txt
// gave the others).
bool given(const SWFType& variable, const std::vector<VariableChange>& changes) {
    return std::any_of(changes.begin(), changes.end(),
                       [&](const VariableChange& change) { return productText(change.first) == variable.getName(); });
}

// Each change gives a new value to every variable of that name that "configs.txt" declares
// for the template, which also fixes its type and its place in the movie's actions.
// Variables not named keep their configured values.
Report setTemplateVariables(EditSession& session, const std::vector<VariableChange>& changes,
                            const std::string& templateName) {
    for (const auto& [name, value] : changes) {
        const auto productName = productText(name);
        const auto productValue = productText(value);
        if (!productName || !productValue) {
            return failedWith("--var: " + text("variable.notWindows1252", {name + "=" + value}));
        }
        if (const Report report = session.setDeclaredVariable(*productName, *productValue); report.failed()) {
            return failedWith("--var: " + text("variable.templateDeclares", {templateName, report.text()}));
        }
    }
    // Refuses what cannot be written before anything is, naming where the value came
    // from: a change, or the template's line in configs.txt.
    for (const auto& variable : session.actionVariables()) {
        const Report report = checkWritable(*variable);
        if (!report.failed()) continue;
        return failedWith(given(*variable, changes)
                              ? "--var: " + report.text()
                              : "configs.txt: the template '" + templateName + "': " + report.text());
    }
    return {};
}

// Records the replacements of the template's fonts, pictures and sounds.
Report recordReplacements(EditSession& session, SWFFile& movie, const MovieChanges& changes) {
    auto fonts = checkedChanges(movie, ChangeKind::Font, changes.fonts);
    if (!fonts) return fonts.report();
    for (const auto& [fontName, face] : *fonts) session.replaceFont(fontName, face);
    auto fits = checkedFits(changes.pictures, changes.fits);
    if (!fits) return fits.report();
    auto pictures = checkedChanges(movie, ChangeKind::Picture, changes.pictures);
    if (!pictures) return pictures.report();
    for (const auto& [exportName, path] : *pictures) {
        if (const Report report = session.replacePicture(exportName, path); report.failed()) {
            return failedWith(text("save.nothingWritten",
                                   {"--image " + displayText(exportName) + "=" + path + ": " + report.text()}));
        }
    }
    for (const auto& [exportName, fit] : *fits) session.setPictureFit(exportName, fit);
    auto sounds = checkedChanges(movie, ChangeKind::Sound, changes.sounds);
    if (!sounds) return sounds.report();
    for (const auto& [exportName, path] : *sounds) session.replaceSound(exportName, path);
    return {};
}

}  // namespace

Report saveTemplate(EditSession& session, const MovieChanges& changes) {
    const std::string name = productText(changes.templateName).value_or("");
    if (name.empty()) return failedWith("--template: " + text("save.notTemplateName", {changes.templateName}));
    session.selectMovie(name);
    const std::string workingCopy = session.workingCopyPath();
    if (!std::filesystem::exists(workingCopy)) {
        return failedWith(text("save.noTemplate", {changes.templateName}));
    }
    auto movie = readSWF(workingCopy);
    if (!movie) return failedWith(text("save.nothingWritten", {movie.report().reason()}));
    if (Report recorded = recordReplacements(session, *movie, changes); recorded.failed()) return recorded;
    auto texts = checkedTextChanges(*movie, changes.texts);
    if (!texts) return texts.report();

    std::vector<VariableChange> variables = changes.variables;
    for (const auto& change : changes.optionalVariables) {
        const auto declared = productText(change.first);
        if (std::any_of(session.actionVariables().begin(), session.actionVariables().end(),
                        [&](const auto& variable) { return variable->getName() == declared; })) {
            variables.push_back(change);
        }
    }
    if (Report set = setTemplateVariables(session, variables, changes.templateName); set.failed()) {
        return set;
    }
    if (changes.background) session.setBackground(*changes.background);

    const Report report = session.save();
    if (report.failed()) return failedWith(text("save.nothingWritten", {report.text()}));
    auto saved = readFileBytes(session.workingCopyPath());
    if (!saved) return failedWith(saved.report().reason());
    Result<Bytes> bytes = finished(saved.take(), *texts, changes);
    if (!bytes) return bytes.report();
    if (Report written = writeOutput(changes.output, *bytes); written.failed()) return written;
    if (changes.html) {
        if (Report page = writeWebPage(changes.output); page.failed()) return page;
    }
    return report;
}

}  // namespace tarvenox
