// The window system of the interactive program as a local web page.
#include "ui/web/WebWindowSystem.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "common/Cp1252.h"
#include "common/FileIO.h"
#include "common/Log.h"
#include "ui/OpticalMedia.h"
#include "ui/ProgramRun.h"
#include "ui/web/BridgeSprite.h"
#include "ui/web/FolderListing.h"

namespace tarvenox::web {
namespace {

// How often nextEvent looks whether the page has been gone too long; a page's event or
// requestEnd wakes it sooner.
constexpr auto pollInterval = std::chrono::milliseconds(100);

// Where the file dialogs start when the page names no folder.
std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir) {
        return found->pw_dir;
    }
    return "/";
}

// The movie at path with the bridge clip polling pollUrl; nullopt, with the reason logged,
// when it cannot have one (it is played as it is).
std::optional<Bytes> bridgedCopy(const std::string& path, const std::string& pollUrl, BridgeReads reads,
                                 const char* bridge) {
    Result<Bytes> read = readFileBytes(path);
    if (!read) {
        logPrint("%s bridge: %s\n", bridge, read.report().reason().c_str());
        return std::nullopt;
    }
    Result<Bytes> copy = addBridgeSprite(*read, path, pollUrl, reads);
    if (!copy) {
        logPrint("%s bridge: %s\n", bridge, copy.report().reason().c_str());
        return std::nullopt;
    }
    return copy.take();
}

}  // namespace

WebWindowSystem::WebWindowSystem(PageChannel& channel, WorkingFolderUrls urls, WebWindowOptions options)
    : channel_(channel), urls_(std::move(urls)), options_(std::move(options)) {
    channel_.setResponder("listFolder",
                          [home = homeFolder()](const Message& request) { return listFolder(request, home); });
    // Where the built-in skin's thumbnails play from.
    channel_.setResponder("templateOrigin",
                          [address = urls_.templateAddress()](const Message&) { return Message(address); });
    // The interface movie's answers to reads come while the host thread waits for them,
    // and are no commands of the movie's: they go to the skin bridge, never to the dialogs.
    if (SkinBridge* skin = options_.skinBridge) {
        channel_.setEventTaker([skin](const Message& event) {
            const Message* command = event.contains("command") ? &event["command"] : nullptr;
            if (event["type"] != "fsCommand" || !command || *command != bridgeAnswerCommand) return false;
            if (event.contains("args") && event["args"].is_string()) skin->answer(event["args"].get<std::string>());
            return true;
        });
    }
}

void WebWindowSystem::requestEnd() { channel_.shutDown(); }

bool WebWindowSystem::waitForFirstPage(std::optional<PageChannel::Clock::duration> limit) {
    if (!channel_.waitForPage(limit)) return false;
    bringUpToDate();
    return true;
}

UiEvent WebWindowSystem::nextEvent() { return nextEventBefore(std::nullopt); }

UiEvent WebWindowSystem::nextEventUntil(std::chrono::steady_clock::time_point until) { return nextEventBefore(until); }

UiEvent WebWindowSystem::nextEventBefore(std::optional<std::chrono::steady_clock::time_point> until) {
    while (!channel_.isShutDown() && channel_.pageAbsentFor() < options_.pageGoneLimit) {
        auto wait = std::chrono::duration_cast<PageChannel::Clock::duration>(pollInterval);
        if (until) {
            const auto left = *until - std::chrono::steady_clock::now();
            if (left <= left.zero()) {
                UiEvent idle;
                idle.kind = UiEvent::Kind::idle;
                return idle;
            }
            wait = std::min(wait, std::chrono::duration_cast<PageChannel::Clock::duration>(left));
        }
        std::optional<Message> event = channel_.nextEvent(wait);
        if (!event) continue;
        if ((*event)["type"] == PageChannel::pageConnected) {
            bringUpToDate();
        } else if (std::optional<UiEvent> ui = uiEventOf(*event)) {
            return *ui;
        }
        // pageGone needs nothing: the page-gone limit counts from it. Malformed events
        // and unknown ones are dropped.
    }
    UiEvent end;
    end.kind = UiEvent::Kind::end;
    return end;
}

