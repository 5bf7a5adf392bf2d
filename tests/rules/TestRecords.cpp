// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/Records.h"
#include "app/rules/RecordsFormat.h"

#include <QTest>

#include <map>

using namespace rules;

namespace {

RoundResult round(int seconds, int moves, const char* date = "2026-12-09") {
    return {seconds, moves, date};
}

using FileValues = std::map<std::pair<std::string, std::string>, std::string>;

FileValues valuesOf(const RecordTable& table) {
    FileValues values;
    for (const RecordEntry& entry : RecordEntries(table))
        values[{entry.Section, entry.Key}] = entry.Value;
    return values;
}

std::optional<RecordTable> readValues(const FileValues& values) {
    return ReadRecordTable(
        [&](const std::string& section, const std::string& key) -> std::optional<std::string> {
            const auto found = values.find({section, key});
            if (found == values.end())
                return std::nullopt;
            return found->second;
        });
}

// Two won rounds on level 2, one on level 4: every kind of field holds a value.
RecordTable sampleTable() {
    RecordBook book;
    book.CountDeal(2);
    book.CountWin(round(95, 140, "2026-11-30"), false);
    book.CountDeal(2);
    book.CountWin(round(120, 88, "2026-12-01"), false);
    book.CountDeal(2);
    book.CountDeal(4);
    book.CountWin(round(300, 61, "2024-02-29"), false);
    return book.Table();
}

} // namespace

class TestRecords : public QObject {
    Q_OBJECT
private slots:
    void aRoundCountsAsPlayedWhenDealtAndWonOnceAtItsFirstWin() {
        RecordBook book;
        book.CountDeal(1);
        QCOMPARE(book.Table().Level(1).Played, 1);
        QCOMPARE(book.Table().Level(1).Won, 0);

        const WinCount first = book.CountWin(round(42, 37), false);
        QVERIFY(first.Counted);
        QVERIFY(first.NewBestTime && first.NewBestMoves);
        // The board solved again after moving a tile away and back.
        const WinCount again = book.CountWin(round(50, 39), false);
        QVERIFY(!again.Counted && !again.NewRecord());
        QCOMPARE(book.Table().Level(1).Won, 1);
        QCOMPARE(book.Table().Level(1).BestTime, std::optional(round(42, 37)));
    }

    void aWinAfterTheTimeOutCountsForNothing() {
        RecordBook book;
        book.CountDeal(4);
        book.CountTimeOut();
        const WinCount late = book.CountWin(round(300, 20), false);
        QVERIFY(!late.Counted);
        QCOMPARE(book.Table().Level(4).Played, 1);
        QCOMPARE(book.Table().Level(4).Won, 0);
        QVERIFY(!book.Table().Level(4).BestTime);
    }

    void noRoundBeforeTheFirstDealCanBeWon() {
        RecordBook book;
        QVERIFY(!book.CountWin(round(1, 1), false).Counted);
        QCOMPARE(book.Table(), RecordTable());
    }

    void aHintedRoundIsWonButSetsNoBest() {
        RecordBook book;
        book.CountDeal(3);
        const WinCount hinted = book.CountWin(round(10, 5), true);
        QVERIFY(hinted.Counted && !hinted.NewRecord());
        QCOMPARE(book.Table().Level(3).Won, 1);
        QVERIFY(!book.Table().Level(3).BestTime && !book.Table().Level(3).BestMoves);

        book.CountDeal(3);
        book.CountWin(round(100, 80), false);
        book.CountDeal(3);
        book.CountWin(round(5, 2), true); // would beat both
        QCOMPARE(book.Table().Level(3).BestTime, std::optional(round(100, 80)));
        QCOMPARE(book.Table().Level(3).BestMoves, std::optional(round(100, 80)));
    }

