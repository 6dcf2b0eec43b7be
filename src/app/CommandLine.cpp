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
    // A mistake on the command line is one line too, like every other failure.
    program.failure_message([](const CLI::App*, const CLI::Error& e) { return "tarvenox: " + commandLineMistake(e); });
    addInspectCommand(program);
    addSaveCommand(program);
    addTemplatesCommand(program);
    addFontsCommand(program);
    addArchiveCommand(program);
    addRenderCommand(program);
    InteractiveOptions interactive;
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
