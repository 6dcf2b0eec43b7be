// The editing of an installation's templates.
#include "edit/EditSession.h"

#include "common/FileIO.h"
#include "data/ProductNames.h"
#include "swf/MovieProbe.h"

namespace tarvenox {

namespace {

// The colour a player shows for a movie without a background colour.
constexpr std::int32_t defaultBackgroundColor = 0xFFFFFF;

}  // namespace

void EditSession::selectMovie(const std::string& name) {
    if (name == currentMovie) return;
    fontReplacements.clear();
    pictureReplacements.clear();
    soundReplacements.clear();
    currentMovie = name;
    movieBaseName = baseName(name);
    workspace->setTemplate("swf\\" + name);
    workspace->extractAll();
    buildActionVariables(*configTable, movieBaseName, actionVariables);
    variableTexts.clear();
    for (const auto& variable : actionVariables) variableTexts.push_back(variable->getValueText());
    std::int32_t color = probeBackgroundColor(workingCopyPath()).value_or(defaultBackgroundColor);
    savedBackgroundColor = color;
    currentBackgroundColor = color;
}

std::string EditSession::workingCopyPath() const { return workingFolder + diskName(movieBaseName) + ".swf"; }

const std::string& EditSession::variableText(std::size_t i) const {
    static const std::string none;
    if (i < variableTexts.size()) return variableTexts[i];
    return i < actionVariables.size() ? actionVariables[i]->getValueText() : none;
}

void EditSession::setVariableText(const std::string& name, const std::string& text) {
    if (variableTexts.size() < actionVariables.size()) variableTexts.resize(actionVariables.size());
    for (std::size_t i = 0; i < actionVariables.size(); ++i) {
        if (actionVariables[i]->getName() != name) continue;
        actionVariables[i]->setValue(text);
        variableTexts[i] = text;
        return;
    }
}

Report EditSession::copyResultTo(const std::string& destination) const {
    auto bytes = readFileBytes(workingCopyPath());
    if (!bytes) return bytes.report();
    return writeFileAtomically(destination, *bytes);
}

}  // namespace tarvenox
