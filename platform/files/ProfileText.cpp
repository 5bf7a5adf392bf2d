// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/Profile.h"

#include "platform/files/ProfileEncoding.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform::profile {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

// The classic reader's blanks: a ^Z, a vertical tab or a form feed an editor left after a
// value is no part of it.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\x1A';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

struct Line {
    std::string_view content; // without the line end (and without a leading byte-order mark)
    size_t begin = 0;
    size_t next = 0;
    bool terminated = false;
};

// A line ends at CR LF, at LF, or at a lone CR, as the classic reader takes them.
Line lineAt(std::string_view text, size_t pos) {
    // Two searches for one byte each: find_first_of looks every byte up in its set, which made
    // a file of a few hundred lines cost as much as the rest of the start-up.
    const char* const begin = text.data() + pos;
    const size_t rest = text.size() - pos;
    const void* lf = std::memchr(begin, '\n', rest);
    const size_t upTo = lf ? size_t(static_cast<const char*>(lf) - begin) : rest;
    const void* cr = std::memchr(begin, '\r', upTo);
    const size_t stop = pos + (cr ? size_t(static_cast<const char*>(cr) - begin) : upTo);
    Line line;
    line.begin = pos;
    line.terminated = stop < text.size();
    size_t end = line.terminated ? stop : text.size();
    if (!line.terminated)
        line.next = text.size();
    else if (text[stop] == '\r' && stop + 1 < text.size() && text[stop + 1] == '\n')
        line.next = stop + 2;
    else
        line.next = stop + 1;
    if (pos == 0 && text.starts_with(kByteOrderMark))
        pos = kByteOrderMark.size();
    end = std::max(end, pos);
    line.content = text.substr(pos, end - pos);
    return line;
}

// One matching pair of double or single quotes around the whole value is not part of it.
std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

enum class Kind { Other, Header, Entry };

struct Parsed {
    Kind kind = Kind::Other;
    std::string_view name;
    std::string_view value;
};

Parsed parse(std::string_view content) {
    const std::string_view t = trim(content);
    if (t.starts_with('[')) {
        const size_t close = t.find(']');
        if (close != std::string_view::npos)
            return {Kind::Header, trim(t.substr(1, close - 1)), {}};
    }
    if (t.starts_with(';'))
        return {};
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return {};
    return {Kind::Entry, trim(t.substr(0, eq)), trim(t.substr(eq + 1))};
}

struct Location {
    bool sectionFound = false;
    size_t sectionBegin = 0; // where its header line starts
    size_t insertAt = 0;     // after the section's last non-blank line
    bool insertNeedsLineEnd = false;
    bool entryFound = false;
    Line entry;
    std::string_view keyAsSpelled;
    std::string_view value;
};

// Only the first section of that name counts, as classic profile files do. The search starts
// at `from`, the start of a line before which no header names the section.
Location locate(std::string_view text, std::string_view section, std::string_view key,
                size_t from = 0) {
    Location at;
    bool inside = false;
    for (size_t pos = from; pos < text.size();) {
        const Line line = lineAt(text, pos);
        pos = line.next;
        const Parsed p = parse(line.content);
        if (p.kind == Kind::Header) {
            if (at.sectionFound)
                break;
            inside = sameName(p.name, section);
            at.sectionFound = inside;
            at.sectionBegin = line.begin;
        }
        if (!inside)
            continue;
        if (!trim(line.content).empty()) {
            at.insertAt = line.next;
            at.insertNeedsLineEnd = !line.terminated;
        }
        if (p.kind == Kind::Entry && sameName(p.name, key)) {
            at.entryFound = true;
            at.entry = line;
            at.keyAsSpelled = p.name;
            at.value = p.value;
            break;
        }
    }
    return at;
}

bool hasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// Names that would read back as something else, or break the file's lines, are not stored.
bool storable(std::string_view section, std::string_view key, std::string_view value) {
    if (section.empty() || hasLineBreak(section) || section.find(']') != std::string_view::npos)
        return false;
    if (key.empty() || hasLineBreak(key) || key.find('=') != std::string_view::npos)
        return false;
    if (key.front() == '[' || key.front() == ';')
        return false;
    return !hasLineBreak(value);
}

std::string entryLine(std::string_view key, std::string_view value) {
    std::string line;
    line.reserve(key.size() + value.size() + 3);
    line.append(key).append("=").append(value).append(kLineEnd);
    return line;
}

