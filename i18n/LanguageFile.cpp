// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/LanguageFile.h"

#include "i18n/StringTable.h"
#include "platform/Exception.h"
#include "platform/files/Profile.h"
#include "platform/files/TempPath.h"

#include <vector>

namespace i18n {

std::string LanguageFilePath() {
    return platform::GetTempPath() + LanguageFileName;
}

void WriteStringTable() {
    const platform::TempFolder folder = platform::PrepareTempFolder();
    const std::string path = folder.Path + LanguageFileName;
    const std::vector<int> keys = TableKeys();
    std::vector<platform::ProfileEntry> entries;
    entries.reserve(LanguageCount * keys.size());
    for (int language = 0; language < LanguageCount; ++language) {
        const Language& l = Languages[static_cast<std::size_t>(language)];
        for (const int key : keys)
            entries.push_back({l.Section, std::to_string(key),
                               ToCodePage(StringTableText(language, key), l.Encoding)});
    }
    // One replacement of the file instead of one per entry: the same result. It is written
    // again at every start, so it need not wait for the disk.
    if (!folder.Usable ||
        !platform::WritePrivateProfileStrings(entries, path, platform::Durability::Unsynced))
        throw platform::Exception("Unable to write to " + path);
}

} // namespace i18n
