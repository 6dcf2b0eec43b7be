// The templates of an installation and what each lets the user change.
#pragma once

#include <string>
#include <vector>

namespace tarvenox {

class EditSession;

struct TemplateVariable {
    std::string name;   // Windows-1252
    char type = 's';    // 's', 'b', 'd' or 'i'
    std::string value;  // the configured value, Windows-1252
};

// Names are product texts in Windows-1252.
struct TemplateEntry {
    std::string name;                   // as "selectMovie" takes it: the movie is "swf\" + name + ".swf"
    std::string title;                  // the selection list's text for it, blanks written as "+"; may be empty
    std::string list;                   // the selection list that offers it; empty when only "configs.txt" names it
    std::string error;                  // what is wrong with the movie when it cannot be read completely
    std::vector<std::string> fonts;     // DefineFont2 names, in file order
    std::vector<std::string> pictures;  // export names of bitmaps
    std::vector<std::string> sounds;    // export names of DefineSounds
    std::vector<TemplateVariable> variables;
};

// Every template the installation offers: each entry of the selection lists (in list
// order) whose name is that of a template movie found through the file store, then the
// stored template movies whose base name only "configs.txt" names. The movies are read
// through the file store, so templates in the product's archives are listed like those
// on disk.
std::vector<TemplateEntry> listTemplates(EditSession& app);

// The title the first selection list that offers the template gives it, "+" for a blank
// as written there; "" when no list offers it. Reads no movie.
std::string templateTitle(const EditSession& app, const std::string& name);

}  // namespace tarvenox
