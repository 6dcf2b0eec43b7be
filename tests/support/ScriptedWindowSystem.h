// A window system for tests: every call is written down as one line, and what the user
// would answer comes from queues the test fills beforehand.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/WindowSystem.h"

namespace tarvenox::test {

class ScriptedWindowSystem : public WindowSystem {
public:
    // What happened, one line a call, for example "setVariable skin _root.editLoaded=1",
    // "place viewer 512,271-897,614", "messageBox information: Programm nicht gefunden.".
    std::vector<std::string> calls;
    // The lines of calls whose first word is one of the given ones.
    std::vector<std::string> callsOf(std::initializer_list<std::string> kinds) const;

    // -- the answers --
    ScreenSize screen{1024, 768};
    std::int32_t version = 32 << 16;
    // The movie's variables: what setVariable set and getVariable reads (a name missing
    // here reads as nullopt, as from a player that could not be asked).
    std::map<std::string, std::string> variables;
    std::deque<UiEvent> events;                // when empty, nextEvent answers end
    std::deque<MessageAnswer> messageAnswers;  // when empty, ok
    std::deque<std::optional<Rgb>> colors;
    // Run on the custom colours while the colour dialog is open.
    std::function<void(CustomColors&)> editCustomColors;
    std::deque<std::optional<FontChoice>> fonts;
    std::deque<std::optional<std::string>> files;  // for open and save dialogs alike
    std::vector<std::string> media;
    // Run when an event is taken, before it is answered (a test's look at the state
    // between two commands).
    std::function<void(const UiEvent&)> onEvent;

    // -- what was passed on without a line in calls --
    // keepVariable's values by "PLAYER NAME".
    std::map<std::string, std::string> kept;
    // Every editor state shown, in order.
    std::vector<EditorState> editorStates;

    static UiEvent command(std::string command, std::string args = "", Player player = Player::skin);

    UiEvent nextEvent() override;
    // The script runs faster than any pause: the next scripted event, else idle (once the
    // script has run out, what waits for a pause happens before the end).
    UiEvent nextEventUntil(std::chrono::steady_clock::time_point until) override;
    ScreenSize screenSize() override;
    void setTitle(const std::string& text) override;
    void minimize() override;
    void openHelp() override;
    void quit() override;
    void loadMovie(Player player, const std::string& path) override;
    void setBackgroundColor(Player player, Rgb color) override;
    void setScale(Player player, const std::string& mode) override;
    void setVariable(Player player, const std::string& name, const std::string& value) override;
    std::optional<std::string> getVariable(Player player, const std::string& name) override;
    std::int32_t flashVersion(Player player) override;
    void placePlayer(Player player, const PixelRect& rect, PlayerShape shape) override;
    void showPlayer(Player player) override;
    void hidePlayer(Player player) override;
    void openFullscreen(Rgb background) override;
    void closeFullscreen() override;
    MessageAnswer messageBox(const std::string& caption, const std::string& text, MessageIcon icon,
                             MessageButtons buttons) override;
    std::optional<Rgb> chooseColor(std::optional<Rgb> initial, CustomColors& customColors) override;
    std::optional<FontChoice> chooseFont(const std::vector<std::string>& faces, int pointSize) override;
    std::optional<std::string> openFile(const std::string& title, const std::vector<FileFilter>& filters) override;
    std::optional<std::string> saveFile(const std::string& title, const std::vector<FileFilter>& filters,
                                        const std::string& defaultExtension, bool overwritePrompt,
                                        const std::string& name) override;
    void keepVariable(Player player, const std::string& name, const std::string& value) override;
    void showEditorState(const EditorState& state) override;
    std::vector<std::string> opticalMedia() override;
    void runProgram(const std::string& path) override;

private:
    void record(std::string line) { calls.push_back(std::move(line)); }
    std::optional<std::string> nextFile(const std::string& line);
};

}  // namespace tarvenox::test
