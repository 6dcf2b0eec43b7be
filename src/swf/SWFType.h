// Typed ActionScript variables that a template lets the user set, and the action
// bytes that assign them in a DoAction tag.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/Bytes.h"
#include "swf/ActionRecords.h"
#include "swf/MovieText.h"

namespace tarvenox {

class TextTable;

// One variable: a name and a value, written as ActionPush (name, value) followed by
// ActionSetVariable. Names and texts are Windows-1252 bytes.
class SWFType {
public:
    SWFType(std::string name, std::string valueText);
    virtual ~SWFType() = default;
    SWFType(const SWFType&) = delete;
    SWFType& operator=(const SWFType&) = delete;

    // Appends the assignment of this variable, its name and a string value in the
    // movie's text encoding. Throws Exception when the name or a string value holds a NUL (the player would end the
    // string there and misread the rest of the record) or when the push record would exceed the 65535 bytes its 16-bit
    // length can describe; nothing is appended then.
    virtual void appendActionBytes(Bytes& out, MovieTextEncoding encoding) const = 0;

    // Takes a new value from a text. For the typed classes only the typed field changes;
    // the value text keeps the configured value.
    virtual void setValue(const std::string& text) = 0;

    // 's', 'b', 'd' or 'i', as the configuration table writes the type.
    virtual char typeLetter() const = 0;

    const std::string& getName() const { return name; }
    const std::string& getValueText() const { return valueText; }

protected:
    // Push type 0x00 (string) with the name, then the value's push type and payload,
    // then ActionSetVariable, after the checks of appendActionBytes.
    void appendAssignment(Bytes& out, MovieTextEncoding encoding, PushType pushType, const Bytes& payload) const;

    std::string name;
    std::string valueText;
};

class SWFStringType : public SWFType {
public:
    SWFStringType(std::string name, std::string valueText);
    void appendActionBytes(Bytes& out, MovieTextEncoding encoding) const override;
    void setValue(const std::string& text) override;
    char typeLetter() const override { return 's'; }
};

class SWFBoolType : public SWFType {
public:
    SWFBoolType(std::string name, std::string valueText);
    void appendActionBytes(Bytes& out, MovieTextEncoding encoding) const override;
    // Only the exact text "true" is true.
    void setValue(const std::string& text) override;
    char typeLetter() const override { return 'b'; }
    bool value() const { return flag != 0; }

private:
    std::uint8_t flag = 0;
};

class SWFDoubleType : public SWFType {
public:
    SWFDoubleType(std::string name, std::string valueText);
    void appendActionBytes(Bytes& out, MovieTextEncoding encoding) const override;
    // The leading decimal number of the text, as atof reads it in the C locale; 0 when
    // there is none.
    void setValue(const std::string& text) override;
    char typeLetter() const override { return 'd'; }
    double value() const { return number; }

private:
    double number = 0;
};

class SWFIntType : public SWFType {
public:
    SWFIntType(std::string name, std::string valueText);
    void appendActionBytes(Bytes& out, MovieTextEncoding encoding) const override;
    // The leading decimal integer of the text, as atoi reads it; 0 when there is none.
    // A number beyond the signed 32-bit range gives the nearest limit.
    void setValue(const std::string& text) override;
    char typeLetter() const override { return 'i'; }
    std::int32_t value() const { return number; }

private:
    std::int32_t number = 0;
};

using ActionVariables = std::vector<std::unique_ptr<SWFType>>;

// The variable class for a type letter ('s', 'b', 'd', 'i'); nullptr for any other.
std::unique_ptr<SWFType> makeSWFType(char typeLetter, std::string name, std::string valueText);

// Every two-byte sequence backslash, "n" becomes a blank and a carriage return, so the
// value keeps its length and the movie's text field breaks the line there.
std::string unescapeConfigValue(std::string value);

// Empties the list, then adds one variable for each row of the configuration table
// whose column 0 is the movie's base name (byte for byte), in table order: column 1 the
// name, the first byte of column 2 the type, column 3 the value. Rows of an unknown or
// empty type are skipped.
void buildActionVariables(const TextTable& configTable, const std::string& movieBaseName, ActionVariables& variables);

// The assignments of all variables in list order, then ActionEnd (0x00).
Bytes actionBytes(const ActionVariables& variables, MovieTextEncoding encoding);

}  // namespace tarvenox
