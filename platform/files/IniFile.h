// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

// `text` as a number: decimal, or hexadecimal after "$", "0x" or "0X", with an optional sign;
// hexadecimal takes up to 32 bits, so "$FFFFFFFF" is -1. Anything else, and a number out of
// range, gives `defaultValue`.
int StrToIntDef(std::string_view text, int defaultValue);

// A profile file as the classic INI file object sees it. Reads never fail; a refused write
// raises platform::Exception "Unable to write to <file name>".
class TIniFile {
public:
    explicit TIniFile(std::string fileName) : FFileName(std::move(fileName)) {}

    const std::string& FileName() const { return FFileName; }

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) const;
    // The value as an integer: hexadecimal after "0x", "0X" (when more follows) or "$",
    // otherwise decimal; text that is not a number gives Default.
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;
    void WriteString(const std::string& Section, const std::string& Ident,
                     const std::string& Value);
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);

private:
    std::string FFileName;
};

// An INI file read once, for a run of reads that must not open the file again for each: it
// answers as TIniFile would have at the moment it was made. It only reads.
class TMemIniFile {
public:
    explicit TMemIniFile(std::string fileName);

    const std::string& FileName() const { return FFileName; }

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) const;
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;

private:
    std::string FFileName;
    std::optional<std::string> FBytes;
};

} // namespace platform
