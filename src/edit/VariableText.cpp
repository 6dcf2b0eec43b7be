// Texts from a front end and typed variables.
#include "edit/VariableText.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "common/Cp1252.h"
#include "common/Exception.h"
#include "common/Texts.h"

namespace tarvenox {

std::optional<std::string> productText(std::string_view utf8) {
    bool lossless = false;
    std::string text = utf8ToCp1252(utf8, &lossless);
    if (!lossless) return std::nullopt;
    return text;
}

std::optional<std::string> editableText(std::string_view utf8) {
    std::optional<std::string> text = productText(utf8);
    if (!text || text->find('\0') != std::string::npos) return std::nullopt;
    return text;
}

namespace {

// The id of the refusal of a value its type would take only in part, or nullptr when the
// whole value is one of its type. A movie reads a number's leading digits and any word
// but "true" as false, so "1,5" would be written as 1 and "yes" as false without a word.
const char* partialValue(char type, std::string_view value) {
    // from_chars takes a "-" only; a "+" before the number is read as the movie reads it.
    if (type != 'b' && value.starts_with('+') && !value.starts_with("+-")) value.remove_prefix(1);
    const char* end = value.data() + value.size();
    switch (type) {
        case 'i': {
            std::int32_t number = 0;
            const auto read = std::from_chars(value.data(), end, number);
            return read.ec == std::errc() && read.ptr == end ? nullptr : "variable.notInteger";
        }
        case 'd': {
            double number = 0;
            const auto read = std::from_chars(value.data(), end, number);
            return read.ec == std::errc() && read.ptr == end && std::isfinite(number) ? nullptr : "variable.notNumber";
        }
        case 'b': return value == "true" || value == "false" ? nullptr : "variable.notFlag";
        default: return nullptr;
    }
}

}  // namespace

Report parseTypedVariable(const std::string& spec, std::unique_ptr<SWFType>& variable) {
    Report report;
    const std::size_t equals = spec.find('=');
    if (equals == std::string::npos) {
        report.fail(text("variable.notNameValue", {spec}));
        return report;
    }
    std::string name = spec.substr(0, equals);
    char type = 's';
    if (name.size() >= 2 && name[name.size() - 2] == ':' &&
        std::string_view("sbdi").find(name.back()) != std::string_view::npos) {
        type = name.back();
        name.resize(name.size() - 2);
    }
    if (name.empty()) {
        report.fail(text("variable.noName", {spec}));
        return report;
    }
    auto productName = productText(name);
    auto productValue = productText(spec.substr(equals + 1));
    if (!productName || !productValue) {
        report.fail(text("variable.notWindows1252", {spec}));
        return report;
    }
    if (const char* refusal = partialValue(type, *productValue)) {
        report.fail(text(refusal, {spec}));
        return report;
    }
    variable = makeSWFType(type, std::move(*productName), std::move(*productValue));
    return report;
}

Report setDeclaredVariable(ActionVariables& variables, const std::string& name, const std::string& value) {
    Report report;
    bool declared = false;
    std::string names;
    for (auto& variable : variables) {
        if (variable->getName() == name) {
            variable->setValue(value);
            declared = true;
        }
        names += (names.empty() ? "" : ", ") + displayText(variable->getName());
    }
    if (!declared) {
        report.fail(names.empty() ? text("variable.undeclaredNone", {displayText(name)})
                                  : text("variable.undeclared", {displayText(name), names}));
    }
    return report;
}

Report checkWritable(const SWFType& variable) {
    Report report;
    Bytes bytes;
    try {
        variable.appendActionBytes(bytes, MovieTextEncoding::Utf8);
    } catch (const Exception& e) {
        report.fail(e.getMessage());
    }
    return report;
}

}  // namespace tarvenox
