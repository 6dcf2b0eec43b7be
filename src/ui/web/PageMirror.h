// What the host has told the page, kept so that a page that connects anew can be brought
// to the same state: a reloaded page starts empty.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ui/WindowSystem.h"

namespace tarvenox::web {

using Message = nlohmann::json;

class PageMirror {
public:
    // The "movie" event for a player's movie file, made anew for each page: the URL of a
    // load is used once.
    using MovieEvent = std::function<Message(Player player, const std::string& path)>;

    // Keeps an event the host sent when it sets lasting state: title, openFullscreen,
    // closeFullscreen, and a player's place, scale, backgroundColor, show, hide and
    // setVariable, and the last "editor" event (without its "last": a page that connects
    // has not sent the command it answers). The rest (minimize, openHelp, quit) passes.
    void remember(const Message& event);
    // A setVariable the player's movie already holds (the user typed it): kept in the
    // place of the variable's last setting, or last when it has none, so a movie that
    // starts anew gets it in the order the host set its variables.
    void keepVariable(const Message& event);
    // The movie file a player plays, "" for none. A new movie starts without the
    // variables set on the one before.
    void rememberMovie(Player player, const std::string& path);

    // The events that bring an empty page to this state: the title; the fullscreen view;
    // each player's place, scale and background; hidden players hidden and shown ones
    // shown in the order they were last brought to the front; the movies; then each
    // player's variables in the order of their last setting (a movie must be asked to
    // load before its variables are set); then the editor's state.
    std::vector<Message> replay(const MovieEvent& movieEvent) const;

private:
    struct PlayerState {
        std::vector<Message> looks;  // the last place, scale and backgroundColor
        std::optional<Message> visibility;
        std::string moviePath;
        std::vector<Message> variables;
    };

    PlayerState& stateOf(Player player) { return players_[static_cast<std::size_t>(player)]; }
    const PlayerState& stateOf(Player player) const { return players_[static_cast<std::size_t>(player)]; }
    // Opening and closing the fullscreen view both leave its two players empty.
    void forgetFullscreenPlayers();

    std::optional<Message> title_;
    std::optional<Message> fullscreen_;  // the openFullscreen event while the view is open
    std::optional<Message> editor_;
    std::array<PlayerState, 4> players_;
    std::vector<Player> front_;  // players by their last "show", the front-most last
};

}  // namespace tarvenox::web
