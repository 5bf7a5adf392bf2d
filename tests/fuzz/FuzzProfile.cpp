// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target over the profile reader and writer: the input is the file's bytes. Beyond
// the sanitizers, it checks that a write reads back, is idempotent, keeps the file's encoding
// (UTF-16 after its mark, anything else as bytes) and leaves every other key as it was.
#include "platform/files/IniFile.h"
#include "platform/files/Profile.h"
#include "platform/files/ProfileEncoding.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace platform;

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\x1A';
}

std::string folded(std::string_view name) {
    while (!name.empty() && isBlank(name.front()))
        name.remove_prefix(1);
    while (!name.empty() && isBlank(name.back()))
        name.remove_suffix(1);
    std::string lower(name);
    for (char& c : lower)
        c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    return lower;
}

// Names the input itself offers, so the writer meets the sections and keys it holds.
void addNamesFrom(std::string_view text, std::vector<std::string>& sections,
                  std::vector<std::string>& keys) {
    const size_t open = text.find('[');
    const size_t close = text.find(']', open);
    if (open != std::string_view::npos && close != std::string_view::npos)
        sections.emplace_back(text.substr(open + 1, close - open - 1));
    const size_t eq = text.find('=');
    if (eq != std::string_view::npos) {
        const size_t lineStart = text.rfind('\n', eq);
        const size_t from = lineStart == std::string_view::npos ? 0 : lineStart + 1;
        keys.emplace_back(text.substr(from, eq - from));
    }
}

using Values = std::vector<std::optional<std::string>>;

// Every pair's value in `text`, in the order of the loops below.
Values valuesOf(std::string_view text, const std::vector<std::string>& sections,
                const std::vector<std::string>& keys) {
    Values values;
    for (const std::string& s : sections)
        for (const std::string& k : keys)
            values.push_back(profile::FindValue(text, s, k));
    return values;
}

void checkWrite(const std::string& text, const std::string& section, const std::string& key,
                const std::vector<std::string>& sections, const std::vector<std::string>& keys,
                const Values& before) {
    const auto written = profile::SetValue(text, section, key, "V");
    if (!written)
        return;
    check(profile::FindValue(*written, section, key) == std::optional<std::string>("V"));
    check(profile::SetValue(*written, section, key, "V") == written);
    const profile::FileText decodedBefore = profile::DecodeFile(text);
    const profile::FileText decodedAfter = profile::DecodeFile(*written);
    check(decodedAfter.Encoding == decodedBefore.Encoding &&
          decodedAfter.Tail == decodedBefore.Tail);
    std::size_t pair = 0;
    for (const std::string& s : sections) {
        for (const std::string& k : keys) {
            const std::size_t index = pair++;
            if (folded(s) == folded(section) && folded(k) == folded(key))
                continue;
            check(profile::FindValue(*written, s, k) == before[index]);
        }
    }
}

void checkInteger(std::string_view text) {
    const int a = StrToIntDef(text, 1);
    if (a == StrToIntDef(text, 2))
        check(StrToIntDef(std::to_string(a), 0) == a);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // A name the input holds, one the game uses and one the input most likely lacks: the
    // writer meets a key to replace, a key to add and a section to add, in few passes.
    std::vector<std::string> sections{"USER", "a"};
    std::vector<std::string> keys{"Select", "k"};
    addNamesFrom(profile::DecodeFile(text).Text, sections, keys);
    const Values before = valuesOf(text, sections, keys);
    for (const std::string& section : sections) {
        for (const std::string& key : keys)
            checkWrite(text, section, key, sections, keys, before);
    }
    checkInteger(std::string_view(text).substr(0, 24));
    return 0;
}
