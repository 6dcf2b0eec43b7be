// Writes template movies: a stage with texts bound to variables, pictures, music and the
// variables' defaults, in the shape the customisation expects to find them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ShapeOutline.h"
#include "common/Bytes.h"
#include "common/Report.h"
#include "swf/ActionWriter.h"
#include "swf/SWFTag.h"
#include "swf/SWFType.h"

namespace tarvenox::tools {

// A rectangle on the stage, in pixels (20 twips each).
struct StageRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Pixels of a picture, 0xAARRGGBB, row by row from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
};

struct TextField {
    std::string variable{};    // the variable the field shows (Windows-1252), may be empty
    std::string text{};        // the text shown before any variable is set (Windows-1252)
    std::uint16_t fontId = 0;  // a font of addFont or addDeviceFont
    int sizePx = 20;           // font height in pixels
    std::uint32_t rgb = 0;     // text colour
    StageRect place;
    bool multiline = false;  // several lines, wrapped at the field's width
    int align = 0;           // 0 left, 1 right, 2 centre
    bool editable = false;   // an input field the user types into; else read-only and not selectable
    bool border = false;     // a border around a white ground
};

// One thing a person sees or hears in a template, and where: what the player check needs
// to know about a template.
struct LayoutItem {
    std::string kind{};  // "picture", "text", "shape" or "sound" (which has no place)
    std::string name{};  // export name, variable or shape name
    StageRect place{};
    // Texts: the template's font name, the installed face it was built from, the size
    // in pixels, and whether the field wraps its text over several lines.
    std::string font{};
    std::string face{};
    int sizePx = 0;
    bool multiline = false;
};

class TemplateBuilder {
public:
    // A movie of the SWF version: 5 keeps its texts in Windows-1252, 6 and later in
    // UTF-8 with Unicode font codes, as a save writes them.
    TemplateBuilder(int widthPx, int heightPx, double frameRate, std::uint8_t version = 5);

    void setBackground(std::uint32_t rgb) { background_ = rgb; }

    // A DefineFont2 named fontName (Windows-1252) with the 224 glyphs of codes 32-255 of the installed
    // face, made by the engine's font conversion. Returns the font's character id.
    std::uint16_t addFont(const std::string& fontName, const std::string& faceName);

    // A font without glyphs: its texts are drawn by the player with the system face
    // that the name stands for ("_sans", "_serif", "_typewriter"). Returns its id.
    std::uint16_t addDeviceFont(const std::string& fontName);

    // A DefineEditText bound to its variable, placed on the stage.
    void addTextField(const TextField& field);

    // The outlines, placed with their origin at (x, y).
    void addShape(const ShapeOutline& shape, int x, int y);

    // A button over place that shows nothing until the pointer is over it (lighter) or
    // presses it (darker), and runs the actions when it is released over it. What it is
    // for (a label, a ground) is drawn beneath it.
    void addButton(StageRect place, const ActionWriter& actions);

    // A movie clip: what is added from beginClip to endClip is placed in the clip,
    // relative to its origin, instead of on the stage. endClip defines the clip with one
    // frame per entry of frames (at least one) running that entry's actions; the clip
    // then loops over its frames. placeClip puts it on the stage (or into the clip being
    // built) under instanceName, so that actions can reach it.
    void beginClip();
    std::uint16_t endClip(const std::vector<ActionWriter>& frames = {});
    void placeClip(std::uint16_t clipId, int x, int y, const std::string& instanceName);

    // A DefineBitsLossless of the pixels, exported under exportName, shown by a rectangle
    // filled with it (a clipped bitmap fill scaled to the rectangle).
    void addPicture(const std::string& exportName, const Pixels& pixels, StageRect place);

    // A solid rectangle inside a movie clip placed under instanceName, so that actions can
    // show or hide it.
    void addBadge(const std::string& instanceName, std::uint32_t rgb, StageRect place);

    // A DefineSound made from the MP3 file by the engine's sound import, exported under
    // exportName and started on the first frame; refused (the engine's message) when the
    // file gives no sound.
    Report addSound(const std::string& exportName, const std::string& mp3Path);

    // The variables whose defaults the first DoAction sets, in list order, written as a
    // save writes them.
    void setVariables(const ActionVariables& variables);

    // ActionWriter run after the defaults are set, in a DoAction of their own (the first
    // DoAction is rewritten by every save, this one is kept). The body needs no ActionEnd.
    void addFrameActions(const ActionWriter& actions);

    // The uncompressed movie. The builder hands its tags to the movie: write once.
    Report write(const std::string& path);

    const std::vector<LayoutItem>& layout() const { return layout_; }

private:
    // What a timeline places, and at which depth the next one goes.
    struct Timeline {
        std::vector<std::unique_ptr<SWFTag>> tags;
        std::uint16_t nextDepth = 1;
    };

    std::uint16_t nextId() { return nextId_++; }
    void define(TagCode code, Bytes body);
    void place(std::uint16_t id, int x, int y, const std::string& instanceName = {});
    std::uint16_t defineShape(const ShapeOutline& shape);
    void exportAsset(std::uint16_t id, const std::string& name);

    int widthPx_;
    int heightPx_;
    double frameRate_;
    std::uint8_t version_;
    MovieTextEncoding encoding_;
    std::uint32_t background_ = 0xFFFFFF;
    std::uint16_t nextId_ = 1;
    std::vector<std::unique_ptr<SWFTag>> definitions_;
    std::vector<std::unique_ptr<SWFTag>> exports_;
    std::vector<Timeline> timelines_{1};  // the main timeline, then the clips being built
    Bytes defaults_ = {0x00};             // the first DoAction's body
    std::vector<Bytes> frameActions_;
    std::vector<LayoutItem> layout_;
    std::map<std::uint16_t, std::pair<std::string, std::string>> fonts_;  // id: name, face ("" for a device font)
};

// A DefineShape body: a rectangle from (0, 0) to (width, height) twips, with one fill.
// fillStyle is the complete FILLSTYLE record.
Bytes rectangleShape(std::uint16_t id, std::int32_t width, std::int32_t height, const Bytes& fillStyle);

}  // namespace tarvenox::tools
