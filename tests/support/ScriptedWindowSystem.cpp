// A window system for tests.
#include "support/ScriptedWindowSystem.h"

namespace tarvenox::test {

namespace {

std::string name(Player player) { return std::string(playerName(player)); }

const char* iconName(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::none: return "none";
        case MessageIcon::error: return "error";
        case MessageIcon::warning: return "warning";
        case MessageIcon::information: return "information";
        case MessageIcon::question: return "question";
    }
    return "?";
}

const char* buttonsName(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::ok: return "ok";
        case MessageButtons::okCancel: return "okCancel";
        case MessageButtons::yesNo: return "yesNo";
        case MessageButtons::yesNoCancel: return "yesNoCancel";
        case MessageButtons::retryCancel: return "retryCancel";
    }
    return "?";
}

std::string filterText(const std::vector<FileFilter>& filters) {
    std::string text;
    for (const FileFilter& filter : filters) {
        text += " [" + filter.description + ":";
        for (const std::string& pattern : filter.patterns) text += " " + pattern;
        text += "]";
    }
    return text;
}

template <typename T>
T take(std::deque<T>& queue, T otherwise) {
    if (queue.empty()) return otherwise;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

}  // namespace

std::vector<std::string> ScriptedWindowSystem::callsOf(std::initializer_list<std::string> kinds) const {
    std::vector<std::string> found;
    for (const std::string& line : calls) {
        std::string first = line.substr(0, line.find(' '));
        for (const std::string& kind : kinds) {
            if (first == kind) found.push_back(line);
        }
    }
    return found;
}

UiEvent ScriptedWindowSystem::command(std::string command, std::string args, Player player) {
    UiEvent event;
    event.kind = UiEvent::Kind::fsCommand;
    event.player = player;
    event.command = std::move(command);
    event.args = std::move(args);
    return event;
}

UiEvent ScriptedWindowSystem::nextEvent() {
    UiEvent event = take(events, UiEvent{});
    if (onEvent) onEvent(event);
    return event;
}

UiEvent ScriptedWindowSystem::nextEventUntil(std::chrono::steady_clock::time_point) {
    if (!events.empty()) return nextEvent();
    UiEvent idle;
    idle.kind = UiEvent::Kind::idle;
    return idle;
}

ScreenSize ScriptedWindowSystem::screenSize() { return screen; }
void ScriptedWindowSystem::setTitle(const std::string& text) { record("title " + text); }
void ScriptedWindowSystem::minimize() { record("minimize"); }
void ScriptedWindowSystem::openHelp() { record("openHelp"); }
void ScriptedWindowSystem::quit() { record("quit"); }

void ScriptedWindowSystem::loadMovie(Player player, const std::string& path) {
    record("movie " + name(player) + " " + path);
}

void ScriptedWindowSystem::setBackgroundColor(Player player, Rgb color) {
    record("backgroundColor " + name(player) + " " + std::to_string(color));
}

void ScriptedWindowSystem::setScale(Player player, const std::string& mode) {
    record("scale " + name(player) + " " + mode);
}

void ScriptedWindowSystem::setVariable(Player player, const std::string& variable, const std::string& value) {
    record("setVariable " + name(player) + " " + variable + "=" + value);
    // The interface movie's variables; the preview's are another movie's.
    if (player == Player::skin) variables[variable] = value;
}

std::optional<std::string> ScriptedWindowSystem::getVariable(Player player, const std::string& variable) {
    record("getVariable " + name(player) + " " + variable);
    auto found = variables.find(variable);
    if (found == variables.end()) return std::nullopt;
    return found->second;
}

std::int32_t ScriptedWindowSystem::flashVersion(Player player) {
    record("flashVersion " + name(player));
    return version;
}

void ScriptedWindowSystem::placePlayer(Player player, const PixelRect& r, PlayerShape shape) {
    record("place " + name(player) + " " + std::to_string(r.left) + "," + std::to_string(r.top) + "-" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) +
           (shape == PlayerShape::ellipse ? " ellipse" : ""));
}

void ScriptedWindowSystem::showPlayer(Player player) { record("show " + name(player)); }
void ScriptedWindowSystem::hidePlayer(Player player) { record("hide " + name(player)); }

void ScriptedWindowSystem::openFullscreen(Rgb background) { record("openFullscreen " + std::to_string(background)); }

void ScriptedWindowSystem::closeFullscreen() { record("closeFullscreen"); }

MessageAnswer ScriptedWindowSystem::messageBox(const std::string& caption, const std::string& text, MessageIcon icon,
                                               MessageButtons buttons) {
    record("messageBox " + std::string(iconName(icon)) + " " + buttonsName(buttons) + " " + caption + ": " + text);
    return take(messageAnswers, MessageAnswer::ok);
}

std::optional<Rgb> ScriptedWindowSystem::chooseColor(std::optional<Rgb> initial, CustomColors& customColors) {
    record("chooseColor" + (initial ? " " + std::to_string(*initial) : std::string()));
    if (editCustomColors) editCustomColors(customColors);
    return take(colors, std::optional<Rgb>());
}

std::optional<FontChoice> ScriptedWindowSystem::chooseFont(const std::vector<std::string>& faces, int pointSize) {
    record("chooseFont " + std::to_string(faces.size() > 0) + " " + std::to_string(pointSize));
    return take(fonts, std::optional<FontChoice>());
}

std::optional<std::string> ScriptedWindowSystem::nextFile(const std::string& line) {
    record(line);
    return take(files, std::optional<std::string>());
}

std::optional<std::string> ScriptedWindowSystem::openFile(const std::string& title,
                                                          const std::vector<FileFilter>& filters) {
    return nextFile("openFile " + title + filterText(filters));
}

std::optional<std::string> ScriptedWindowSystem::saveFile(const std::string& title,
                                                          const std::vector<FileFilter>& filters,
                                                          const std::string& defaultExtension, bool overwritePrompt,
                                                          const std::string& name) {
    return nextFile("saveFile " + title + filterText(filters) + " ." + defaultExtension +
                    (overwritePrompt ? " ask" : "") + (name.empty() ? "" : " name=" + name));
}

void ScriptedWindowSystem::keepVariable(Player player, const std::string& name, const std::string& value) {
    kept[std::string(playerName(player)) + " " + name] = value;
}

void ScriptedWindowSystem::showEditorState(const EditorState& state) { editorStates.push_back(state); }

std::vector<std::string> ScriptedWindowSystem::opticalMedia() {
    record("opticalMedia");
    return media;
}

void ScriptedWindowSystem::runProgram(const std::string& path) { record("runProgram " + path); }

}  // namespace tarvenox::test
