// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/GameRecords.h"

#include "app/rules/RecordsFormat.h"
#include "platform/files/Files.h"
#include "platform/files/Profile.h"
#include "platform/files/StateFiles.h"
#include "platform/ui/Dialogs.h"

#include <QString>
#include <cerrno>

namespace app {

namespace {

std::string withPath(const std::string& message, const std::string& path) {
    return QString::fromStdString(message).arg(QString::fromStdString(path)).toStdString();
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

GameRecords::GameRecords(std::string path) : path_(std::move(path)) {}

std::string GameRecords::DefaultPath() {
    return platform::StateDirectory() + "/velmar/records.ini";
}

const rules::RecordTable& GameRecords::Table() {
    load();
    return book_.Table();
}

void GameRecords::CountDeal(int level) {
    load();
    book_.CountDeal(level);
    save();
}

rules::WinCount GameRecords::CountWin(const rules::RoundResult& result, bool hinted) {
    load();
    const rules::WinCount count = book_.CountWin(result, hinted);
    if (count.Counted)
        save();
    return count;
}

void GameRecords::load() {
    if (loaded_)
        return;
    loaded_ = true;
    std::string bytes;
    const platform::ReadResult read = platform::ReadFileBytes(path_, bytes, MaxFileBytes);
    // A file where a folder should stand on the way means no records, as no file does.
    if (read == platform::ReadResult::Missing ||
        (read == platform::ReadResult::Failed && errno == ENOTDIR))
        return;
    if (read == platform::ReadResult::Failed) {
        setAside();
        return;
    }
    auto table =
        rules::ReadRecordTable([&bytes](const std::string& section, const std::string& key) {
            return platform::profile::FindValue(bytes, section, key);
        });
    if (table)
        book_ = rules::RecordBook(*std::move(table));
    else
        setAside();
}

// The table starts afresh; what the file held stays beside it for the player to look at.
void GameRecords::setAside() {
    if (const auto kept = platform::MoveAside(path_, ".bad")) {
        tell(withPath(messages_.SetAside, *kept));
        return;
    }
    mayWrite_ = false;
    tell(withPath(messages_.NotSetAside, path_));
}

void GameRecords::save() {
    if (!mayWrite_)
        return;
    std::vector<platform::ProfileEntry> entries;
    for (rules::RecordEntry& entry : rules::RecordEntries(book_.Table()))
        entries.push_back({std::move(entry.Section), std::move(entry.Key), std::move(entry.Value)});
    if (platform::MakeFolders(folderOf(path_)) &&
        platform::WritePrivateProfileStrings(entries, path_))
        return;
    if (saveReported_)
        return;
    saveReported_ = true;
    tell(withPath(messages_.NotSaved, path_));
}

void GameRecords::tell(const std::string& message) {
    platform::ShowMessage(message);
}

} // namespace app
