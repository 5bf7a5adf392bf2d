// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/ProfileEncoding.h"

#include <cstdint>

namespace platform::profile {
namespace {

bool isHighSurrogate(char32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}

bool isLowSurrogate(char32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

void appendUnit(std::string& out, char32_t unit, bool bigEndian) {
    const char high = char(unit >> 8);
    const char low = char(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

struct Decoded {
    char32_t c = 0;
    std::size_t length = 0; // 0: no well-formed sequence here
};

struct Lead {
    std::size_t length;
    char32_t bits;
    char32_t smallest; // below it the sequence is overlong
};

std::optional<Lead> leadOf(unsigned char byte) {
    if (byte >= 0xC2 && byte <= 0xDF)
        return Lead{2, char32_t(byte & 0x1F), 0x80};
    if (byte >= 0xE0 && byte <= 0xEF)
        return Lead{3, char32_t(byte & 0x0F), 0x800};
    if (byte >= 0xF0 && byte <= 0xF4)
        return Lead{4, char32_t(byte & 0x07), 0x10000};
    return std::nullopt;
}

// One character of generalized UTF-8: shortest forms only, surrogates allowed alone.
Decoded nextCharacter(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    if (byte(0) < 0x80)
        return {byte(0), 1};
    const std::optional<Lead> lead = leadOf(byte(0));
    if (!lead || pos + lead->length > text.size())
        return {};
    char32_t c = lead->bits;
    for (std::size_t i = 1; i < lead->length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return {};
        c = (c << 6) | (byte(i) & 0x3F);
    }
    if (c < lead->smallest || c > 0x10FFFF)
        return {};
    return {c, lead->length};
}

} // namespace

FileText DecodeFile(std::string_view bytes) {
    FileText file;
    const bool little = bytes.starts_with("\xFF\xFE");
    if (!little && !bytes.starts_with("\xFE\xFF")) {
        file.Text = bytes;
        return file;
    }
    file.Encoding = little ? FileEncoding::Utf16LittleEndian : FileEncoding::Utf16BigEndian;
    const std::size_t units = bytes.size() / 2;
    if (bytes.size() % 2 != 0)
        file.Tail = bytes.substr(bytes.size() - 1);
    const auto unitAt = [&](std::size_t i) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        return little ? char32_t(first | (second << 8)) : char32_t((first << 8) | second);
    };
    file.Text.reserve(units * 3 / 2);
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t u = unitAt(i);
        if (isHighSurrogate(u) && i + 1 < units && isLowSurrogate(unitAt(i + 1))) {
            appendUtf8(file.Text, 0x10000 + ((u - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00));
            ++i;
        } else {
            appendUtf8(file.Text, u);
        }
    }
    return file;
}

std::optional<std::string> EncodeFile(const FileText& file) {
    if (file.Encoding == FileEncoding::Bytes)
        return file.Text;
    const bool bigEndian = file.Encoding == FileEncoding::Utf16BigEndian;
    std::string out;
    out.reserve(file.Text.size() * 2 + file.Tail.size());
    for (std::size_t pos = 0; pos < file.Text.size();) {
        const Decoded next = nextCharacter(file.Text, pos);
        if (next.length == 0)
            return std::nullopt;
        pos += next.length;
        if (next.c < 0x10000) {
            appendUnit(out, next.c, bigEndian);
        } else {
            appendUnit(out, 0xD800 + ((next.c - 0x10000) >> 10), bigEndian);
            appendUnit(out, 0xDC00 + ((next.c - 0x10000) & 0x3FF), bigEndian);
        }
    }
    out += file.Tail;
    return out;
}

} // namespace platform::profile
