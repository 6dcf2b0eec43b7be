// Writes the interface movie of the demo's Flash skin installation ("skin.swf"), its
// fullscreen close button ("button.swf") and, for the browser check, where the skin shows
// each control. The skin lists the templates of "skin.txt" and edits the greeting card's
// title; the font it offers to replace is the one of that title, read from the templates'
// layout that demo_templates writes.
//   demo_skin TEMPLATE_LAYOUT.json OUT_DIR SKIN_LAYOUT.json
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "TemplateBuilder.h"
#include "common/Log.h"

using namespace tarvenox;
using namespace tarvenox::tools;

namespace {

// The design screen of an interface movie; the host stretches it over the whole page.
constexpr int kWidth = 800, kHeight = 600;
// Where the host shows the preview on that screen: nothing of the skin may cover it.
constexpr StageRect kViewerBox{400, 212, 301, 268};
// The template list's places: as many as the skin shows, whatever "skin.txt" lists.
constexpr int kEntries = 6;

constexpr std::uint32_t kGround = 0x1B2130, kHeader = 0x121722, kPanel = 0x262E40, kEntry = 0x33405A,
                        kAccent = 0x3D7BF2, kQuiet = 0x46526C, kText = 0xE9EDF5, kMuted = 0x9AA6BD, kReady = 0x3CCB7F;

StageRect entryPlace(int i) { return {24, 104 + 52 * i, 352, 44}; }

nlohmann::json rectJson(StageRect r) { return {{"x", r.x}, {"y", r.y}, {"width", r.width}, {"height", r.height}}; }

std::uint32_t opaque(std::uint32_t rgb) { return rgb << 8 | 0xFF; }

class SkinWriter {
public:
    explicit SkinWriter(const std::string& templateFont) : templateFont_(templateFont), skin_(kWidth, kHeight, 12) {
        skin_.setBackground(kGround);
        font_ = skin_.addDeviceFont("_sans");
    }

    void write(const std::string& path) {
        panels();
        templateList();
        editor();
        commands();
        // The variables of "skin.txt" go into a clip of their own: loaded onto the main
        // timeline, its "title" (the installation's) would take the place of the greeting
        // card's "title" that the host sets there.
        skin_.beginClip();
        skin_.placeClip(skin_.endClip(), 0, 0, "texts");
        skin_.addFrameActions(ActionWriter().loadVariables("skin.txt", "texts").op(action::kStop));
        // The main timeline stops; a clip of two frames keeps the skin following what
        // the host and "skin.txt" set.
        skin_.beginClip();
        skin_.placeClip(skin_.endClip({tick(), ActionWriter()}), 0, 0, "ticker");
        save(skin_, path);
    }

    nlohmann::json layout() const {
        nlohmann::json entries = nlohmann::json::array();
        for (int i = 0; i < kEntries; ++i) entries.push_back(rectJson(entryPlace(i)));
        return {{"width", kWidth},
                {"height", kHeight},
                {"viewerBox", rectJson(kViewerBox)},
                {"entries", entries},
                {"controls", controls_},
                {"fields", fields_},
                {"entryColor", kEntry},
                {"readyColor", kReady},
                {"background", kGround},
                {"templateFont", templateFont_}};
    }

    static void save(TemplateBuilder& movie, const std::string& path) {
        if (const Report written = movie.write(path); written.failed()) throw std::runtime_error(written.reason());
    }

private:
    TextField text(const std::string& variable, StageRect place, int sizePx, std::uint32_t rgb) const {
        return {.variable = variable, .fontId = font_, .sizePx = sizePx, .rgb = rgb, .place = place};
    }

    void label(const std::string& words, StageRect place, int sizePx, std::uint32_t rgb) {
        TextField field = text("", place, sizePx, rgb);
        field.text = words;
        skin_.addTextField(field);
    }

    void rectangle(std::uint32_t rgb, StageRect place) {
        skin_.addShape(ShapeOutline::rectangle(opaque(rgb), place.width, place.height), place.x, place.y);
    }

    // A button: its ground, its words (fixed, or the text of a variable) centred on it, and
    // the button that runs the actions.
    void button(const std::string& name, StageRect place, std::uint32_t rgb, const std::string& words,
                const std::string& variable, const ActionWriter& actions) {
        rectangle(rgb, place);
        TextField caption =
            text(variable, {place.x + 4, place.y + (place.height - 22) / 2, place.width - 8, 22}, 15, kText);
        caption.text = words;
        caption.align = 2;
        skin_.addTextField(caption);
        skin_.addButton(place, actions);
        controls_[name] = rectJson(place);
    }

