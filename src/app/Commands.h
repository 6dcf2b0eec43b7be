// The subcommands of the tarvenox command line.
#pragma once

#include <string>

namespace CLI {
class App;
}

namespace tarvenox {

// Each adds its subcommand to the program; the subcommand's callback does the work
// and throws CommandError on failure.
void addInspectCommand(CLI::App& program);
void addSaveCommand(CLI::App& program);
void addTemplatesCommand(CLI::App& program);
void addFontsCommand(CLI::App& program);
void addArchiveCommand(CLI::App& program);
void addRenderCommand(CLI::App& program);

// The interactive program's options, taken by `tarvenox edit` and by `tarvenox` alone.
struct InteractiveOptions {
    std::string dataFolder;
    // A plain movie to open instead of an installation.
    std::string movie;
    int port = 0;
    bool noBrowser = false;
};
void addEditCommand(CLI::App& program, InteractiveOptions& options);
// Runs the interactive program until its page quits, goes for good, or a signal comes;
// 0 then, 1 (with one line on stderr) when it cannot start.
int runInteractiveProgram(const InteractiveOptions& options);

// Runs the command line: 0 on success, 1 (with one line on stderr) on failure.
int runCommandLine(int argc, char** argv);

}  // namespace tarvenox
