// `tarvenox` and `tarvenox edit`: the interactive program, shown as a page in the
// browser.
#include <CLI/CLI.hpp>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <thread>

#include "app/CommandError.h"
#include "app/Commands.h"
#include "app/InstallationOption.h"
#include "app/MovieVideo.h"
#include "app/SignalWatcher.h"
#include "app/TarvenoxApp.h"
#include "common/Texts.h"
#include "edit/MovieInstallation.h"
#include "publish/OutputFile.h"
#include "publish/ProgramFiles.h"
#include "ui/CTarvenoxDlg.h"
#include "ui/DialogTexts.h"
#include "ui/web/PageServer.h"
#include "ui/web/TemplateThumbnails.h"
#include "ui/web/WebWindowSystem.h"

extern char** environ;

namespace tarvenox {

namespace {

// How long the program waits for the browser it opened to connect.
constexpr auto browserStartLimit = std::chrono::minutes(2);

// Opens the address in the user's browser without waiting for it; false when xdg-open
// cannot be started.
bool openInBrowser(const std::string& address) {
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // The program's threads block the termination signals; the browser must not inherit that.
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    std::string program = "xdg-open";
    std::string url = address;
    char* argv[] = {program.data(), url.data(), nullptr};
    pid_t child = 0;
    const int error = ::posix_spawnp(&child, "xdg-open", nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) return false;
    // xdg-open hands the address to the browser and ends; reaped on the side.
    std::thread([child] {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

// The editor's video of the working copy: the same render as `tarvenox render -o`.
Report writeMovieVideo(const std::string& movie, const std::string& video) {
    try {
        throwIfFailed(prepareOutput(video));
        renderMovieVideos({MovieVideo{.movie = movie, .output = video}});
        return {};
    } catch (const CommandError& error) {
        return Report::failure(error.what());
    }
}

}  // namespace

int runInteractiveProgram(const InteractiveOptions& options) {
    if (!options.movie.empty() && !options.dataFolder.empty()) {
        throw CommandError("--data: " + text("edit.movieWithData"));
    }
    const AppEnvironment environment = installationEnvironment(options.dataFolder);
    // The installation folder is the program's current folder, as if started there.
    if (!environment.startDirectory.empty() && ::chdir(environment.startDirectory.c_str()) != 0) {
        throw CommandError("--data: " + text("edit.cannotChangeFolder", {options.dataFolder}));
    }
    auto share = programFilesFolder();
    if (!share) {
        throw CommandError(text("edit.pageMissing"));
    }
    const ProgramFiles files = programFilesIn(*share);

    // Before the server's threads start, so that they leave the signals to the watcher.
    SignalWatcher signals;
    std::unique_ptr<MovieInstallation> movie;
    if (!options.movie.empty()) {
        auto made = MovieInstallation::create(options.movie, CTarvenoxApp::temporaryFolder());
        if (!made) throw CommandError(made.report().reason());
        movie = made.take();
    }
    std::unique_ptr<CTarvenoxApp> started =
        movie ? std::make_unique<CTarvenoxApp>(environment, std::move(movie)) : std::make_unique<CTarvenoxApp>();
    CTarvenoxApp& app = *started;
    if (!playerInstalled(files)) {
        std::fprintf(stderr, "tarvenox: %s\n", texts::flashMissing().c_str());
        return 1;
    }
    // The page's built-in skin, which stands in for a missing skin.swf, shows the
    // templates playing; the copies go before the working folder does.
    std::optional<web::TemplateThumbnails> thumbnails;
    auto makeThumbnails = [&thumbnails, &app] {
        thumbnails.reset();
        if (::access((app.workingFolder() + "skin.swf").c_str(), F_OK) != 0) {
            thumbnails.emplace(app.store(), app.texts().selectLists, app.workingFolder());
        }
    };
    makeThumbnails();
    web::PageChannel channel;
    web::SkinBridge skinBridge;
    web::PreviewBridge previewBridge;
    std::unique_ptr<web::PageServer> server;
    try {
        server = std::make_unique<web::PageServer>(
            web::PageServerFolders{files.page, files.player, app.workingFolder(), files.help}, channel, options.port,
            &skinBridge, &previewBridge);
    } catch (const std::runtime_error& error) {
        throw CommandError(error.what());
    }
    web::WebWindowOptions windowOptions;
    windowOptions.helpUrl = server->helpUrl();
    windowOptions.skinBridge = &skinBridge;
    windowOptions.skinPollUrl = server->skinPollUrl();
    windowOptions.previewBridge = &previewBridge;
    windowOptions.previewPollPrefix = server->previewPollPrefix();
    web::WebWindowSystem windows(channel, server->workingFolderUrls(), windowOptions);
    signals.onSignal([&windows] { windows.requestEnd(); });

    const std::string address = server->address();
    std::printf("%s\n", address.c_str());
    std::fflush(stdout);
    std::optional<web::PageChannel::Clock::duration> limit;
    if (!options.noBrowser) {
        if (openInBrowser(address)) {
            limit = browserStartLimit;
        } else {
            std::fprintf(stderr, "tarvenox: %s\n", text("edit.noBrowser").c_str());
        }
    }
    if (windows.waitForFirstPage(limit)) {
        CTarvenoxDlg dialog(app, app.cdPath, windows);
        dialog.setMovieOpener([&app, &makeThumbnails](const std::string& path) -> Result<std::string> {
            if (Report opened = app.openMovie(path); opened.failed()) return opened;
            makeThumbnails();
            return app.movieTemplate();
        });
        dialog.setVideoExport(writeMovieVideo);
        if (!app.movieTemplate().empty()) dialog.selectAtStart(app.movieTemplate(), app.openedMovie());
        dialog.DoModal();
        windows.quit();
    } else if (signals.signalReceived() == 0) {
        signals.onSignal({});
        throw CommandError(text("edit.noPage", {address}));
    }
    signals.onSignal({});
    // Ended by a signal: the status an interrupted command has, after the same clean-up.
    return signals.signalReceived() != 0 ? 128 + signals.signalReceived() : 0;
}

void addEditCommand(CLI::App& program, InteractiveOptions& options) {
    auto* command =
        program.add_subcommand("edit", "Run the interactive program (the default): open a movie, or choose a "
                                       "template of an installation, change it and save it in a page that opens "
                                       "in the browser");
    // `tarvenox` alone takes them too; the other commands refuse them.
    for (CLI::App* app : {&program, command}) {
        std::vector<CLI::Option*> added = {
            app->add_option("MOVIE", options.movie,
                            "A movie (.swf) to open and change; without one, the installation's templates"),
            app->add_option("--data", options.dataFolder,
                            "The installation folder to start in (default: the current folder)")
                ->check(CLI::ExistingDirectory),
            app->add_option("--port", options.port,
                            "The port of the page's address on 127.0.0.1 (default: any free port)")
                ->check(CLI::Range(0, 65535)),
            app->add_flag("--no-browser", options.noBrowser,
                          "Only print the page's address instead of opening it in the browser"),
        };
        if (app != &program) continue;
        for (CLI::App* other : program.get_subcommands({})) {
            if (other == command) continue;
            for (CLI::Option* option : added) other->excludes(option);
        }
    }
}

}  // namespace tarvenox
