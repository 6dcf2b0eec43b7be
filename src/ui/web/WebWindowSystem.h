// The window system of the interactive program as a local web page: every window, player
// and dialog is the page's, and the host talks to it through the page channel.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "ui/WindowSystem.h"
#include "ui/web/PageChannel.h"
#include "ui/web/PageMessages.h"
#include "ui/web/PageMirror.h"
#include "ui/web/PreviewBridge.h"
#include "ui/web/SkinBridge.h"
#include "ui/web/WorkingFolderUrls.h"

namespace tarvenox::web {

struct WebWindowOptions {
    // How long the program goes on without a page (closed, or never opened) before it
    // ends: long enough for a reload or a restarted browser.
    PageChannel::Clock::duration pageGoneLimit = std::chrono::seconds(30);
    // The address of the help (PageServer::helpUrl); "" when the installation has none.
    std::string helpUrl{};
    // The bridge to the interface movie "skin.swf", served by the page server, and the
    // address its clip polls (PageServer::skinPollUrl); none: the page keeps the
    // variables of every movie itself.
    SkinBridge* skinBridge = nullptr;
    std::string skinPollUrl{};
    // The bridge to the template movies of the preview, served by the templates' server,
    // and the address their clips poll, the movie's number appended
    // (PageServer::previewPollPrefix); none: the preview's variables are not set.
    PreviewBridge* previewBridge = nullptr;
    std::string previewPollPrefix{};
};

// Keeps what it told the page (PageMirror) and tells a page that connects anew all of it
// again. A call that asks the page is cancelled when the page goes; screenSize and
// flashVersion, which the program's start depends on, wait for a page to come back and
// ask again.
class WebWindowSystem : public WindowSystem {
public:
    // Answers the page's folder listings (the file dialogs' browsing) and its question for
    // the templates' server on the channel.
    WebWindowSystem(PageChannel& channel, WorkingFolderUrls urls, WebWindowOptions options = {});

    // Any thread (a signal watcher; not a signal handler itself): the program is to end.
    // A call waiting for the page returns cancelled at once, and nextEvent returns end.
    void requestEnd();

    // Waits until a page has connected and brings it up to date: true then; false when
    // the limit (if any) passes first or the end is requested. The program's start calls
    // this before it asks the page anything.
    bool waitForFirstPage(std::optional<PageChannel::Clock::duration> limit);

    // End when no page has been connected for the page-gone limit, or after requestEnd.
    UiEvent nextEvent() override;
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
    std::vector<std::optional<std::string>> getVariables(Player player, const std::vector<std::string>& names) override;
    void keepVariable(Player player, const std::string& name, const std::string& value) override;
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

    // The "editor" event, kept for a page that connects later (without its "last").
    void showEditorState(const EditorState& state) override;

    std::vector<std::string> opticalMedia() override;
    void runProgram(const std::string& path) override;

private:
    UiEvent nextEventBefore(std::optional<std::chrono::steady_clock::time_point> until);
    // Sends an event and keeps it for a page that connects later.
    void tell(const Message& event);
    void tellPlayer(std::string_view type, Player player, Message fields = Message::object());
    // The "movie" event with a fresh URL, on the templates' server for the template
    // players; "" for a file that is missing or that the server cannot give (the page
    // shows its built-in skin or button instead).
    Message movieEvent(Player player, const std::string& path);
    // Sends the whole state to the connected page unless it has had it already.
    void bringUpToDate();
    // Whether the player's variables go through the skin bridge: the skin player while
    // it plays a bridged "skin.swf".
    bool bridged(Player player) const;
    // Makes the skin bridge serve the movie at path with its polling clip when it is
    // "skin.swf", else lets it go.
    void bridgeSkin(const std::string& path);
    // Makes the preview bridge serve the movie at path with a clip that sets what the
    // host sets, under a new movie number.
    void bridgePreview(const std::string& path);
    // A call that a reload does not cancel: when the page goes, waits for the next one
    // (up to the page-gone limit), brings it up to date and asks it again.
    Answer callAcrossReloads(const Message& request);

    PageChannel& channel_;
    WorkingFolderUrls urls_;
    WebWindowOptions options_;
    PageMirror mirror_;
    std::uint64_t upToDate_ = 0;  // the number of the page that has the whole state
    std::uint64_t editorEvents_ = 0;
};

}  // namespace tarvenox::web