    void theFastestAndTheShortestRoundAreKeptApart() {
        RecordBook book;
        book.CountDeal(2);
        book.CountWin(round(95, 140), false);
        book.CountDeal(2);
        const WinCount shorter = book.CountWin(round(120, 88), false);
        QVERIFY(!shorter.NewBestTime && shorter.NewBestMoves);
        book.CountDeal(2);
        const WinCount tie = book.CountWin(round(95, 120), false); // same time, fewer moves
        QVERIFY(tie.NewBestTime && !tie.NewBestMoves);
        book.CountDeal(2);
        const WinCount slower = book.CountWin(round(200, 200), false);
        QVERIFY(slower.Counted && !slower.NewRecord());
        const LevelRecord& level2 = book.Table().Level(2);
        QCOMPARE(level2.BestTime, std::optional(round(95, 120)));
        QCOMPARE(level2.BestMoves, std::optional(round(120, 88)));
        QCOMPARE(level2.Played, 4);
        QCOMPARE(level2.Won, 4);
    }

    void eachLevelKeepsItsOwnRecords() {
        RecordBook book;
        book.CountDeal(1);
        book.CountWin(round(30, 20), false);
        book.CountDeal(4);
        const WinCount other = book.CountWin(round(250, 300), false);
        QVERIFY(other.NewBestTime && other.NewBestMoves); // level 1's better round is not its
        QCOMPARE(book.Table().Level(1).BestTime, std::optional(round(30, 20)));
        QCOMPARE(book.Table().Level(4).BestTime, std::optional(round(250, 300)));
        for (const int untouched : {2, 3}) {
            const LevelRecord& level = book.Table().Level(untouched);
            QCOMPARE(level.Played, 0);
            QCOMPARE(level.Won, 0);
            QVERIFY(!level.BestTime && !level.BestMoves);
        }
    }

    void anAbandonedRoundStaysPlayedAndTheNewOneCounts() {
        RecordBook book;
        book.CountDeal(2);
        book.CountDeal(1);
        QCOMPARE(book.RoundLevel(), 1);
        QVERIFY(book.CountWin(round(3, 1), false).Counted);
        QCOMPARE(book.Table().Level(2).Played, 1);
        QCOMPARE(book.Table().Level(2).Won, 0);
        QCOMPARE(book.Table().Level(1).Won, 1);
    }

    void countsStopAtTheLargestNumberTheFileKeeps() {
        RecordTable table;
        table.Level(1).Played = std::numeric_limits<std::int32_t>::max();
        table.Level(1).Won = std::numeric_limits<std::int32_t>::max() - 1;
        RecordBook book(table);
        book.CountDeal(1);
        book.CountWin(round(9, 9), false);
        QCOMPARE(book.Table().Level(1).Played, std::numeric_limits<std::int32_t>::max());
        QCOMPARE(book.Table().Level(1).Won, std::numeric_limits<std::int32_t>::max());
        QVERIFY(readValues(valuesOf(book.Table())));
    }

    void theTimeShownIsTheCountBeforeTheLastTick() {
        GameState state;
        QCOMPARE(ShownSecondsUsed(state), 0); // won before the first tick
        state.TimeUsed = 1;                   // one tick: the clock showed 0
        QCOMPARE(ShownSecondsUsed(state), 0);
        state.TimeUsed = 43;
        QCOMPARE(ShownSecondsUsed(state), 42);
    }

    void aTableReadsBackAsItWasWritten() {
        const RecordTable table = sampleTable();
        const FileValues values = valuesOf(table);
        QCOMPARE(values.size(), std::size_t(4 * 8));
        QCOMPARE(values.at({"Level2", "BestTime"}), std::string("95"));
        QCOMPARE(values.at({"Level2", "BestMovesDate"}), std::string("2026-12-01"));
        QCOMPARE(values.at({"Level1", "BestTime"}), std::string());
        QCOMPARE(readValues(values), std::optional(table));
        QCOMPARE(readValues(valuesOf(RecordTable())), std::optional(RecordTable()));
    }