    void field(const std::string& variable, StageRect place, int sizePx, std::uint32_t rgb) {
        skin_.addTextField(text(variable, place, sizePx, rgb));
        fields_[variable] = rectJson(place);
    }

    // The header, the list's panel and a frame around the preview's box (outside it).
    void panels() {
        rectangle(kHeader, {0, 0, kWidth, 56});
        rectangle(kPanel, {16, 64, 368, 464});
        const StageRect v = kViewerBox;
        rectangle(kQuiet, {v.x - 4, v.y - 4, v.width + 8, 4});
        rectangle(kQuiet, {v.x - 4, v.y + v.height, v.width + 8, 4});
        rectangle(kQuiet, {v.x - 4, v.y, 4, v.height});
        rectangle(kQuiet, {v.x + v.width, v.y, 4, v.height});
        field("heading", {24, 14, 560, 30}, 22, kText);
        label("Templates", {24, 72, 352, 24}, 14, kMuted);
        TextField intro = text("introText", {24, 424, 352, 96}, 13, kMuted);
        intro.multiline = true;
        skin_.addTextField(intro);
        fields_["introText"] = rectJson(intro.place);
        field("skin_currentPath", {24, 552, 352, 20}, 11, kMuted);
    }

    // One clip for every place of the list: its ground, the template's name and a button
    // that asks the host for the template the clip's "file" names, then for the preview,
    // which the host keeps hidden until the interface movie asks for it.
    void templateList() {
        skin_.beginClip();
        rectangle(kEntry, {0, 0, entryPlace(0).width, entryPlace(0).height});
        skin_.addTextField(text("label", {12, 11, entryPlace(0).width - 24, 24}, 16, kText));
        skin_.addButton(
            {0, 0, entryPlace(0).width, entryPlace(0).height},
            ActionWriter().fsCommand("selectMovie", ActionWriter().getVariable("file")).fsCommand("showViewer", ""));
        std::uint16_t entry = skin_.endClip();
        for (int i = 0; i < kEntries; ++i) {
            skin_.placeClip(entry, entryPlace(i).x, entryPlace(i).y, "entry" + std::to_string(i));
        }
    }

    // The greeting card's title, its background colour, the font of its title and the
    // widths the host sends for a chosen font.
    void editor() {
        label("Title", {400, 70, 64, 24}, 15, kMuted);
        TextField title = text("title", {472, 68, 304, 28}, 16, 0x10141C);
        title.editable = true;
        title.border = true;
        skin_.addTextField(title);
        controls_["title"] = rectJson(title.place);
        button("selectColor", {400, 108, 120, 32}, kQuiet, "Background", "",
               ActionWriter().fsCommand("selectColor", "_root.backgroundColor"));
        field("backgroundColor", {528, 114, 88, 22}, 14, kText);
        button("selectFont", {624, 108, 152, 32}, kQuiet, "Title font", "",
               ActionWriter().fsCommand("selectFont", templateFont_));
        label("Widths", {400, 152, 64, 22}, 14, kMuted);
        // A long hex text on one line: the field shows its start.
        field("widths", {472, 152, 304, 22}, 14, kText);
    }

    void commands() {
        button("apply", {400, 500, 120, 40}, kAccent, "", "applyLabel", ActionWriter().fsCommand("apply", ""));
        button("save", {528, 500, 120, 40}, kQuiet, "", "saveLabel", ActionWriter().fsCommand("clicked", "save"));
        button("fullscreen", {656, 500, 120, 40}, kQuiet, "Fullscreen", "",
               ActionWriter().fsCommand("clicked", "fullscreen"));
        button("quit", {696, 12, 80, 32}, kQuiet, "", "quitLabel", ActionWriter().fsCommand("clicked", "quit"));
        // Below the commands: a green light once the host has loaded a template, and
        // what to do next.
        skin_.beginClip();
        skin_.addShape(ShapeOutline::ellipse(opaque(kReady), 16, 16), 0, 0);
        skin_.placeClip(skin_.endClip(), 400, 556, "ready");
        fields_["ready"] = rectJson({400, 556, 16, 16});
        field("status", {424, 552, 352, 24}, 14, kText);
    }

