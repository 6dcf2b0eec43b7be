// The file name the save dialog proposes for a template's result.
#pragma once

#include <string>

namespace tarvenox {

// title (Windows-1252, blanks possibly written as "+") as a UTF-8 file name with the
// extension: blanks for "+", "_" for each character a file name cannot hold on Linux or
// Windows (/ \ : * ? " < > | and control characters), no leading or trailing blanks or
// dots; "movie" when nothing is left.
std::string proposedFileName(const std::string& title, const std::string& extension);

// The path proposed for the result of an opened movie (UTF-8): "NAME-edited.swf" beside
// it, NAME its file name without the extension; absolute, so that the dialog starts in
// the movie's folder and never proposes the movie itself.
std::string editedMoviePath(const std::string& moviePath);

}  // namespace tarvenox
