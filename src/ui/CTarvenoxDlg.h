// The main dialog: the interface movie over the whole screen, the preview on top of it,
// and the commands the interface movie sends.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "common/Report.h"
#include "common/Result.h"
#include "edit/EditHistory.h"
#include "ui/CShockwaveFlash.h"
#include "ui/UiEvents.h"
#include "ui/VideoExport.h"
#include "ui/WindowSystem.h"

namespace tarvenox {

class EditSession;

class CTarvenoxDlg {
public:
    // The preview area on the 800 x 600 screen the interface movies are drawn for.
    static constexpr PixelRect viewerBox{400, 212, 701, 480};

    // app is the program's edit session (paths, the selected movie, its changes); cdPath
    // the product CD's folder ("" for none), ending in "/".
    CTarvenoxDlg(EditSession& app, std::string cdPath, WindowSystem& windows);
    // Removes the copies of chosen files it made in the working folder.
    ~CTarvenoxDlg();
    CTarvenoxDlg(const CTarvenoxDlg&) = delete;
    CTarvenoxDlg& operator=(const CTarvenoxDlg&) = delete;

    // Opens a plain movie in place of the session's installation (path UTF-8): the
    // template to select, or why the movie cannot be opened (the session unchanged).
    using MovieOpener = std::function<Result<std::string>(const std::string& path)>;
    void setMovieOpener(MovieOpener opener) { movieOpener_ = std::move(opener); }
    // Lets the save dialog offer videos (MP4, GIF) beside the movie and its page; without
    // an export it offers the movie and its page alone.
    void setVideoExport(VideoExport exporter) { videoExport_ = std::move(exporter); }
    // The session is an opened movie's (path UTF-8): its template is selected when the
    // dialog starts, and saves are proposed beside the movie.
    void selectAtStart(std::string templateName, std::string moviePath);

    // Runs the dialog until it ends: by "clicked" with "quit", a failed check at its
    // start, or the window system's end. Returns 0.
    int DoModal();

    // -- the parts of the dialog, public for the tests and the fullscreen viewer --
    bool OnInitDialog();
    void OnFSCommand(const std::string& command, const std::string& args);
    void placeViewer(std::int32_t width, std::int32_t height);
    bool ended() const { return ended_; }

    // The handlers of the interface movie's commands. Those that can change the edits
    // say how the command ended; OnFSCommand passes that on with the editor's state.
    CommandOutcome selectMovie(const std::string& name);
    void loadPreview();
    void pushVariables();
    // False when the interface movie did not give back every value: nothing is taken.
    bool collectVariables();
    // Failed when the values could not be read or the save failed (the user has been
    // told); unchanged before a template is chosen. With Rebuild::ifChanged a working copy
    // already built from the edits as they are is kept, and the preview keeps playing.
    enum class Rebuild { always, ifChanged };
    CommandOutcome applyChanges(Rebuild rebuild = Rebuild::always);
    // The path written, when done.
    CommandOutcome saveAs(std::string* saved = nullptr);
    CommandOutcome chooseColor(const std::string& variable);
    CommandOutcome chooseFont(const std::string& templateFont);
    CommandOutcome choosePicture(const std::string& exportName);
    CommandOutcome chooseSound(const std::string& exportName);
    // A replacement given back or a fit changed (restored: it was not so before): a step
    // of the history.
    CommandOutcome restoreChoice(bool restored);
    // "fitImage" with "FIT:NAME" (FIT cover, contain or stretch): how the picture NAME
    // fills its slot; a step of the history when it changes.
    CommandOutcome fitPicture(const std::string& args);
    CommandOutcome undo();
    CommandOutcome redo();
    // "openMovie": asks before unsaved edits are lost, lets the user pick a movie and
    // switches the session to it.
    CommandOutcome openMovie();
    // "clicked quit": true when the program is to end (no unsaved edits, or the user
    // agrees to lose them).
    bool quitAllowed();
    void showFullscreen();
    void runFromCd(const std::string& program);

