// The product's installation values ("cdpath", "dbFilesCount", "dbFile" + k), read from
// a text file of name=value lines that the installation writes. Never written here.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace tarvenox {

class Registry {
public:
    // Reads the file; a file that is missing or cannot be read has no values. Lines are
    // "name=value" (the name up to the first "="; a CR before the line end is dropped);
    // blank lines, lines starting with "#" and lines without "=" are skipped. A name
    // given twice keeps its last value.
    explicit Registry(const std::string& path);

    // $TARVENOX_REGISTRY when set, else $XDG_CONFIG_HOME/tarvenox/registry, else
    // ~/.config/tarvenox/registry; empty when none of them can be formed.
    static std::string defaultPath();

    std::optional<std::string> text(const std::string& name) const;
    // A decimal number from 0 to 4294967295; a value that is not one counts as absent.
    std::optional<std::uint32_t> number(const std::string& name) const;

    const std::map<std::string, std::string>& values() const { return values_; }

private:
    std::map<std::string, std::string> values_;
};

}  // namespace tarvenox
