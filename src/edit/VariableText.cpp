// Texts from a front end and typed variables.
#include "edit/VariableText.h"

#include "common/Cp1252.h"
#include "common/Exception.h"

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

Report parseTypedVariable(const std::string& spec, std::unique_ptr<SWFType>& variable) {
    Report report;
    const std::size_t equals = spec.find('=');
    if (equals == std::string::npos) {
        report.fail("'" + spec + "' is not NAME=VALUE");
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
        report.fail("'" + spec + "' has no variable name");
        return report;
    }
    auto productName = productText(name);
    auto productValue = productText(spec.substr(equals + 1));
    if (!productName || !productValue) {
        report.fail("'" + spec + "' has characters that Windows-1252 cannot represent");
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
        report.fail("no variable '" + displayText(name) + "' (" +
                    (names.empty() ? "it declares none" : "it declares " + names) + ")");
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
