// What the editor shows after a command of the interface movie: the chosen template, its
// replacements, whether it has unsaved edits, what undo and redo can do, and how the
// command ended. The window system passes it on to whoever draws the editor.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace tarvenox {

// A replacement as the editor shows it: the chosen file's name (the last part of its
// path), the name of its copy in the working folder and, for a picture, its fit
// ("cover", "contain" or "stretch"; "" for a sound).
struct ChosenFile {
    std::string file;
    std::string preview;
    std::string fit;
    bool operator==(const ChosenFile&) const = default;
};

enum class CommandOutcome {
    done,
    failed,     // a message box has told why
    cancelled,  // a dialog was cancelled: nothing changed
    unchanged,  // there was nothing to do
};

struct CommandResult {
    std::string command;  // the interface movie's command, as sent (Windows-1252)
    std::string args;     // its argument (Windows-1252)
    CommandOutcome outcome = CommandOutcome::done;
    std::string saved;  // the file a save wrote (UTF-8); "" for any other command
};

// Template names, titles and the names of fonts, pictures and sounds are Windows-1252;
// faces, files and previews UTF-8.
struct EditorState {
    std::string templateName;  // "" before a template is chosen
    std::string title;
    std::map<std::string, std::string> fonts;  // the template's font name: the face
    std::map<std::string, ChosenFile> pictures;
    std::map<std::string, ChosenFile> sounds;
    // The template's own pictures by name: a small PNG of each in the working folder.
    std::map<std::string, std::string> ownPictures;
    bool unsaved = false;
    bool canUndo = false;
    bool canRedo = false;
    std::optional<CommandResult> last;
};

}  // namespace tarvenox
