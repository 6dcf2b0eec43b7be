// The command line's own words in the run's language: the headings and labels of --help,
// the checks of option values, and the line a mistake on the command line gets.
#pragma once

#include <string>

namespace CLI {
class App;
class Error;
class Validator;
}  // namespace CLI

namespace tarvenox {

// Makes the language that --lang names the run's language before any help text is
// looked up (the descriptions are words of the catalogue, read when the options are
// added). A missing or unknown code is left to the option's own check.
void takeLanguageOption(int argc, char** argv);

// Words the program's help and everything added to it afterwards in the run's language:
// call before adding options and commands, which take over the program's settings.
void wordHelpInRunLanguage(CLI::App& program);

// Puts the help options of every command into the options' group and leaves the type
// name out of every argument's line; call when all commands are added (CLI11 gives a
// command its help options before its settings).
void finishHelp(CLI::App& program);

// The line that tells what is wrong with the command line (without "tarvenox: ").
std::string commandLineMistake(const CLI::Error& error);

// Option checks whose refusal is a sentence of the catalogue.
CLI::Validator languageCheck();
CLI::Validator existingFolderCheck();
CLI::Validator portCheck();
// CLI::Range without its words in the option's line ("INT in [1 - 1000000]"), which are
// English and repeat the type; the option's help tells the bounds a person needs.
CLI::Validator withinNumbers(double min, double max);

}  // namespace tarvenox
