// The mounted optical media, found in the kernel's mount table.
#include "ui/OpticalMedia.h"

#include <array>
#include <fstream>
#include <iterator>

namespace tarvenox {
namespace {

// The file systems of optical discs: iso9660 for CDs (and most DVDs' bridge format),
// udf for DVDs and Blu-ray discs.
constexpr std::array<std::string_view, 2> opticalTypes{"iso9660", "udf"};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isOctal(char c) { return c >= '0' && c <= '7'; }

// A field with the kernel's escapes "\ooo" (three octal digits) decoded; a backslash not
// followed by three octal digits stays as it is.
std::string unescaped(std::string_view field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) && isOctal(field[i + 2]) &&
            isOctal(field[i + 3])) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

// The line's first fields, split at runs of blanks.
std::vector<std::string_view> fieldsOf(std::string_view line, std::size_t wanted) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (fields.size() < wanted) {
        while (at < line.size() && isBlank(line[at])) ++at;
        if (at == line.size()) break;
        std::size_t end = at;
        while (end < line.size() && !isBlank(line[end])) ++end;
        fields.push_back(line.substr(at, end - at));
        at = end;
    }
    return fields;
}

}  // namespace

std::vector<std::string> opticalMediaRoots(std::string_view mountsText) {
    std::vector<std::string> roots;
    while (!mountsText.empty()) {
        std::size_t end = mountsText.find('\n');
        std::string_view line = mountsText.substr(0, end);
        mountsText.remove_prefix(end == std::string_view::npos ? mountsText.size() : end + 1);
        std::vector<std::string_view> fields = fieldsOf(line, 3);
        if (fields.size() < 3) continue;
        for (std::string_view type : opticalTypes) {
            if (fields[2] == type) roots.push_back(unescaped(fields[1]));
        }
    }
    return roots;
}

std::vector<std::string> mountedOpticalMedia() {
    // The file's size shows as 0: it is read to its end rather than by its size.
    std::ifstream mounts("/proc/self/mounts");
    std::string text{std::istreambuf_iterator<char>(mounts), std::istreambuf_iterator<char>()};
    return opticalMediaRoots(text);
}

}  // namespace tarvenox