    // What the ticker does a few times a second: the texts and the list from "skin.txt"
    // (none until it has loaded), and the status from the host's "editLoaded".
    static ActionWriter tick() {
        auto fromTexts = [](const std::string& name) { return ActionWriter().getVariable("_root.texts." + name); };
        ActionWriter actions;
        for (auto [shown, loaded] : {std::pair{"heading", "title"},
                                     {"introText", "intro"},
                                     {"applyLabel", "button_apply"},
                                     {"saveLabel", "button_save"},
                                     {"quitLabel", "button_quit"}}) {
            actions.setVariable(std::string("_root.") + shown, fromTexts(loaded));
        }
        for (int i = 0; i < kEntries; ++i) {
            const std::string entry = "_root.entry" + std::to_string(i), n = std::to_string(i);
            actions.setVisible(entry, ActionWriter().pushValues({i}).then(fromTexts("movies_count")).op(action::kLess));
            actions.setVariable(entry + ".label", fromTexts("movies_text" + n));
            actions.setVariable(entry + ".file", fromTexts("movies_file" + n));
        }
        auto isOne = [](const ActionWriter& value) { return ActionWriter(value).pushValues({1}).op(action::kEquals); };
        ActionWriter ready;
        ready.setVisible("_root.ready", ActionWriter().pushValues({true}));
        ready.setVariable("_root.status", ActionWriter()
                                              .pushValues({std::string("Ready: change the title, then ")})
                                              .getVariable("_root.applyLabel")
                                              .op(action::kStringAdd));
        ActionWriter waiting;
        waiting.setVisible("_root.ready", ActionWriter().pushValues({false}));
        waiting.ifElse(isOne(fromTexts("skintxt_end")), ActionWriter().setText("_root.status", "Choose a template"),
                       ActionWriter().setText("_root.status", "Loading skin.txt ..."));
        return actions.ifElse(isOne(ActionWriter().getVariable("_root.editLoaded")), ready, waiting);
    }

    std::string templateFont_;
    TemplateBuilder skin_;
    std::uint16_t font_ = 0;
    nlohmann::json controls_ = nlohmann::json::object();
    nlohmann::json fields_ = nlohmann::json::object();
};

// The fullscreen view's close button: a round button with a cross that sends "close".
// The host stretches it over its place and clips it to an ellipse.
void writeCloseButton(const std::string& path) {
    const int size = 100;
    TemplateBuilder button(size, size, 12);
    button.setBackground(kHeader);
    button.addShape(ShapeOutline::ellipse(opaque(kAccent), size, size), 0, 0);
    // A plus sign of arms 28 long and 8 wide, turned an eighth of a turn.
    const double arm = 28, half = 4, c = size / 2.0, turn = 0.70710678118654752;
    std::vector<std::pair<double, double>> cross;
    for (auto [x, y] : {std::pair{-half, -arm},
                        {half, -arm},
                        {half, -half},
                        {arm, -half},
                        {arm, half},
                        {half, half},
                        {half, arm},
                        {-half, arm},
                        {-half, half},
                        {-arm, half},
                        {-arm, -half},
                        {-half, -half}}) {
        cross.emplace_back(c + (x - y) * turn, c + (x + y) * turn);
    }
    button.addShape(ShapeOutline::polygon(opaque(kText), cross), 0, 0);
    button.addButton({0, 0, size, size}, ActionWriter().fsCommand("close", ""));
    button.addFrameActions(ActionWriter().op(action::kStop));
    SkinWriter::save(button, path);
}

// The font of the greeting card's title, from the templates' layout.
std::string titleFont(const std::string& layoutPath) {
    std::ifstream file(layoutPath);
    if (!file) throw std::runtime_error(layoutPath + ": cannot be read");
    const auto layout = nlohmann::json::parse(file);
    for (const auto& item : layout.at("greeting").at("items")) {
        if (item.at("kind") == "text" && item.at("name") == "title") return item.at("font").get<std::string>();
    }
    throw std::runtime_error(layoutPath + ": the greeting card has no title");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: demo_skin TEMPLATE_LAYOUT.json OUT_DIR SKIN_LAYOUT.json\n");
        return 2;
    }
    setLogStream(nullptr);  // a build step: quiet unless something fails
    try {
        const std::string out = argv[2];
        SkinWriter skin(titleFont(argv[1]));
        skin.write(out + "/skin.swf");
        writeCloseButton(out + "/button.swf");
        std::ofstream file(argv[3]);
        file << skin.layout().dump(2) << '\n';
        if (!file) throw std::runtime_error(std::string(argv[3]) + ": cannot be written");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo_skin: %s\n", e.what());
        return 1;
    }
    return 0;
}
