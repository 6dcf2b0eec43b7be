// What the window system gives the interactive program: the screen, the players that
// show movies, the common dialogs, message boxes, help, minimising, optical media and
// starting programs, and the events of the user.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/EditorState.h"

namespace tarvenox {

// The players of the program's windows: the main dialog's interface movie and preview,
// and the fullscreen viewer's movie and close button.
enum class Player { skin, viewer, fullscreenMovie, fullscreenButton };

std::string_view playerName(Player player);
std::optional<Player> playerNamed(std::string_view name);

struct ScreenSize {
    int width = 0;
    int height = 0;
    bool operator==(const ScreenSize&) const = default;
};

// A window's rectangle in screen pixels; right and bottom are exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

enum class PlayerShape { rectangle, ellipse };

enum class MessageIcon { none, error, warning, information, question };
enum class MessageButtons { ok, okCancel, yesNo, yesNoCancel, retryCancel };
enum class MessageAnswer { ok, cancel, yes, no, retry };

// A filter of the open and save dialogs: "Bilddateien (.png; .jpg; .jpeg)" with the
// patterns "*.png", "*.jpg", "*.jpeg".
struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;
    bool operator==(const FileFilter&) const = default;
};

// The font dialog's answer. The weight is 700 for bold, 400 otherwise.
struct FontChoice {
    std::string face;  // UTF-8
    int weight = 400;
    bool italic = false;
    int pointTenths = 100;
};

// Colours are 0xRRGGBB.
using Rgb = std::int32_t;
using CustomColors = std::array<Rgb, 16>;

// What the user did. Commands, arguments and variables are Windows-1252, as the movies
// and the installation's texts are; paths and face names are UTF-8.
struct UiEvent {
    enum class Kind {
        fsCommand,  // a movie ran an FSCommand: player, command, args
        escape,     // Escape outside a dialog: fullscreen tells which window had it
        end,        // the program must end: its page has gone for good, or a signal came
        idle,       // nothing happened before the time nextEventUntil was given
    };
    Kind kind = Kind::end;
    Player player = Player::skin;
    std::string command;
    std::string args;
    bool fullscreen = false;
};

// Every call runs on the program's one thread. Calls that ask the user (dialogs, message
// boxes) and reads of a player block until the answer comes; a window that goes away
// meanwhile answers as a cancelled dialog, no value, size 0 x 0, version 0. (screenSize and
// flashVersion, which the program's start needs, may first wait for the window to come
// back.) Titles, captions and message texts are UTF-8.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // The next event of the user; blocks until there is one.
    virtual UiEvent nextEvent() = 0;
    // The next event of the user, or idle once until has passed without one.
    virtual UiEvent nextEventUntil(std::chrono::steady_clock::time_point until) = 0;

    // 0 x 0 when the window could not tell.
    virtual ScreenSize screenSize() = 0;
    virtual void setTitle(const std::string& text) = 0;
    virtual void minimize() = 0;
    // Help on the interactive program.
    virtual void openHelp() = 0;
    // The program ends: the windows close.
    virtual void quit() = 0;

    // -- players --
    // Loads and plays a movie file; "" unloads the player, and loading a path again
    // loads the file anew.
    virtual void loadMovie(Player player, const std::string& path) = 0;
    virtual void setBackgroundColor(Player player, Rgb color) = 0;
    // "ExactFit", "NoBorder" or "ShowAll".
    virtual void setScale(Player player, const std::string& mode) = 0;
    virtual void setVariable(Player player, const std::string& name, const std::string& value) = 0;
    // nullopt when the player could not be asked (its window went away).
    virtual std::optional<std::string> getVariable(Player player, const std::string& name) = 0;
    // The same for several names at once, in their order: a player that is asked in
    // rounds answers them all in one. Asks one by one unless the window system knows better.
    virtual std::vector<std::optional<std::string>> getVariables(Player player, const std::vector<std::string>& names);
    // Takes note that the player's variable now holds the value (the user typed it there)
    // without setting it: a player that starts anew gets it as if it had been set.
    // Nothing unless the window system keeps variables for such a start.
    virtual void keepVariable(Player player, const std::string& name, const std::string& value);
    // The major version in the high 16 bits; 0 when the player cannot play.
    virtual std::int32_t flashVersion(Player player) = 0;
    virtual void placePlayer(Player player, const PixelRect& rect, PlayerShape shape) = 0;
    // Shows the player and brings it to the front.
    virtual void showPlayer(Player player) = 0;
    virtual void hidePlayer(Player player) = 0;

    // The fullscreen viewer's window over everything, in the background colour; its two
    // players are then placed and loaded like the others. Closing it unloads them.
    virtual void openFullscreen(Rgb background) = 0;
    virtual void closeFullscreen() = 0;

    // -- dialogs --
    virtual MessageAnswer messageBox(const std::string& caption, const std::string& text, MessageIcon icon,
                                     MessageButtons buttons) = 0;
    // The colour chosen, nullopt when cancelled. The custom colours come back as the
    // user left them, whether the dialog was confirmed or not.
    virtual std::optional<Rgb> chooseColor(std::optional<Rgb> initial, CustomColors& customColors) = 0;
    // The faces offered and the one point size allowed.
    virtual std::optional<FontChoice> chooseFont(const std::vector<std::string>& faces, int pointSize) = 0;
    virtual std::optional<std::string> openFile(const std::string& title, const std::vector<FileFilter>& filters) = 0;
    // The dialog starts with name (UTF-8, may be ""). A chosen name without an extension
    // gets "." + defaultExtension; with overwritePrompt an existing file is only taken
    // when the user agrees to replace it.
    virtual std::optional<std::string> saveFile(const std::string& title, const std::vector<FileFilter>& filters,
                                                const std::string& defaultExtension, bool overwritePrompt,
                                                const std::string& name) = 0;

    // -- the editor --
    // The editor's state after a command, or after nothing has changed; nothing unless
    // the window system draws an editor of its own.
    virtual void showEditorState(const EditorState& state);

    // -- programs --
    // The root folders of the mounted optical media (CDs, DVDs), in mount order.
    virtual std::vector<std::string> opticalMedia() = 0;
    // Runs the program file (no shell, no arguments) and waits until it ends.
    virtual void runProgram(const std::string& path) = 0;
};

}  // namespace tarvenox