void WebWindowSystem::bringUpToDate() {
    // Another page may connect while this one is being brought up to date: it then has
    // a higher number, and its own pageConnected brings it up to date in turn.
    std::uint64_t page = channel_.currentPage();
    if (page == 0 || page == upToDate_) return;
    upToDate_ = page;
    for (const Message& event :
         mirror_.replay([this](Player player, const std::string&path) { return movieEvent(player, path); })) {
        channel_.send(event);
    }
}

Answer WebWindowSystem::callAcrossReloads(const Message& request) {
    while (true) {
        std::uint64_t asked = channel_.currentPage();
        if (Answer answer = channel_.call(request)) return answer;
        // A page newer than the one asked: the one that replaced it, or the next to come.
        if (!channel_.waitForPage(options_.pageGoneLimit, asked)) return std::nullopt;
        bringUpToDate();
    }
}

void WebWindowSystem::tell(const Message& event) {
    mirror_.remember(event);
    channel_.send(event);
}

void WebWindowSystem::tellPlayer(std::string_view type, Player player, Message fields) {
    fields["type"] = type;
    fields["player"] = playerName(player);
    tell(fields);
}

Message WebWindowSystem::movieEvent(Player player, const std::string& path) {
    std::string url;
    std::error_code error;
    // Templates come from anywhere: they play from the templates' server, which holds
    // nothing of the page's.
    const MovieOrigin origin =
        player == Player::viewer || player == Player::fullscreenMovie ? MovieOrigin::templates : MovieOrigin::page;
    if (!path.empty() && std::filesystem::is_regular_file(path, error)) url = urls_.toUrl(path, origin).value_or("");
    return {{"type", "movie"}, {"player", playerName(player)}, {"url", url}};
}

// -- the window --

ScreenSize WebWindowSystem::screenSize() { return screenSizeAnswer(callAcrossReloads(screenSizeRequest())); }

void WebWindowSystem::setTitle(const std::string& text) { tell({{"type", "title"}, {"text", text}}); }

void WebWindowSystem::minimize() { channel_.send({{"type", "minimize"}}); }

void WebWindowSystem::openHelp() { channel_.send({{"type", "openHelp"}, {"url", options_.helpUrl}}); }

void WebWindowSystem::quit() { channel_.send({{"type", "quit"}}); }

// -- players --

bool WebWindowSystem::bridged(Player player) const {
    return player == Player::skin && options_.skinBridge && options_.skinBridge->active();
}

void WebWindowSystem::bridgeSkin(const std::string& path) {
    SkinBridge& skin = *options_.skinBridge;
    if (std::filesystem::path(path).filename() != "skin.swf") {
        skin.unload();
        return;
    }
    std::optional<Bytes> movie = bridgedCopy(path, options_.skinPollUrl, BridgeReads::answered, "skin");
    if (!movie) {
        // Played as it is: the page keeps its variables, as for any other movie.
        skin.unload();
        return;
    }
    skin.load(path, std::move(*movie));
}

void WebWindowSystem::bridgePreview(const std::string& path) {
    PreviewBridge& preview = *options_.previewBridge;
    std::error_code error;
    // "" only unloads on the way to the next movie: the one on screen keeps its polls.
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) {
        preview.unload();
        return;
    }
    preview.load(path, [&](std::uint64_t number) {
        return bridgedCopy(path, options_.previewPollPrefix + std::to_string(number), BridgeReads::none, "preview");
    });
}

void WebWindowSystem::loadMovie(Player player, const std::string& path) {
    if (player == Player::skin && options_.skinBridge) bridgeSkin(path);
    if (player == Player::viewer && options_.previewBridge) bridgePreview(path);
    mirror_.rememberMovie(player, path);
    channel_.send(movieEvent(player, path));
}

void WebWindowSystem::setBackgroundColor(Player player, Rgb color) {
    tellPlayer("backgroundColor", player, {{"color", color}});
}

void WebWindowSystem::setScale(Player player, const std::string& mode) {
    tellPlayer("scale", player, {{"mode", mode}});
}

