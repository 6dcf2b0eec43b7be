// Texts a front end hands over (UTF-8) taken as the product's texts, and typed variables
// written as a user types them.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/Report.h"
#include "swf/SWFType.h"

namespace tarvenox {

// A front end's text (UTF-8) as a product text (Windows-1252); nullopt when it holds a
// character Windows-1252 cannot represent or is not UTF-8.
std::optional<std::string> productText(std::string_view utf8);

// A movie's text (UTF-8) as a text the editor can change (Windows-1252); nullopt when
// Windows-1252 cannot hold it or it holds a NUL, which the editor's texts cannot carry.
std::optional<std::string> editableText(std::string_view utf8);

// A variable from "NAME=VALUE" (a string) or "NAME:b=VALUE", "NAME:d=", "NAME:i=",
// "NAME:s=" (a boolean, number, integer or string), as a user types it in UTF-8: on
// success *variable holds it with name and value in Windows-1252; the report fails, with
// the reason, for a text without "=", an empty name, characters Windows-1252 cannot
// represent, or a value its type would take only in part ("1,5" for a number, "yes" for a
// boolean, which must be true or false).
Report parseTypedVariable(const std::string& spec, std::unique_ptr<SWFType>& variable);

// Gives every variable of the list named name the value (product texts), each taking it
// with its own type; fails, naming the variables the list has, when none is named so.
Report setDeclaredVariable(ActionVariables& variables, const std::string& name, const std::string& value);

// Whether the variable can be written into a movie of any version (its record within
// 65535 bytes in UTF-8, the longer of the two encodings; no NUL); fails with the reason.
Report checkWritable(const SWFType& variable);

}  // namespace tarvenox
