// The changes a save makes to a template, typed: what the command line's options and the
// cells of a data sheet both become.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvenox {

// One replacement as the user gave it, in UTF-8: the font's name and the installed face,
// or the export name of a picture or sound and its file's path.
struct SlotChange {
    std::string slot;
    std::string value;
    bool operator==(const SlotChange&) const = default;
};

// A variable's new value, name and text in UTF-8.
using VariableChange = std::pair<std::string, std::string>;

struct MovieChanges {
    std::string templateName;
    std::string installation;  // the installation folder; empty for the current directory
    std::string output;        // the movie's file, or "-" for standard output
    std::optional<std::int32_t> background;
    // In the order given; a slot given twice takes the last value.
    std::vector<SlotChange> fonts;
    std::vector<SlotChange> pictures;
    // How pictures fill their slots: the name as a picture change gives it, and "cover",
    // "contain" or "stretch" (checkedFits checks them).
    std::vector<SlotChange> fits;
    std::vector<SlotChange> sounds;
    // Static texts: the character id as given and the new string, '\n' starting a line.
    std::vector<SlotChange> texts;
    std::vector<VariableChange> variables;
    // Variables set only where the template declares them (a sheet's column that also
    // names the output).
    std::vector<VariableChange> optionalVariables;
    bool uncompressed = false;
    bool html = false;  // a web page beside the movie (writeWebPage)
};

}  // namespace tarvenox
