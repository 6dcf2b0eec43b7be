// Writes the template movies of the demo installation ("greeting" and "sale") and,
// for the player check, a description of where each template shows what. The variables'
// defaults come from the installation's configs.txt and the poster's price label from its
// form (DEMO_DIR, the texts of one language), the music from MEDIA_DIR.
//   demo_templates DEMO_DIR MEDIA_DIR OUT_DIR [LAYOUT.json]
#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "TemplateBuilder.h"
#include "common/Cp1252.h"
#include "common/Log.h"
#include "common/WholeFile.h"
#include "data/TextTable.h"

using namespace tarvenox;
using namespace tarvenox::tools;

namespace {

std::uint32_t opaque(int r, int g, int b) {
    auto clamp = [](int v) { return static_cast<std::uint32_t>(std::max(0, std::min(255, v))); };
    return 0xFF000000u | clamp(r) << 16 | clamp(g) << 8 | clamp(b);
}

// A landscape at dusk: a sky fading to orange, a sun and two rows of hills.
Pixels landscape(int width, int height) {
    Pixels p{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double t = static_cast<double>(y) / height;
            std::uint32_t colour =
                opaque(70 + static_cast<int>(180 * t), 110 + static_cast<int>(60 * t), 200 - static_cast<int>(120 * t));
            double sunX = x - width * 0.68, sunY = y - height * 0.42;
            if (sunX * sunX + sunY * sunY < (height * 0.14) * (height * 0.14)) colour = opaque(255, 214, 90);
            double far = height * (0.62 + 0.08 * std::sin(x * 6.0 / width));
            double near = height * (0.78 + 0.06 * std::sin(x * 9.0 / width + 1.5));
            if (y > far) colour = opaque(60, 120, 70);
            if (y > near) colour = opaque(35, 85, 45);
            p.argb[static_cast<std::size_t>(y) * width + x] = colour;
        }
    }
    return p;
}

// A red gift box with a golden ribbon on a pale ground.
Pixels giftBox(int width, int height) {
    Pixels p{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool inBox = x > width / 8 && x < width * 7 / 8 && y > height / 4 && y < height * 15 / 16;
            bool inLid = x > width / 12 && x < width * 11 / 12 && y > height / 5 && y <= height * 3 / 8;
            bool ribbon = std::abs(x - width / 2) < width / 14 || (inBox && std::abs(y - height * 5 / 8) < height / 16);
            std::uint32_t colour = opaque(250, 244, 232);
            if (inBox || inLid)
                colour = ribbon ? opaque(240, 190, 40) : inLid ? opaque(170, 30, 45) : opaque(200, 40, 55);
            else if (ribbon && y < height / 5 && y > height / 12)
                colour = opaque(240, 190, 40);
            p.argb[static_cast<std::size_t>(y) * width + x] = colour;
        }
    }
    return p;
}

TextField field(std::string variable, std::uint16_t fontId, int sizePx, std::uint32_t rgb, StageRect place) {
    TextField f;
    f.variable = std::move(variable);
    f.fontId = fontId;
    f.sizePx = sizePx;
    f.rgb = rgb;
    f.place = place;
    return f;
}

TextField aligned(TextField f, int align) {
    f.align = align;
    return f;
}

// The movie's variables with their defaults from configs.txt, as a save of the
// unchanged template writes them.
void setVariables(TemplateBuilder& builder, const TextTable& configs, const std::string& movie) {
    ActionVariables variables;
    buildActionVariables(configs, movie, variables);
    builder.setVariables(variables);
}

// Where the template shows what, and the values its variables show before any change.
nlohmann::json describe(const TemplateBuilder& builder, int width, int height, std::uint32_t background,
                        const TextTable& configs, const std::string& movie) {
    nlohmann::json items = nlohmann::json::array();
    for (const auto& item : builder.layout()) {
        nlohmann::json entry = {{"kind", item.kind}, {"name", cp1252ToUtf8(item.name)}, {"x", item.place.x},
                                {"y", item.place.y}, {"width", item.place.width},       {"height", item.place.height}};
        if (item.kind == "text") {
            entry.update({{"font", cp1252ToUtf8(item.font)},
                          {"face", item.face},
                          {"size", item.sizePx},
                          {"multiline", item.multiline}});
        }
        items.push_back(entry);
    }
    ActionVariables variables;
    buildActionVariables(configs, movie, variables);
    nlohmann::json values = nlohmann::json::object();
    for (const auto& variable : variables)
        values[cp1252ToUtf8(variable->getName())] = cp1252ToUtf8(variable->getValueText());
    return {{"width", width}, {"height", height}, {"background", background}, {"items", items}, {"values", values}};
}

