// The subcommands of the tarvenox command line.
#pragma once

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

// Runs the command line: 0 on success, 1 (with one line on stderr) on failure.
int runCommandLine(int argc, char** argv);

}  // namespace tarvenox