    // The editor's state now, with the command's result when given.
    EditorState editorState(std::optional<CommandResult> last) const;

    // The custom colours of the colour dialog; none until it is first used.
    const std::optional<CustomColors>& customColors() const { return customColors_; }

private:
    void EndDialog();
    void showFlashMissingMessage();
    // The box for a command that failed in a way nobody foresaw.
    void tellCommandFailed(const std::string& command, const std::string& args, const char* what);
    // The handler of an editor command; nullopt for a command of another kind.
    std::optional<CommandOutcome> runEditorCommand(const std::string& command, const std::string& args,
                                                   std::string* saved);
    // Whether any template has edits not saved, counting what was typed and not yet
    // applied (which is recorded now).
    bool anyUnsaved();
    // The chosen template's history; nullptr before a template is chosen.
    EditHistory* history();
    const EditHistory* history() const;
    // Records the session's edits as a step of the chosen template's history; false when
    // nothing changed.
    bool recordStep();
    // Sets text variable i in the movie the preview plays now, as the rebuilt movie will
    // hold it, so the text shows while that movie is built and loaded. A typed variable
    // (number, boolean) waits for the rebuilt movie, which shows it in the player's form.
    void showTextInPreview(std::size_t i);
    // The session's edits that the movie playing in the preview cannot be given: all but
    // its texts.
    EditState editsBesideTexts() const;
    static constexpr std::chrono::milliseconds reloadPause{500};
    // Loads the working copy into the preview now.
    void reloadPreview();
    // Builds the working copy from the session's edits and shows it in the preview: at
    // once, or, when only texts changed since the preview's movie was loaded (the movie
    // playing shows them already), once typing has paused for reloadPause, so that the
    // page's new player for it does not hold up the next keys;
    // failed when the save failed (the user has been told).
    CommandOutcome rebuildPreview();
    // Makes the state the session's edits, tells the interface movie its values and
    // rebuilds the preview.
    CommandOutcome restoreState(const EditState& state);
    // Saves the working copy, built from the edits as they are, as the video at path.
    CommandOutcome saveVideo(const std::string& path);
    // Runs the video export on a thread of its own; the page's events meanwhile wait for
    // the main loop, in order, so nothing changes the working copy while it is played.
    Report exportVideo(const std::string& path);
    // A copy of the chosen file in the working folder for the editor to show: its name
    // there, "" when it cannot be made.
    std::string previewCopy(const std::string& path, const std::string& kind, const std::string& extension);
    // A choice from a file, as the session took it (added: converted once and recorded,
    // or refused, which is told with one message box), copied for the editor.
    CommandOutcome chooseFile(const std::string& path, const Report& added, const std::string& kind,
                              const std::string& extension);

    EditSession& app_;
    std::string cdPath_;
    WindowSystem& windows_;
    UiEvents events_;
    CShockwaveFlash skinControl;
    CShockwaveFlash viewerControl;
    std::optional<CustomColors> customColors_;
    bool ended_ = false;
    // What the preview's movie was built with beside the texts, and when its rebuilt
    // movie is due (see rebuildPreview).
    std::optional<EditState> shownBesideTexts_;
    std::optional<std::chrono::steady_clock::time_point> reloadDue_;
    // Each template's edits for the session, by its name.
    std::map<std::string, EditHistory> histories_;
    // The copies of chosen files in the working folder, by the chosen path.
    std::map<std::string, std::string> previews_;
    int copies_ = 0;
    // The template and the edits the working copy was last built from.
    std::optional<std::pair<std::string, EditState>> built_;
    MovieOpener movieOpener_;
    VideoExport videoExport_;
    // The template selected at the start, and the opened movie ("" for an installation).
    std::string startTemplate_;
    std::string openedMovie_;
};

}  // namespace tarvenox