void WebWindowSystem::setVariable(Player player, const std::string& name, const std::string& value) {
    if (bridged(player)) {
        options_.skinBridge->setVariable(cp1252ToUtf8(name), cp1252ToUtf8(value));
        return;
    }
    // The page's player has no way to set a template's variable but the bridge. Ruffle
    // takes the polls' texts as UTF-8 whatever the movie's version; a movie of version 5
    // holds the same characters as Windows-1252 bytes.
    if (player == Player::viewer && options_.previewBridge) {
        options_.previewBridge->setVariable(cp1252ToUtf8(name), cp1252ToUtf8(value));
        return;
    }
    tellPlayer("setVariable", player, {{"name", cp1252ToUtf8(name)}, {"value", cp1252ToUtf8(value)}});
}

void WebWindowSystem::keepVariable(Player player, const std::string& name, const std::string& value) {
    if (bridged(player)) {
        options_.skinBridge->keepVariable(cp1252ToUtf8(name), cp1252ToUtf8(value));
        return;
    }
    mirror_.keepVariable({{"type", "setVariable"},
                          {"player", playerName(player)},
                          {"name", cp1252ToUtf8(name)},
                          {"value", cp1252ToUtf8(value)}});
}

std::optional<std::string> WebWindowSystem::getVariable(Player player, const std::string& name) {
    if (bridged(player)) return getVariables(player, {name}).front();
    return getVariableAnswer(channel_.call(getVariableRequest(player, name)));
}

std::vector<std::optional<std::string>> WebWindowSystem::getVariables(Player player,
                                                                      const std::vector<std::string>& names) {
    if (!bridged(player)) return getVariablesAnswer(channel_.call(getVariablesRequest(player, names)), names.size());
    std::vector<std::string> asked;
    for (const std::string& name : names) asked.push_back(cp1252ToUtf8(name));
    std::vector<std::optional<std::string>> values = options_.skinBridge->getVariables(asked);
    for (auto& value : values) {
        if (value) value = utf8ToCp1252(*value);
    }
    return values;
}

std::int32_t WebWindowSystem::flashVersion(Player player) {
    return flashVersionAnswer(callAcrossReloads(flashVersionRequest(player)));
}

void WebWindowSystem::placePlayer(Player player, const PixelRect& rect, PlayerShape shape) {
    Message place{{"left", rect.left}, {"top", rect.top}, {"width", rect.width()}, {"height", rect.height()}};
    if (shape == PlayerShape::ellipse) place["shape"] = "ellipse";
    tellPlayer("place", player, std::move(place));
}

void WebWindowSystem::showPlayer(Player player) { tellPlayer("show", player); }

void WebWindowSystem::hidePlayer(Player player) { tellPlayer("hide", player); }

void WebWindowSystem::openFullscreen(Rgb background) { tell({{"type", "openFullscreen"}, {"background", background}}); }

void WebWindowSystem::closeFullscreen() { tell({{"type", "closeFullscreen"}}); }

// -- dialogs --

MessageAnswer WebWindowSystem::messageBox(const std::string& caption, const std::string& text, MessageIcon icon,
                                          MessageButtons buttons) {
    return messageBoxAnswer(channel_.call(messageBoxRequest(caption, text, icon, buttons)));
}

std::optional<Rgb> WebWindowSystem::chooseColor(std::optional<Rgb> initial, CustomColors& customColors) {
    return chooseColorAnswer(channel_.call(chooseColorRequest(initial, customColors)), customColors);
}

std::optional<FontChoice> WebWindowSystem::chooseFont(const std::vector<std::string>& faces, int pointSize) {
    return chooseFontAnswer(channel_.call(chooseFontRequest(faces, pointSize)));
}

std::optional<std::string> WebWindowSystem::openFile(const std::string& title, const std::vector<FileFilter>& filters) {
    return chosenPathAnswer(channel_.call(openFileRequest(title, filters)));
}

std::optional<std::string> WebWindowSystem::saveFile(const std::string& title, const std::vector<FileFilter>& filters,
                                                     const std::string& defaultExtension, bool overwritePrompt,
                                                     const std::string& name) {
    return chosenPathAnswer(channel_.call(saveFileRequest(title, filters, defaultExtension, overwritePrompt, name)));
}

// -- the editor --

void WebWindowSystem::showEditorState(const EditorState& state) { tell(editorEvent(state, ++editorEvents_)); }

// -- programs --

std::vector<std::string> WebWindowSystem::opticalMedia() { return mountedOpticalMedia(); }

void WebWindowSystem::runProgram(const std::string& path) { runProgramAndWait(path); }

}  // namespace tarvenox::web
