// The command line's own words in the run's language.
#include "app/CommandLineTexts.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cstring>
#include <filesystem>
#include <regex>

#include "common/Texts.h"

namespace tarvenox {

void takeLanguageOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") return;
        std::optional<Language> named;
        if (argument == "--lang" && i + 1 < argc) {
            named = languageNamed(argv[i + 1]);
        } else if (argument.starts_with("--lang=")) {
            named = languageNamed(argument.substr(std::strlen("--lang=")));
        }
        if (named) useLanguage(*named);
    }
}

void wordHelpInRunLanguage(CLI::App& program) {
    auto formatter = std::make_shared<CLI::Formatter>();
    // The labels CLI11 writes into usage lines and option lists, with the type names
    // it gives options whose value has no name of ours.
    for (const char* label : {"Usage", "OPTIONS", "SUBCOMMAND", "SUBCOMMANDS", "Positionals", "REQUIRED", "Needs",
                              "Excludes", "TEXT", "INT", "UINT", "FLOAT"}) {
        formatter->label(label, text(std::string("cli.label.") + label));
    }
    program.formatter(formatter);
    program.option_defaults()->group(text("cli.label.Options"));
    program.group(text("cli.label.Subcommands"));
    program.set_help_flag("-h,--help", text("help.help"));
}

void finishHelp(CLI::App& program) {
    const std::string group = text("cli.label.Options");
    // An argument's name says what it is ("movie"); CLI11's type name beside it ("TEXT")
    // would only repeat it in other words.
    for (CLI::Option* option : program.get_options()) {
        if (option->get_positional()) option->type_name("");
    }
    for (CLI::App* command : program.get_subcommands({})) {
        for (const char* name : {"--help", "--help-all"}) {
            if (CLI::Option* help = command->get_option_no_throw(name)) help->group(group);
        }
        finishHelp(*command);
    }
}

namespace {

// What follows "prefix: " in a message, or the whole message.
std::string afterColon(const std::string& message) {
    const std::size_t colon = message.find(": ");
    return colon == std::string::npos ? message : message.substr(colon + 2);
}

// A number as CLI::Range writes it (std::to_string: "3600.000000"), without the zeros.
std::string shortNumber(std::string number) {
    if (number.find('.') == std::string::npos) return number;
    while (number.ends_with('0')) number.pop_back();
    if (number.ends_with('.')) number.pop_back();
    return number;
}

}  // namespace

std::string commandLineMistake(const CLI::Error& error) {
    // CLI11 words its errors in English and carries no fields; the few kinds a person
    // meets are taken apart here and said again in the catalogue's words.
    const std::string what = error.what();
    // By exit code: CLI11 names some errors for the command they occur in, not their kind.
    using Code = CLI::ExitCodes;
    const auto kind = static_cast<Code>(error.get_exit_code());
    std::smatch parts;
    std::string line;
    if (kind == Code::ExtrasError) {
        line = text("cli.unexpected", {afterColon(what)});
    } else if (kind == Code::RequiredError && what.starts_with("A subcommand")) {
        line = text("cli.noCommand");
    } else if (kind == Code::RequiredError && std::regex_match(what, parts, std::regex("(.+) is required"))) {
        line = text("cli.required", {parts.str(1)});
    } else if (kind == Code::RequiresError && std::regex_match(what, parts, std::regex("(\\S+) requires (.+)"))) {
        line = text("cli.needs", {parts.str(1), parts.str(2)});
    } else if (kind == Code::ExcludesError && std::regex_match(what, parts, std::regex("(\\S+) excludes (.+)"))) {
        line = text("cli.excludes", {parts.str(1), parts.str(2)});
    } else if (kind == Code::ArgumentMismatch && std::regex_match(what, parts, std::regex("(\\S+): .* missing"))) {
        line = text("cli.noValue", {parts.str(1)});
    } else if (kind == Code::ConversionError &&
               std::regex_match(what, parts, std::regex("Could not convert: (\\S+) = (.*)"))) {
        line = text("cli.notConvertible", {parts.str(1), parts.str(2)});
    } else if (kind == Code::ValidationError &&
               std::regex_match(what, parts, std::regex("(\\S+): Value (.*) not in range (\\S+) to (\\S+)"))) {
        // CLI::Range, as commands check numbers; its bounds as it writes them (1.000000).
        // The bounds keep their decimal point in German too: they are values of the option,
        // typed with a point like the value shown beside them.
        line =
            text("cli.notInRange", {parts.str(1), parts.str(2), shortNumber(parts.str(3)), shortNumber(parts.str(4))});
    } else if (kind == Code::ValidationError &&
               std::regex_match(what, parts, std::regex("(\\S+): Value (.*) could not be converted"))) {
        line = text("cli.notConvertible", {parts.str(1), parts.str(2)});
    } else if (kind == Code::ValidationError) {
        // "--option: " and the refusal of one of the checks below, already in its words.
        line = what;
    } else {
        // Kinds no option of ours can cause; CLI11's own words as the detail.
        line = text("cli.mistake", {what});
    }
    return line + ' ' + text("cli.seeHelp") + '\n';
}

CLI::Validator languageCheck() {
    return CLI::Validator(
        [](const std::string& code) { return languageNamed(code) ? std::string() : text("cli.notLanguage", {code}); },
        "");
}

CLI::Validator existingFolderCheck() {
    return CLI::Validator(
        [](const std::string& path) {
            std::error_code error;
            return std::filesystem::is_directory(path, error) ? std::string() : text("data.notFolder", {path});
        },
        "");
}

CLI::Validator withinNumbers(double min, double max) { return CLI::Range(min, max).description(""); }

CLI::Validator portCheck() {
    return CLI::Validator(
        [](const std::string& value) {
            int port = -1;
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), port);
            const bool whole = error == std::errc() && end == value.data() + value.size();
            return whole && port >= 0 && port <= 65535 ? std::string() : text("cli.notPort", {value});
        },
        "");
}

}  // namespace tarvenox
