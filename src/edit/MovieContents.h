// What a save can change in a movie: its pictures, fonts, sounds, texts, static texts,
// variables and background colour, read from the movie itself. A plain movie and an
// installation's template are described by the same function.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvenox {

class SWFFile;

// Every slot is addressed on the command line by its name: an export name (pictures,
// sounds) or font name (fonts) where the movie gives one that leads to it, else its
// character id as decimal text. Names are product texts in Windows-1252; the contents
// of texts are UTF-8.

struct FontSlot {
    std::string name;
    std::uint16_t id = 0;
    std::string kind;  // "DefineFont2" or "DefineFont3"
    std::uint16_t glyphCount = 0;
};

// A rectangle on the stage in pixels.
struct StageBounds {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// A shape that shows a picture, placed by the first frame at the top level.
struct PicturePlacement {
    std::uint16_t shapeId = 0;
    StageBounds bounds;
};

struct PictureSlot {
    std::string name;
    std::uint16_t id = 0;
    std::string kind;         // "jpeg" or "lossless"
    std::string tag;          // the tag's name, such as "DefineBitsJPEG3"
    std::uint16_t width = 0;  // pixels, from the picture's header; 0 x 0 where it holds none
    std::uint16_t height = 0;
    bool alpha = false;
    std::vector<std::uint16_t> shapes;  // the shapes whose fill styles show it
    std::vector<PicturePlacement> placements;
};

struct SoundSlot {
    std::string name;
    std::uint16_t id = 0;
    std::string format;  // "MP3", "ADPCM", ...
    int rate = 0;        // Hz
    std::uint32_t sampleCount = 0;
};

// A font a text uses: its id and its name (empty for a font without one).
struct FontUse {
    std::string name;
    std::uint16_t id = 0;
};

// A text field bound to a variable (DefineEditText).
struct TextSlot {
    std::string variable;
    std::uint16_t id = 0;
    std::string text;  // UTF-8; the initial text, empty when the field has none
    std::optional<FontUse> font;
};

// A static text (DefineText, DefineText2).
struct StaticTextSlot {
    std::uint16_t id = 0;
    std::string text;  // UTF-8, '\n' between lines (see font/StaticTextString.h)
    std::vector<FontUse> fonts;
};

struct TemplateVariable {
    std::string name;   // Windows-1252
    char type = 's';    // 's', 'b', 'd' or 'i'
    std::string value;  // Windows-1252
};

struct MovieContents {
    std::string error;                  // what is wrong with the movie when it cannot be read completely
    std::vector<FontSlot> fonts;        // in file order
    std::vector<PictureSlot> pictures;  // in file order
    std::vector<SoundSlot> sounds;      // in file order
    std::vector<TextSlot> texts;        // in file order
    std::vector<StaticTextSlot> staticTexts;
    std::vector<TemplateVariable> variables;
    std::optional<std::int32_t> background;  // 0xRRGGBB
};

// What the movie lets a save change. The variables are the assignments of the movie's
// first DoAction, where it lies in the first frame, outside function bodies, typed by
// the value pushed (a string, also from the constant pool, 's'; a boolean 'b'; a number
// 'd'; an integer 'i'; other values are left out). A tag that cannot be read is left out.
// Reads the header of each picture, not its pixels; the work grows with the number of
// tags and text records, never with the size of a picture or sound.
MovieContents describeChangeable(const SWFFile& movie);

// The slot name of a character without a name of its own: its id as decimal text.
std::string idName(std::uint16_t id);

}  // namespace tarvenox
