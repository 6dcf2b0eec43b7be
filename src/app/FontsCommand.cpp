// `tarvenox fonts`: the installed faces that `save --font NAME=FACE` can take.
#include <CLI/CLI.hpp>

#include <iostream>

#include "app/Commands.h"
#include "common/Texts.h"
#include "font/FontEngine.h"

namespace tarvenox {

void addFontsCommand(CLI::App& program) {
    auto* command = program.add_subcommand("fonts", text("help.fonts"));
    command->callback([] {
        for (const std::string& name : systemFontEngine().faceNames()) std::cout << name << '\n';
    });
}

}  // namespace tarvenox
