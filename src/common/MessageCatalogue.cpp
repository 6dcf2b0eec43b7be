// A compiled gettext catalogue read into a table.
#include "common/MessageCatalogue.h"

#include <cstdint>

#include "common/ByteReader.h"
#include "common/Bytes.h"

namespace tarvenox {

namespace {

// The .mo layout (GNU gettext manual, "The Format of GNU MO Files"): a magic number that
// also tells the byte order, a revision, the number of strings, and the offsets of two
// tables of (length, offset) pairs: the ids, then their translations, in the same order.
constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::uint32_t kMagicSwapped = 0xde120495;

struct Reader {
    ByteSpan bytes;
    bool bigEndian;

    std::optional<std::uint32_t> word(std::size_t at) const {
        if (at > bytes.size() || bytes.size() - at < 4) return std::nullopt;
        ByteReader reader(bytes.subspan(at, 4));
        return bigEndian ? reader.readU32BE() : reader.readU32LE();
    }

    // The string of entry i of the table at `table`.
    std::optional<std::string> string(std::uint32_t table, std::uint32_t i) const {
        const std::size_t at = static_cast<std::size_t>(table) + 8 * static_cast<std::size_t>(i);
        auto length = word(at);
        auto offset = word(at + 4);
        if (!length || !offset || *offset > bytes.size() || bytes.size() - *offset < *length) return std::nullopt;
        return asString(bytes.subspan(*offset, *length));
    }
};

}  // namespace

std::optional<std::map<std::string, std::string, std::less<>>> readMessageCatalogue(std::string_view data) {
    Reader reader{asBytes(data), false};
    auto magic = reader.word(0);
    if (!magic || (*magic != kMagic && *magic != kMagicSwapped)) return std::nullopt;
    reader.bigEndian = *magic == kMagicSwapped;
    auto count = reader.word(8);
    auto ids = reader.word(12);
    auto translations = reader.word(16);
    if (!count || !ids || !translations) return std::nullopt;
    std::map<std::string, std::string, std::less<>> table;
    for (std::uint32_t i = 0; i < *count; ++i) {
        auto id = reader.string(*ids, i);
        auto translation = reader.string(*translations, i);
        if (!id || !translation) return std::nullopt;
        if (!id->empty()) table.emplace(std::move(*id), std::move(*translation));
    }
    return table;
}

}  // namespace tarvenox
