// The names of the players, as the page knows them.
#include "ui/WindowSystem.h"

namespace tarvenox {

namespace {
constexpr std::array<std::pair<Player, std::string_view>, 4> playerNames{{
    {Player::skin, "skin"},
    {Player::viewer, "viewer"},
    {Player::fullscreenMovie, "fullscreenMovie"},
    {Player::fullscreenButton, "fullscreenButton"},
}};
}  // namespace

std::vector<std::optional<std::string>> WindowSystem::getVariables(Player player,
                                                                   const std::vector<std::string>& names) {
    std::vector<std::optional<std::string>> values;
    for (const std::string& name : names) values.push_back(getVariable(player, name));
    return values;
}

void WindowSystem::keepVariable(Player, const std::string&, const std::string&) {}

void WindowSystem::showEditorState(const EditorState&) {}

std::string_view playerName(Player player) {
    for (const auto& [p, name] : playerNames) {
        if (p == player) return name;
    }
    return {};
}

std::optional<Player> playerNamed(std::string_view name) {
    for (const auto& [p, n] : playerNames) {
        if (n == name) return p;
    }
    return std::nullopt;
}

}  // namespace tarvenox
