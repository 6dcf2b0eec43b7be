// The host's requests to the page beside the reading of their answers, and the page's
// events as the program's UiEvents (see docs/protocol.md).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "ui/WindowSystem.h"

namespace tarvenox::web {

using Message = nlohmann::json;
// A request's result as PageChannel::call gives it: nullopt when the call was cancelled.
using Answer = std::optional<Message>;

// Every reader takes a cancelled call, a null result and a malformed one alike: as a
// cancelled dialog, an empty read, version 0. The page is a program of its own; what it
// sends is checked, never trusted.

Message screenSizeRequest();
// 0 x 0 when the page could not tell.
ScreenSize screenSizeAnswer(const Answer& answer);

// The variable's name is Windows-1252, as is the value read.
Message getVariableRequest(Player player, std::string_view name);
std::optional<std::string> getVariableAnswer(const Answer& answer);
// Several variables of a player in one round trip, in their order; a value the page did
// not give (an answer that is not a list of as many texts) is nullopt.
Message getVariablesRequest(Player player, const std::vector<std::string>& names);
std::vector<std::optional<std::string>> getVariablesAnswer(const Answer& answer, std::size_t count);

Message flashVersionRequest(Player player);
std::int32_t flashVersionAnswer(const Answer& answer);

Message messageBoxRequest(std::string_view caption, std::string_view text, MessageIcon icon, MessageButtons buttons);
MessageAnswer messageBoxAnswer(const Answer& answer);

Message chooseColorRequest(std::optional<Rgb> initial, const CustomColors& customColors);
// Takes the custom colours from any answer that carries all 16, also a cancelled one.
std::optional<Rgb> chooseColorAnswer(const Answer& answer, CustomColors& customColors);

Message chooseFontRequest(const std::vector<std::string>& faces, int pointSize);
std::optional<FontChoice> chooseFontAnswer(const Answer& answer);

Message openFileRequest(std::string_view title, const std::vector<FileFilter>& filters);
// name: the file name the dialog starts with (UTF-8).
Message saveFileRequest(std::string_view title, const std::vector<FileFilter>& filters,
                        std::string_view defaultExtension, bool overwritePrompt, std::string_view name = "");
// The path chosen in openFile or saveFile.
std::optional<std::string> chosenPathAnswer(const Answer& answer);

// The "editor" event numbered seq; the Windows-1252 texts go to UTF-8.
Message editorEvent(const EditorState& state, std::uint64_t seq);

// The user's action in an event of the page: fsCommand (command and args back to
// Windows-1252) and escape. nullopt for any other event and a malformed one.
std::optional<UiEvent> uiEventOf(const Message& event);

}  // namespace tarvenox::web
