// Whether a movie can take a change before anything is changed: the check a front end
// runs on the user's choices, so that a save that would fail is refused before it
// starts and nothing is written.
#pragma once

#include <optional>
#include <string>

namespace tarvenox {

class Conversions;
class SWFFile;

enum class ChangeKind { Font, Picture, Sound };

// Why a change cannot be made, in English for a command line.
struct ChangeProblem {
    // True when the movie has nothing of that name (the user's name is wrong); false when
    // the file or face is (the user's file is wrong).
    bool unknownName = false;
    std::string reason;
};

// name is the movie's font name or export name (a product text); value the installed
// face (UTF-8) or the file (a UTF-8 path). nullopt when the movie can take the change:
// it has a font or an exported picture or sound of that name, a picture is a PNG or JPEG
// file that players can show, an MP3 file holds a stream, and a font can be made at all.
// The verdict of the conversions, when given and holding the pair, saves reading the file
// a second time.
std::optional<ChangeProblem> changeProblem(SWFFile& movie, ChangeKind kind, const std::string& name,
                                           const std::string& value, Conversions* conversions = nullptr);

}  // namespace tarvenox