    void honestRecordsAtTheEdgesAreBelieved_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        // A deal one slide from solved, won before the first tick.
        QTest::newRow("no second used") << "BestTime"
                                        << "0";
        QTest::newRow("one move") << "BestMoves"
                                  << "1";
        QTest::newRow("the whole five minutes") << "BestTime"
                                                << "300";
        QTest::newRow("leading zeros") << "Won"
                                       << "001";
    }
    void honestRecordsAtTheEdgesAreBelieved() {
        QFETCH(QString, key);
        QFETCH(QString, value);
        FileValues values = valuesOf(sampleTable());
        values[{"Level4", key.toStdString()}] = value.toStdString();
        if (key == "BestTime")
            values[{"Level4", "BestMovesTime"}] = value.toStdString();
        if (key == "BestMoves")
            values[{"Level4", "BestTimeMoves"}] = value.toStdString();
        QVERIFY(readValues(values));
    }

    void anyFieldMissingGarbledOrOutOfReachIsNotBelieved_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value"); // "<missing>" takes the key away
        const auto row = [](const char* name, const char* key, const char* value) {
            QTest::newRow(name) << key << value;
        };
        for (const char* key : {"Played", "Won"}) {
            row(qPrintable(QString("%1 missing").arg(key)), key, "<missing>");
            row(qPrintable(QString("%1 empty").arg(key)), key, "");
        }
        for (const char* key : {"BestTime", "BestTimeMoves", "BestTimeDate", "BestMoves",
                                "BestMovesTime", "BestMovesDate"})
            row(qPrintable(QString("%1 missing beside the others").arg(key)), key, "<missing>");
        row("negative count", "Played", "-3");
        row("minus zero", "Won", "-0");
        row("signed count", "Played", "+3");
        row("hexadecimal", "Played", "0x10");
        row("words", "Won", "many");
        row("trailing garbage", "Won", "1x");
        row("past 32 bits", "Played", "2147483648");
        row("eleven digits", "Played", "00000000001");
        row("more wins than rounds", "Won", "4");
        row("negative time", "BestTime", "-1");
        row("longer than the level lasts", "BestTime", "301");
        row("no move at all", "BestMoves", "0");
        row("fewest moves above the fastest round's", "BestMoves", "62");
        row("shortest round faster than the fastest", "BestMovesTime", "250");
        row("no such day", "BestTimeDate", "2026-02-30");
        row("not a leap year", "BestTimeDate", "2100-02-29");
        row("month thirteen", "BestMovesDate", "2026-13-01");
        row("another date form", "BestMovesDate", "09.12.2026");
        row("before the epoch", "BestMovesDate", "1969-12-31");
    }
    void anyFieldMissingGarbledOrOutOfReachIsNotBelieved() {
        QFETCH(QString, key);
        QFETCH(QString, value);
        // Level 4: played 1, won 1, 300 s and 61 moves.
        FileValues values = valuesOf(sampleTable());
        if (value == "<missing>")
            values.erase({"Level4", key.toStdString()});
        else
            values[{"Level4", key.toStdString()}] = value.toStdString();
        if (key == "Won" && value == "4")
            values[{"Level4", "Played"}] = "3";
        QVERIFY(!readValues(values));
    }

    void aBestWithoutAWinOrWithoutItsPartnerIsNotBelieved() {
        FileValues values = valuesOf(sampleTable());
        values[{"Level4", "Won"}] = "0";
        QVERIFY(!readValues(values));

        values = valuesOf(sampleTable());
        for (const char* key : {"BestMoves", "BestMovesTime", "BestMovesDate"})
            values[{"Level4", key}] = "";
        QVERIFY(!readValues(values));
    }

    void aMissingLevelIsNotBelieved() {
        FileValues values = valuesOf(sampleTable());
        std::erase_if(values, [](const auto& entry) { return entry.first.first == "Level3"; });
        QVERIFY(!readValues(values));
    }
};

QTEST_APPLESS_MAIN(TestRecords)
#include "TestRecords.moc"
