// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/IniFile.h"

#include "platform/Exception.h"
#include "platform/files/Profile.h"

#include <charconv>
#include <cstdint>

namespace platform {

int StrToIntDef(std::string_view text, int defaultValue) {
    int base = 10;
    bool negative = false;
    // "0x" counts only at the very start of a longer text: "-0x10" is not a number.
    if (text.size() > 2 && (text.starts_with("0x") || text.starts_with("0X"))) {
        text.remove_prefix(2);
        base = 16;
    } else {
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
            negative = text.front() == '-';
            text.remove_prefix(1);
        }
        if (text.starts_with('$')) {
            text.remove_prefix(1);
            base = 16;
        }
    }
    // from_chars would take a second sign; only digits may follow.
    if (text.empty() || text.front() == '-' || text.front() == '+')
        return defaultValue;
    std::uint64_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size())
        return defaultValue;
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
    if (magnitude > limit)
        return defaultValue;
    // Hexadecimal wraps into 32 bits; the cast is modular since C++20.
    const auto bits = static_cast<std::uint32_t>(magnitude);
    return static_cast<std::int32_t>(negative ? 0u - bits : bits);
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) const {
    return GetPrivateProfileString(Section, Ident, Default, FFileName);
}

int TIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) const {
    return StrToIntDef(ReadString(Section, Ident, ""), Default);
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident,
                           const std::string& Value) {
    if (!WritePrivateProfileString(Section, Ident, Value, FFileName))
        throw Exception("Unable to write to " + FFileName);
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    WriteString(Section, Ident, std::to_string(Value));
}

TMemIniFile::TMemIniFile(std::string fileName)
    : FFileName(std::move(fileName)), FBytes(ReadProfileFile(FFileName)) {}

std::string TMemIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default) const {
    return ProfileString(FBytes, Section, Ident, Default);
}

int TMemIniFile::ReadInteger(const std::string& Section, const std::string& Ident,
                             int Default) const {
    return StrToIntDef(ReadString(Section, Ident, ""), Default);
}

} // namespace platform
