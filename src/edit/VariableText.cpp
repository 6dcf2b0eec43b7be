// Texts from a front end and typed variables.
#include "edit/VariableText.h"

#include "common/Cp1252.h"

namespace tarvenox {

std::optional<std::string> productText(std::string_view utf8) {
    bool lossless = false;
    std::string text = utf8ToCp1252(utf8, &lossless);
    if (!lossless) return std::nullopt;
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

}  // namespace tarvenox
