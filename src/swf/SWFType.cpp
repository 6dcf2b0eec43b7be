// Typed ActionScript variables.
#include "swf/SWFType.h"

#include <locale.h>

#include <bit>
#include <cerrno>
#include <cstdlib>
#include <limits>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "common/Exception.h"
#include "common/Texts.h"
#include "data/TextTable.h"

namespace tarvenox {

namespace {

// The "C" locale, so that a decimal point is always "." whatever the user's locale.
locale_t cLocale() {
    static locale_t locale = ::newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

Bytes cString(const std::string& text) {
    Bytes out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

}  // namespace

SWFType::SWFType(std::string name, std::string valueText) : name(std::move(name)), valueText(std::move(valueText)) {}

void SWFType::appendAssignment(Bytes& out, MovieTextEncoding encoding, PushType pushType, const Bytes& payload) const {
    if (name.find('\0') != std::string::npos) {
        throw Exception(text("variable.nameHasNul", {name}), __LINE__, __FILE__);
    }
    // The record: the name's push type, the name and its NUL, the value's push type and
    // its payload.
    const std::string movieName = toMovieText(name, encoding);
    std::size_t length = 1 + movieName.size() + 1 + 1 + payload.size();
    if (length > std::numeric_limits<std::uint16_t>::max()) {
        throw Exception(text("variable.tooLong", {name, std::to_string(length)}), __LINE__, __FILE__);
    }
    out.push_back(action::kPush);
    writeUI16(out, static_cast<std::uint32_t>(length));
    out.push_back(static_cast<std::uint8_t>(PushType::String));
    out.insert(out.end(), movieName.begin(), movieName.end());
    out.push_back(0);
    out.push_back(static_cast<std::uint8_t>(pushType));
    out.insert(out.end(), payload.begin(), payload.end());
    out.push_back(action::kSetVariable);
}

SWFStringType::SWFStringType(std::string name, std::string valueText)
    : SWFType(std::move(name), std::move(valueText)) {}

void SWFStringType::setValue(const std::string& text) { valueText = text; }

void SWFStringType::appendActionBytes(Bytes& out, MovieTextEncoding encoding) const {
    if (valueText.find('\0') != std::string::npos) {
        throw Exception(text("variable.valueHasNul", {name}), __LINE__, __FILE__);
    }
    appendAssignment(out, encoding, PushType::String, cString(toMovieText(valueText, encoding)));
}

SWFBoolType::SWFBoolType(std::string name, std::string valueText) : SWFType(std::move(name), std::move(valueText)) {
    SWFBoolType::setValue(this->valueText);
}

void SWFBoolType::setValue(const std::string& text) { flag = text == "true" ? 1 : 0; }

void SWFBoolType::appendActionBytes(Bytes& out, MovieTextEncoding encoding) const {
    appendAssignment(out, encoding, PushType::Boolean, Bytes{flag});
}

SWFDoubleType::SWFDoubleType(std::string name, std::string valueText) : SWFType(std::move(name), std::move(valueText)) {
    SWFDoubleType::setValue(this->valueText);
}

void SWFDoubleType::setValue(const std::string& text) {
    // atof's rules (leading blanks skipped, the longest number taken, 0 for none),
    // without its dependence on the process's locale.
    number = ::strtod_l(text.c_str(), nullptr, cLocale());
}

void SWFDoubleType::appendActionBytes(Bytes& out, MovieTextEncoding encoding) const {
    // The SWF format stores a pushed double as two little-endian 32-bit words, the
    // upper half of the IEEE 754 bit pattern first.
    auto bits = std::bit_cast<std::uint64_t>(number);
    Bytes payload;
    writeUI32(payload, static_cast<std::uint32_t>(bits >> 32));
    writeUI32(payload, static_cast<std::uint32_t>(bits & 0xFFFFFFFFu));
    appendAssignment(out, encoding, PushType::Double, payload);
}

SWFIntType::SWFIntType(std::string name, std::string valueText) : SWFType(std::move(name), std::move(valueText)) {
    SWFIntType::setValue(this->valueText);
}

void SWFIntType::setValue(const std::string& text) {
    // strtol saturates where atoi's result is undefined; the limits of 32 bits then
    // stand for anything beyond them.
    long long parsed = ::strtoll_l(text.c_str(), nullptr, 10, cLocale());
    constexpr long long lowest = std::numeric_limits<std::int32_t>::min();
    constexpr long long highest = std::numeric_limits<std::int32_t>::max();
    number = static_cast<std::int32_t>(parsed < lowest ? lowest : parsed > highest ? highest : parsed);
}

void SWFIntType::appendActionBytes(Bytes& out, MovieTextEncoding encoding) const {
    Bytes payload;
    writeUI32(payload, static_cast<std::uint32_t>(number));
    appendAssignment(out, encoding, PushType::Integer, payload);
}

std::unique_ptr<SWFType> makeSWFType(char typeLetter, std::string name, std::string valueText) {
    switch (typeLetter) {
        case 's': return std::make_unique<SWFStringType>(std::move(name), std::move(valueText));
        case 'b': return std::make_unique<SWFBoolType>(std::move(name), std::move(valueText));
        case 'd': return std::make_unique<SWFDoubleType>(std::move(name), std::move(valueText));
        case 'i': return std::make_unique<SWFIntType>(std::move(name), std::move(valueText));
        default: return nullptr;
    }
}

std::string unescapeConfigValue(std::string value) {
    for (std::size_t i = 0; i + 1 < value.size(); ++i) {
        if (value[i] == '\\' && value[i + 1] == 'n') {
            value[i] = ' ';
            value[i + 1] = '\r';
            ++i;
        }
    }
    return value;
}

void buildActionVariables(const TextTable& configTable, const std::string& movieBaseName, ActionVariables& variables) {
    variables.clear();
    for (int row = 0; row < configTable.rowCount(); ++row) {
        if (configTable.cell(0, row) != movieBaseName) continue;
        std::string type = configTable.cell(2, row);
        if (type.empty()) continue;
        auto variable =
            makeSWFType(type.front(), configTable.cell(1, row), unescapeConfigValue(configTable.cell(3, row)));
        if (variable) variables.push_back(std::move(variable));
    }
}

Bytes actionBytes(const ActionVariables& variables, MovieTextEncoding encoding) {
    Bytes out;
    for (const auto& variable : variables) variable->appendActionBytes(out, encoding);
    out.push_back(action::kEnd);
    return out;
}

}  // namespace tarvenox
