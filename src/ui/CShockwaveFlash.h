// One movie player of the program's windows, driven by the host: the operations the
// dialogs use, each handed to the window system for the player it stands for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ui/WindowSystem.h"

namespace tarvenox {

class CShockwaveFlash {
public:
    CShockwaveFlash(WindowSystem& windows, Player player) : windows_(windows), player_(player) {}

    // Loads and plays the movie file; "" unloads it, and setting a path afterwards
    // loads the file anew.
    void Movie(const std::string& path) { windows_.loadMovie(player_, path); }
    // The colour (0xRRGGBB) of the area the movie does not cover.
    void BackgroundColor(Rgb color) { windows_.setBackgroundColor(player_, color); }
    // "ExactFit", "NoBorder" or "ShowAll".
    void Scale(const std::string& mode) { windows_.setScale(player_, mode); }
    // The major version in the high 16 bits.
    std::int32_t FlashVersion() { return windows_.flashVersion(player_); }
    // Names and values are Windows-1252.
    void SetVariable(const std::string& name, const std::string& value) { windows_.setVariable(player_, name, value); }
    // nullopt when the player could not be asked.
    // The movie holds the value already (the user typed it): noted, not set.
    void KeepVariable(const std::string& name, const std::string& value) {
        windows_.keepVariable(player_, name, value);
    }
    std::optional<std::string> GetVariable(const std::string& name) { return windows_.getVariable(player_, name); }
    // Several at once, in their order (one round trip to a player that is polled).
    std::vector<std::optional<std::string>> GetVariables(const std::vector<std::string>& names) {
        return windows_.getVariables(player_, names);
    }

    // The player's window.
    void MoveWindow(const PixelRect& rect, PlayerShape shape = PlayerShape::rectangle) {
        windows_.placePlayer(player_, rect, shape);
    }
    void ShowWindow() { windows_.showPlayer(player_); }
    void HideWindow() { windows_.hidePlayer(player_); }

    Player player() const { return player_; }

private:
    WindowSystem& windows_;
    Player player_;
};

}  // namespace tarvenox
