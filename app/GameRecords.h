// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/rules/Records.h"
#include "i18n/LanguagePasses.h"

#include <string>

namespace app {

// The messages the records may have to give, in the player's language (UTF-8), English until a
// language pass gives them; "%1" stands for a path.
struct RecordsMessages {
    std::string SetAside = i18n::EnglishText(i18n::CaptionTarget::RecordsSetAside);
    std::string NotSetAside = i18n::EnglishText(i18n::CaptionTarget::RecordsNotSetAside);
    std::string NotSaved = i18n::EnglishText(i18n::CaptionTarget::RecordsNotSaved);
};

// The record table of the player, read from the records file at its first use and written
// back at every deal and every win. A file that cannot be believed is set aside, never
// overwritten; a file that cannot be written is said once, and the table lives on in memory.
class GameRecords {
public:
    static constexpr std::size_t MaxFileBytes = 64 * 1024;

    // The records file: records.ini in the game's state folder unless a test says otherwise.
    explicit GameRecords(std::string path = DefaultPath());
    static std::string DefaultPath();

    const std::string& Path() const { return path_; }
    void SetMessages(RecordsMessages messages) { messages_ = std::move(messages); }

    const rules::RecordTable& Table();
    int RoundLevel() const { return book_.RoundLevel(); }
    void CountDeal(int level);
    void CountTimeOut() { book_.CountTimeOut(); }
    rules::WinCount CountWin(const rules::RoundResult& result, bool hinted);

private:
    void load();
    void setAside();
    void save();
    void tell(const std::string& message);

    std::string path_;
    RecordsMessages messages_;
    rules::RecordBook book_;
    bool loaded_ = false;
    bool mayWrite_ = true;      // false once a bad file could not be set aside
    bool saveReported_ = false; // a failed write is said once a run
};

} // namespace app
