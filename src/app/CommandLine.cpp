// The tarvenox command line: subcommands, help and exit status.
#include <CLI/CLI.hpp>

#include <cstdio>

#include "app/CommandError.h"
#include "app/CommandLineTexts.h"
#include "app/Commands.h"
#include "common/Exception.h"
#include "common/Log.h"
#include "common/RunRecord.h"
#include "common/Texts.h"

namespace tarvenox {

int runCommandLine(int argc, char** argv) {
    // The help is worded in the language --lang names, wherever it stands.
    takeLanguageOption(argc, argv);
    CLI::App program{text("help.program"), "tarvenox"};
    wordHelpInRunLanguage(program);
    // Without a command the interactive program runs.
    program.require_subcommand(0, 1);
    program.set_help_all_flag("--help-all", text("help.helpAll"));
    program.set_version_flag("--version", "tarvenox " TARVENOX_VERSION, text("help.version"));
    // Quiet on success: the diagnostic log (the platform, each change made, each file
    // written) only when asked for, and then on standard error, so that standard output
    // stays the command's own (a listing, or the movie with -o -).
    bool verbose = false;
    program.add_flag("-v,--verbose", verbose, text("help.verbose"));
    // Taken again when it is read: the check refuses an unknown code.
    program
        .add_option_function<std::string>(
            "--lang", [](const std::string& code) { useLanguage(*languageNamed(code)); }, text("help.lang"))
        ->check(languageCheck())
        ->type_name(text("help.type.language"))
        ->trigger_on_parse();
    program.fallthrough();
    program.parse_complete_callback([&verbose] {
        setLogStream(verbose ? stderr : nullptr);
        // What runs that were killed left behind goes first (logged, so after the above).
        sweepEndedRuns(runRecordFolder());
    });
    // A mistake on the command line is one line too, like every other failure. A word that
    // a command does not take falls through to the program's own MOVIE (so that --lang and
    // --verbose are taken after a command too), which every command excludes: it is told
    // as the unexpected word it is, not as a MOVIE given with the command.
    InteractiveOptions interactive;
    program.failure_message([&interactive](const CLI::App* app, const CLI::Error& e) {
        const bool stray = e.get_exit_code() == static_cast<int>(CLI::ExitCodes::ExcludesError) &&
                           !interactive.movie.empty() && std::string(e.what()).ends_with(text("help.arg.MOVIE"));
        if (!stray) return "tarvenox: " + commandLineMistake(e);
        // The words not taken before it ("--frames 0": the option a command lacks, its value);
        // CLI11 joins an error's words from the last to the first.
        std::vector<std::string> words = {interactive.movie};
        const std::vector<std::string> before = app->remaining();
        words.insert(words.end(), before.rbegin(), before.rend());
        return "tarvenox: " + commandLineMistake(CLI::ExtrasError(words));
    });
    addInspectCommand(program);
    addSaveCommand(program);
    addTemplatesCommand(program);
    addFontsCommand(program);
    addArchiveCommand(program);
    addRenderCommand(program);
    addEditCommand(program, interactive);
    finishHelp(program);

    try {
        program.parse(argc, argv);
        const auto commands = program.get_subcommands();
        if (commands.empty() || commands.front()->get_name() == "edit") return runInteractiveProgram(interactive);
    } catch (const CLI::ParseError& e) {
        // CLI::RuntimeError too: a command that has told what went wrong already ends
        // with its status alone.
        return program.exit(e) == 0 ? 0 : 1;
    } catch (const CommandError& e) {
        std::fprintf(stderr, "tarvenox: %s\n", e.what());
        return 1;
    } catch (const Exception& e) {
        std::fprintf(stderr, "tarvenox: %s\n", e.getMessage().c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarvenox: %s\n", text("run.internalError", {e.what()}).c_str());
        return 1;
    }
    return 0;
}

}  // namespace tarvenox
