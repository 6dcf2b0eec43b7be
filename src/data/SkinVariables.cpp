// "skin.txt".
#include "data/SkinVariables.h"

#include <algorithm>
#include <map>
#include <vector>

#include "common/FileIO.h"
#include "common/Log.h"
#include "data/ProductNames.h"
#include "data/TextTable.h"

namespace tarvenox {

namespace {

std::string replaced(std::string text, char from, char to) {
    std::replace(text.begin(), text.end(), from, to);
    return text;
}

}  // namespace

std::string skinVariables(const std::string& texts, const std::string& selectLists) {
    TextTable lists(selectLists);
    TextTable names(texts);

    // std::string compares through char_traits<char>, which orders bytes as unsigned
    // values with a shorter prefix first: all capitals before all lower-case letters.
    std::map<std::string, std::vector<int>> rowsOfList;
    for (int row = 0; row < lists.rowCount(); ++row) {
        rowsOfList[lists.cell(1, row)].push_back(row);
    }

    std::string out;
    for (const auto& [list, rows] : rowsOfList) {
        out += list + "_count=" + std::to_string(rows.size()) + "&";
        for (std::size_t i = 0; i < rows.size(); ++i) {
            std::string index = std::to_string(i);
            out += list + "_text" + index + "=" + replaced(lists.cell(0, rows[i]), ' ', '+') + "&";
            out += list + "_path" + index + "=" + lists.cell(1, rows[i]) + "&";
            out += list + "_file" + index + "=" + lists.cell(2, rows[i]) + "&";
        }
    }
    for (int row = 0; row < names.rowCount(); ++row) {
        out += replaced(names.cell(0, row), '.', '_') + "=" + replaced(names.cell(1, row), ' ', '+') + "&";
    }
    out += "skintxt_end=1";
    return out;
}

void writeSkinVariables(const std::string& texts, const std::string& selectLists, const std::string& workingFolder) {
    logFailure(
        writeFileAtomically(withTrailingSlash(workingFolder) + "skin.txt", asBytes(skinVariables(texts, selectLists))));
}

}  // namespace tarvenox