void write(TemplateBuilder& builder, const std::string& path) {
    if (const Report written = builder.write(path); written.failed()) throw std::runtime_error(written.reason());
}

void addSound(TemplateBuilder& builder, const std::string& exportName, const std::string& path) {
    if (const Report added = builder.addSound(exportName, path); added.failed()) throw std::runtime_error(added.text());
}

// A greeting card: a title, a picture, a message of several lines, a signature and music.
nlohmann::json greeting(const std::string& out, const std::string& media, const TextTable& configs) {
    const int width = 550, height = 400;
    const std::uint32_t background = 0x1F3B5C;
    TemplateBuilder card(width, height, 12);
    card.setBackground(background);
    std::uint16_t headline = card.addFont("Headline", "DejaVu Serif");
    std::uint16_t body = card.addFont("Body", "DejaVu Sans");
    card.addPicture("photo", landscape(160, 120), {30, 110, 200, 150});
    card.addTextField(aligned(field("title", headline, 36, 0xFFFFFF, {30, 30, 490, 56}), 2));
    TextField message = field("message", body, 16, 0xE8EEF5, {260, 110, 260, 150});
    message.multiline = true;
    card.addTextField(message);
    card.addTextField(aligned(field("sender", body, 20, 0xFFD27F, {260, 290, 260, 34}), 1));
    addSound(card, "music", media + "/greeting-music.mp3");
    setVariables(card, configs, "greeting");
    card.addFrameActions(ActionWriter().op(action::kStop));  // the card stays on its one frame
    write(card, out + "/greeting.swf");
    return describe(card, width, height, background, configs, "greeting");
}

// A sale poster: a headline, the product's picture, a price, the year of the offer and a
// badge that a switch shows or hides. A movie of version 6, so its texts are UTF-8, while
// the greeting card (version 5) keeps them in Windows-1252.
nlohmann::json sale(const std::string& out, const std::string& media, const TextTable& configs,
                    const std::string& priceLabel) {
    const int width = 400, height = 300;
    const std::uint32_t background = 0xF4E9D8;
    TemplateBuilder poster(width, height, 12, 6);
    poster.setBackground(background);
    std::uint16_t headline = poster.addFont("Headline", "DejaVu Sans");
    poster.addPicture("product", giftBox(96, 96), {20, 80, 160, 160});
    poster.addBadge("badge", 0xD62828, {300, 20, 80, 40});
    poster.addTextField(field("headline", headline, 28, 0x3D2C1E, {20, 20, 270, 44}));
    TextField label = field("", headline, 18, 0x3D2C1E, {200, 100, 80, 28});
    label.text = priceLabel + ":";
    poster.addTextField(label);
    poster.addTextField(field("price", headline, 30, 0xA4161A, {200, 130, 180, 44}));
    poster.addTextField(field("year", headline, 16, 0x3D2C1E, {200, 200, 180, 28}));
    addSound(poster, "jingle", media + "/sale-jingle.mp3");
    setVariables(poster, configs, "sale");
    // if (!showBadge) badge._visible = false; stop();
    ActionWriter actions;
    actions.ifElse(ActionWriter().getVariable("showBadge").op(action::kNot),
                   ActionWriter().setVisible("badge", ActionWriter().pushValues({false})));
    poster.addFrameActions(actions.op(action::kStop));
    write(poster, out + "/sale.swf");
    return describe(poster, width, height, background, configs, "sale");
}

// The label of a form's row named name (NConfig.txt: kind, name, label), in the form's
// Windows-1252.
std::string formLabel(const std::string& form, const std::string& name) {
    TextTable rows(readWholeFile(form));
    for (int row = 0; row < rows.rowCount(); ++row) {
        if (rows.cell(1, row) == name) return rows.cell(2, row);
    }
    throw std::runtime_error(form + ": no row " + name);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr, "usage: demo_templates DEMO_DIR MEDIA_DIR OUT_DIR [LAYOUT.json]\n");
        return 2;
    }
    setLogStream(nullptr);  // a build step: quiet unless something fails
    try {
        const std::string demo = argv[1], media = argv[2], out = argv[3];
        TextTable configs(readWholeFile(demo + "/configs.txt"));
        if (configs.rowCount() == 0) throw std::runtime_error(demo + "/configs.txt: no variables");
        nlohmann::json layout;
        layout["greeting"] = greeting(out, media, configs);
        layout["sale"] = sale(out, media, configs, formLabel(demo + "/swf/saleConfig.txt", "price"));
        if (argc == 5) {
            std::ofstream file(argv[4]);
            file << layout.dump(2) << '\n';
            if (!file) throw std::runtime_error(std::string(argv[4]) + ": cannot be written");
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo_templates: %s\n", e.what());
        return 1;
    }
    return 0;
}
