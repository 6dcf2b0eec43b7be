// Writing file databases.
#include "data/ArchiveWriter.h"

#include <cstdint>
#include <limits>

#include "common/Texts.h"
#include "data/FileDatabase.h"

namespace tarvenox {

namespace {

void appendU32BE(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
    }
}

constexpr std::uint64_t maxU32 = std::numeric_limits<std::uint32_t>::max();

}  // namespace

Result<Bytes> buildArchive(const std::vector<ArchiveFile>& files) {
    if (files.size() > maxU32) {
        return Report::failure(text("archive.tooManyFiles"));
    }
    // The signature and the integer at offset 4 are not read back; they mark the
    // writer and its format version for people looking at the bytes.
    Bytes out{'T', 'V', 'D', 'B'};
    appendU32BE(out, 1);
    appendU32BE(out, static_cast<std::uint32_t>(files.size()));
    for (const ArchiveFile& file : files) {
        if (file.name.empty() || file.name.size() > FileDatabase::maxNameLength ||
            file.name.find('\0') != std::string::npos) {
            return Report::failure(text("archive.badName", {file.name, std::to_string(FileDatabase::maxNameLength)}));
        }
        if (file.data.size() > maxU32) {
            return Report::failure(text("archive.fileTooLarge", {file.name}));
        }
        out.insert(out.end(), file.name.begin(), file.name.end());
        out.push_back(0);
        appendU32BE(out, static_cast<std::uint32_t>(file.data.size()));
    }
    for (const ArchiveFile& file : files) {
        out.insert(out.end(), file.data.begin(), file.data.end());
    }
    return out;
}

}  // namespace tarvenox