std::optional<std::string> findInText(std::string_view text, std::string_view section,
                                      std::string_view key) {
    section = trim(section);
    key = trim(key);
    if (section.empty() || key.empty())
        return std::nullopt;
    const Location at = locate(text, section, key);
    if (!at.entryFound)
        return std::nullopt;
    return std::string(unquote(at.value));
}

struct Written {
    std::string text;
    size_t sectionBegin = 0;  // the written section's header line, the same before and after
    bool madeSection = false; // the section was not there: it now ends the text
};

// `from` as for locate: a section's header position from an earlier write of it.
std::optional<Written> setInText(std::string_view text, std::string_view section,
                                 std::string_view key, std::string_view value, size_t from = 0) {
    section = trim(section);
    key = trim(key);
    if (!storable(section, key, value))
        return std::nullopt;
    const Location at = locate(text, section, key, from);
    Written written;
    written.sectionBegin = at.sectionBegin;
    std::string& result = written.text;
    result.reserve(text.size() + section.size() + key.size() + value.size() + 8);
    if (at.entryFound) {
        result.append(text.substr(0, at.entry.begin));
        result.append(entryLine(at.keyAsSpelled, value));
        result.append(text.substr(at.entry.next));
    } else if (at.sectionFound) {
        result.append(text.substr(0, at.insertAt));
        if (at.insertNeedsLineEnd)
            result.append(kLineEnd);
        result.append(entryLine(key, value));
        result.append(text.substr(at.insertAt));
    } else {
        result.append(text);
        if (!text.empty() && !text.ends_with('\n') && text != kByteOrderMark)
            result.append(kLineEnd);
        written.sectionBegin = result.size();
        written.madeSection = true;
        result.append("[").append(section).append("]").append(kLineEnd);
        result.append(entryLine(key, value));
    }
    return written;
}

} // namespace

std::optional<std::string> FindValue(std::string_view bytes, std::string_view section,
                                     std::string_view key) {
    return findInText(DecodeFile(bytes).Text, section, key);
}

std::optional<std::string> SetValue(std::string_view bytes, std::string_view section,
                                    std::string_view key, std::string_view value) {
    const ProfileEntry entry{std::string(section), std::string(key), std::string(value)};
    return SetValues(bytes, {&entry, 1});
}

std::optional<std::string> SetValues(std::string_view bytes,
                                     std::span<const ProfileEntry> entries) {
    FileText file = DecodeFile(bytes);
    // Text before a section's header never changes by writes to it, so a run of writes to one
    // section searches from its header on.
    std::string_view lastSection;
    size_t lastBegin = 0;
    // A section this batch made stays the text's last until another is made, and holds only the
    // keys written to it since: a new key goes at the text's end, where the search would put
    // it. So a whole table written to a new file costs no more than its length.
    std::string_view madeSection;
    std::vector<std::string_view> madeKeys;
    for (const ProfileEntry& entry : entries) {
        const std::string_view section = trim(entry.Section);
        const std::string_view key = trim(entry.Key);
        const bool newKeyOfMade =
            !madeSection.empty() && sameName(section, madeSection) &&
            std::none_of(madeKeys.begin(), madeKeys.end(),
                         [key](std::string_view made) { return sameName(made, key); });
        if (newKeyOfMade) {
            if (!storable(section, key, entry.Value))
                return std::nullopt;
            file.Text.append(entryLine(key, entry.Value));
            madeKeys.push_back(key);
            lastSection = {}; // its header may have moved since: the next search starts afresh
        } else {
            const size_t from =
                !lastSection.empty() && sameName(section, lastSection) ? lastBegin : 0;
            auto written = setInText(file.Text, section, key, entry.Value, from);
            if (!written)
                return std::nullopt;
            file.Text = std::move(written->text);
            lastSection = section;
            lastBegin = written->sectionBegin;
            if (written->madeSection) {
                madeSection = section;
                madeKeys.assign(1, key);
            }
        }
        // A value that a UTF-16 file cannot hold refuses the whole batch, as it would have
        // refused its own write.
        if (file.Encoding != FileEncoding::Bytes && !EncodeFile(file))
            return std::nullopt;
    }
    return EncodeFile(file);
}

} // namespace platform::profile
