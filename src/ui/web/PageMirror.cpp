// What the host has told the page, kept for a page that connects anew.
#include "ui/web/PageMirror.h"

#include <algorithm>

namespace tarvenox::web {
namespace {

constexpr Player allPlayers[] = {Player::skin, Player::viewer, Player::fullscreenMovie, Player::fullscreenButton};

// Puts the message in place of the one that matches, or last when none does.
template <typename Same>
void replaceOrAppend(std::vector<Message>& messages, const Message& message, Same same) {
    auto found = std::find_if(messages.begin(), messages.end(), same);
    if (found != messages.end()) {
        *found = message;
    } else {
        messages.push_back(message);
    }
}

}  // namespace

void PageMirror::remember(const Message& event) {
    const std::string type = event.value("type", "");
    if (type == "title") {
        title_ = event;
        return;
    }
    if (type == "editor") {
        editor_ = event;
        editor_->erase("last");
        return;
    }
    if (type == "openFullscreen" || type == "closeFullscreen") {
        if (type == "openFullscreen") {
            fullscreen_ = event;
        } else {
            fullscreen_.reset();
        }
        forgetFullscreenPlayers();
        return;
    }
    std::optional<Player> player = playerNamed(event.value("player", ""));
    if (!player) return;
    PlayerState& state = stateOf(*player);
    if (type == "place" || type == "scale" || type == "backgroundColor") {
        replaceOrAppend(state.looks, event, [&](const Message& kept) { return kept["type"] == type; });
    } else if (type == "show" || type == "hide") {
        state.visibility = event;
        if (type == "show") {
            std::erase(front_, *player);
            front_.push_back(*player);
        }
    } else if (type == "setVariable") {
        // The variable set last is set last again: a movie may act on the order.
        std::erase_if(state.variables, [&](const Message& kept) { return kept["name"] == event["name"]; });
        state.variables.push_back(event);
    }
}

void PageMirror::keepVariable(const Message& event) {
    std::optional<Player> player = playerNamed(event.value("player", ""));
    if (!player) return;
    replaceOrAppend(stateOf(*player).variables, event,
                    [&](const Message& kept) { return kept["name"] == event["name"]; });
}

void PageMirror::rememberMovie(Player player, const std::string& path) {
    PlayerState& state = stateOf(player);
    state.moviePath = path;
    state.variables.clear();
}

void PageMirror::forgetFullscreenPlayers() {
    for (Player player : {Player::fullscreenMovie, Player::fullscreenButton}) {
        stateOf(player) = PlayerState();
        std::erase(front_, player);
    }
}

std::vector<Message> PageMirror::replay(const MovieEvent& movieEvent) const {
    std::vector<Message> events;
    if (title_) events.push_back(*title_);
    if (fullscreen_) events.push_back(*fullscreen_);
    for (Player player : allPlayers) {
        const PlayerState& s = stateOf(player);
        events.insert(events.end(), s.looks.begin(), s.looks.end());
        if (s.visibility && (*s.visibility)["type"] == "hide") events.push_back(*s.visibility);
    }
    for (Player player : front_) {
        if (const auto& shown = stateOf(player).visibility; shown && (*shown)["type"] == "show")
            events.push_back(*shown);
    }
    for (Player player : allPlayers) {
        if (!stateOf(player).moviePath.empty()) events.push_back(movieEvent(player, stateOf(player).moviePath));
    }
    for (Player player : allPlayers) {
        const PlayerState& s = stateOf(player);
        events.insert(events.end(), s.variables.begin(), s.variables.end());
    }
    if (editor_) events.push_back(*editor_);
    return events;
}

}  // namespace tarvenox::web
