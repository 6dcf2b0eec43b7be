// Whether a movie can take a change before anything is changed: the check a front end
// runs on the user's choices, so that a save that would fail is refused before it
// starts and nothing is written.
#pragma once

#include <string>

#include "common/Report.h"

namespace tarvenox {

class Conversions;
class SWFFile;

enum class ChangeKind { Font, Picture, Sound };

// Whether the movie has what the change names: a font (by the movie's font name, else by
// character id) or a picture or sound (by export name, else by character id), and for a
// picture a file of a kind it can take (.png, .jpg, .jpeg). A refusal's reason, in English
// for a command line, says that the user's name is wrong, or, for a name read as a
// character id, what that character is. name is a product text; value the installed face
// (UTF-8) or the file (a UTF-8 path).
Report checkChangeName(SWFFile& movie, ChangeKind kind, const std::string& name, const std::string& value);

// Whether the file or face can be used: a picture is a PNG or JPEG file that players can
// show, an MP3 file holds a stream, and a font can be made at all. A refusal's reason says
// that the user's file or face is wrong. The verdict of the conversions, when given and
// holding the pair, saves reading the file a second time.
Report checkChangeValue(ChangeKind kind, const std::string& name, const std::string& value,
                        Conversions* conversions = nullptr);

}  // namespace tarvenox
