// The host's requests to the page and the reading of their answers.
#include "ui/web/PageMessages.h"

#include <limits>
#include <utility>

#include "common/Cp1252.h"

namespace tarvenox::web {
namespace {

constexpr std::pair<MessageIcon, std::string_view> iconNames[] = {
    {MessageIcon::none, "none"},         {MessageIcon::error, "error"},
    {MessageIcon::warning, "warning"},   {MessageIcon::information, "information"},
    {MessageIcon::question, "question"},
};
constexpr std::pair<MessageButtons, std::string_view> buttonsNames[] = {
    {MessageButtons::ok, "ok"},
    {MessageButtons::okCancel, "okCancel"},
    {MessageButtons::yesNo, "yesNo"},
    {MessageButtons::yesNoCancel, "yesNoCancel"},
    {MessageButtons::retryCancel, "retryCancel"},
};
constexpr std::pair<MessageAnswer, std::string_view> answerNames[] = {
    {MessageAnswer::ok, "ok"}, {MessageAnswer::cancel, "cancel"}, {MessageAnswer::yes, "yes"},
    {MessageAnswer::no, "no"}, {MessageAnswer::retry, "retry"},
};

template <typename Value, std::size_t N>
std::string_view nameOf(const std::pair<Value, std::string_view> (&table)[N], Value value) {
    for (const auto& [v, name] : table) {
        if (v == value) return name;
    }
    return {};
}

// The object's member, nullptr when the value is no object or has no such member.
const Message* member(const Message& object, const char* key) {
    if (!object.is_object()) return nullptr;
    auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

std::optional<std::string> textOf(const Message* value) {
    if (!value || !value->is_string()) return std::nullopt;
    return value->get<std::string>();
}

std::optional<std::int64_t> integerIn(const Message* value, std::int64_t low, std::int64_t high) {
    if (!value || !value->is_number_integer()) return std::nullopt;
    // A large positive number is read as unsigned and would wrap as a signed one.
    if (value->is_number_unsigned() && value->get<std::uint64_t>() > static_cast<std::uint64_t>(high)) {
        return std::nullopt;
    }
    std::int64_t number = value->get<std::int64_t>();
    if (number < low || number > high) return std::nullopt;
    return number;
}

constexpr std::int64_t maxInt = std::numeric_limits<std::int32_t>::max();
constexpr Rgb maxColor = 0xFFFFFF;

std::optional<Rgb> colorOf(const Message* value) {
    if (auto color = integerIn(value, 0, maxColor)) return static_cast<Rgb>(*color);
    return std::nullopt;
}

Message filtersOf(const std::vector<FileFilter>& filters) {
    Message list = Message::array();
    for (const FileFilter& filter : filters) {
        list.push_back({{"description", filter.description}, {"patterns", filter.patterns}});
    }
    return list;
}

}  // namespace

Message screenSizeRequest() { return {{"type", "screenSize"}}; }

ScreenSize screenSizeAnswer(const Answer& answer) {
    if (!answer) return {};
    auto width = integerIn(member(*answer, "width"), 1, maxInt);
    auto height = integerIn(member(*answer, "height"), 1, maxInt);
    if (!width || !height) return {};
    return {static_cast<int>(*width), static_cast<int>(*height)};
}

Message getVariableRequest(Player player, std::string_view name) {
    return {{"type", "getVariable"}, {"player", playerName(player)}, {"name", cp1252ToUtf8(name)}};
}

std::optional<std::string> getVariableAnswer(const Answer& answer) {
    if (!answer || !answer->is_string()) return std::nullopt;
    return utf8ToCp1252(answer->get<std::string>());
}

Message getVariablesRequest(Player player, const std::vector<std::string>& names) {
    Message list = Message::array();
    for (const std::string& name : names) list.push_back(cp1252ToUtf8(name));
    return {{"type", "getVariables"}, {"player", playerName(player)}, {"names", std::move(list)}};
}

std::vector<std::optional<std::string>> getVariablesAnswer(const Answer& answer, std::size_t count) {
    std::vector<std::optional<std::string>> values(count);
    if (!answer || !answer->is_array() || answer->size() != count) return values;
    for (std::size_t i = 0; i < count; ++i) values[i] = getVariableAnswer((*answer)[i]);
    return values;
}

Message flashVersionRequest(Player player) { return {{"type", "flashVersion"}, {"player", playerName(player)}}; }

std::int32_t flashVersionAnswer(const Answer& answer) {
    if (!answer) return 0;
    return static_cast<std::int32_t>(integerIn(&*answer, 0, maxInt).value_or(0));
}

Message messageBoxRequest(std::string_view caption, std::string_view text, MessageIcon icon, MessageButtons buttons) {
    return {{"type", "messageBox"},
            {"caption", caption},
            {"text", text},
            {"icon", nameOf(iconNames, icon)},
            {"buttons", nameOf(buttonsNames, buttons)}};
}

MessageAnswer messageBoxAnswer(const Answer& answer) {
    if (answer && answer->is_string()) {
        for (const auto& [value, name] : answerNames) {
            if (*answer == name) return value;
        }
    }
    return MessageAnswer::cancel;
}

Message chooseColorRequest(std::optional<Rgb> initial, const CustomColors& customColors) {
    return {
        {"type", "chooseColor"}, {"color", initial ? Message(*initial) : Message()}, {"customColors", customColors}};
}

std::optional<Rgb> chooseColorAnswer(const Answer& answer, CustomColors& customColors) {
    if (!answer) return std::nullopt;
    // The custom colours are taken only whole: a short or damaged list leaves them as they were.
    if (const Message* list = member(*answer, "customColors"); list && list->is_array() && list->size() == 16) {
        CustomColors colors{};
        bool valid = true;
        for (std::size_t i = 0; i < colors.size() && valid; ++i) {
            std::optional<Rgb> color = colorOf(&(*list)[i]);
            valid = color.has_value();
            colors[i] = color.value_or(0);
        }
        if (valid) customColors = colors;
    }
    return colorOf(member(*answer, "color"));
}

Message chooseFontRequest(const std::vector<std::string>& faces, int pointSize) {
    return {{"type", "chooseFont"}, {"faces", faces}, {"pointSize", pointSize}};
}

std::optional<FontChoice> chooseFontAnswer(const Answer& answer) {
    if (!answer) return std::nullopt;
    std::optional<std::string> face = textOf(member(*answer, "face"));
    const Message* bold = member(*answer, "bold");
    const Message* italic = member(*answer, "italic");
    std::optional<std::int64_t> tenths = integerIn(member(*answer, "pointTenths"), 1, maxInt);
    if (!face || face->empty() || !bold || !bold->is_boolean() || !italic || !italic->is_boolean() || !tenths) {
        return std::nullopt;
    }
    return FontChoice{*face, bold->get<bool>() ? 700 : 400, italic->get<bool>(), static_cast<int>(*tenths)};
}

Message openFileRequest(std::string_view title, const std::vector<FileFilter>& filters) {
    return {{"type", "openFile"}, {"title", title}, {"filters", filtersOf(filters)}, {"folder", ""}};
}

Message saveFileRequest(std::string_view title, const std::vector<FileFilter>& filters,
                        std::string_view defaultExtension, bool overwritePrompt, std::string_view name) {
    // The page starts in the folder the last dialog ended in: the host does not keep it.
    return {{"type", "saveFile"},
            {"title", title},
            {"filters", filtersOf(filters)},
            {"defaultExtension", defaultExtension},
            {"folder", ""},
            {"name", name},
            {"overwritePrompt", overwritePrompt}};
}

std::optional<std::string> chosenPathAnswer(const Answer& answer) {
    if (!answer) return std::nullopt;
    std::optional<std::string> path = textOf(&*answer);
    if (!path || path->empty()) return std::nullopt;
    return path;
}

namespace {

const char* outcomeName(CommandOutcome outcome) {
    switch (outcome) {
        case CommandOutcome::done: return "done";
        case CommandOutcome::failed: return "failed";
        case CommandOutcome::cancelled: return "cancelled";
        case CommandOutcome::unchanged: return "unchanged";
    }
    return "done";
}

Message chosenFiles(const std::map<std::string, ChosenFile>& files) {
    Message out = Message::object();
    for (const auto& [name, chosen] : files) {
        Message file{{"file", chosen.file}, {"preview", chosen.preview}};
        if (!chosen.fit.empty()) file["fit"] = chosen.fit;
        out[cp1252ToUtf8(name)] = std::move(file);
    }
    return out;
}

}  // namespace

Message editorEvent(const EditorState& state, std::uint64_t seq) {
    Message fonts = Message::object();
    for (const auto& [name, face] : state.fonts) fonts[cp1252ToUtf8(name)] = {{"face", face}};
    Message ownPictures = Message::object();
    for (const auto& [name, file] : state.ownPictures) ownPictures[cp1252ToUtf8(name)] = file;
    Message event{
        {"type", "editor"},
        {"seq", seq},
        {"template", cp1252ToUtf8(state.templateName)},
        {"title", cp1252ToUtf8(state.title)},
        {"choices", {{"font", fonts}, {"image", chosenFiles(state.pictures)}, {"mp3", chosenFiles(state.sounds)}}},
        {"own", {{"image", ownPictures}}},
        {"unsaved", state.unsaved},
        {"canUndo", state.canUndo},
        {"canRedo", state.canRedo}};
    if (state.last) {
        Message last{{"command", cp1252ToUtf8(state.last->command)},
                     {"args", cp1252ToUtf8(state.last->args)},
                     {"outcome", outcomeName(state.last->outcome)}};
        if (state.last->outcome == CommandOutcome::done && !state.last->saved.empty())
            last["saved"] = state.last->saved;
        event["last"] = std::move(last);
    }
    return event;
}

std::optional<UiEvent> uiEventOf(const Message& event) {
    std::optional<std::string> type = textOf(member(event, "type"));
    if (type == "fsCommand") {
        std::optional<std::string> player = textOf(member(event, "player"));
        std::optional<Player> named = player ? playerNamed(*player) : std::nullopt;
        std::optional<std::string> command = textOf(member(event, "command"));
        // An FSCommand without an argument is the empty one.
        const Message* args = member(event, "args");
        if (!named || !command || (args && !args->is_string())) return std::nullopt;
        UiEvent ui;
        ui.kind = UiEvent::Kind::fsCommand;
        ui.player = *named;
        ui.command = utf8ToCp1252(*command);
        if (args) ui.args = utf8ToCp1252(args->get<std::string>());
        return ui;
    }
    if (type == "escape") {
        std::optional<std::string> window = textOf(member(event, "window"));
        if (window != "main" && window != "fullscreen") return std::nullopt;
        UiEvent ui;
        ui.kind = UiEvent::Kind::escape;
        ui.fullscreen = window == "fullscreen";
        return ui;
    }
    return std::nullopt;
}

}  // namespace tarvenox::web
