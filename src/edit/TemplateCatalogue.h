// The templates of an installation and what each lets the user change.
#pragma once

#include <string>
#include <vector>

#include "edit/MovieContents.h"

namespace tarvenox {

class EditSession;

// Names are product texts in Windows-1252. What the movie lets one change is described
// as for any movie (describeChangeable), with the variables that "configs.txt" declares
// for the template in place of those the movie assigns.
struct TemplateEntry : MovieContents {
    std::string name;   // as "selectMovie" takes it: the movie is "swf\" + name + ".swf"
    std::string title;  // the selection list's text for it, blanks written as "+"; may be empty
    std::string list;   // the selection list that offers it; empty when only "configs.txt" names it
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
