// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/Clock.h"
#include "app/rules/GameState.h"

#include <QTest>

using namespace rules;

class TestClock : public QObject {
    Q_OBJECT
private slots:
    void timeText_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << "0 :  0";
        QTest::newRow("42") << 42 << "0 : 42";
        QTest::newRow("65") << 65 << "1 :  5";
        QTest::newRow("600") << 600 << "10 :  0";
        QTest::newRow("900") << 900 << "15 :  0";
        QTest::newRow("an hour and a bit") << 3725 << "62 :  5";
    }
    void timeText() {
        QFETCH(int, seconds);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(TimeText(seconds)), text);
    }

    // The status bar's counts are texts; the records keep a move count in 32 bits, so the
    // count stops where they stop and the text never shows more than a record can hold.
    void countsRiseByOneAndStopAtTheLargestARecordHolds_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("raised");
        QTest::newRow("start") << "0" << 0 << "1";
        QTest::newRow("some moves") << "41" << 41 << "42";
        QTest::newRow("one below the top") << "2147483646" << 2147483646 << "2147483647";
        QTest::newRow("the top") << "2147483647" << 2147483647 << "2147483647";
        QTest::newRow("past the top") << "99999999999" << 2147483647 << "2147483647";
        QTest::newRow("empty") << "" << 0 << "1";
        QTest::newRow("a word") << "Round:" << 0 << "1";
        QTest::newRow("negative") << "-5" << 0 << "1";
    }
    void countsRiseByOneAndStopAtTheLargestARecordHolds() {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(QString, raised);
        QCOMPARE(CountOf(text.toStdString()), count);
        QCOMPARE(RaisedCount(text.toStdString()), raised.toStdString());
    }

    void fiveMinuteCountdownShowsTheLimitFirstAndExpiresAtTick301() {
        GameState state;
        state.TimeLeft = 300;
        const CountdownTick first = TickCountdown(state);
        QCOMPARE(first.Text, std::string("5 :  0"));
        QVERIFY(!first.Expired);
        CountdownTick tick;
        for (int t = 2; t <= 300; ++t) {
            tick = TickCountdown(state);
            QVERIFY2(!tick.Expired, qPrintable(QString::number(t)));
        }
        QCOMPARE(tick.Text, std::string("0 :  1"));
        tick = TickCountdown(state);
        QCOMPARE(tick.Text, std::string("0 :  0"));
        QVERIFY(tick.Expired);
    }

    void timeUsedShowsTheCountBeforeTheTick() {
        GameState state;
        QCOMPARE(TickTimeUsed(state), std::string("0 :  0"));
        QCOMPARE(TickTimeUsed(state), std::string("0 :  1"));
        QCOMPARE(state.TimeUsed, 2);
    }

    void marqueeRunsLeftAndComesRound() {
        GameState state;
        state.MarqueeText = "Start Game      ";
        RotateMarquee(state);
        QCOMPARE(state.MarqueeText, std::string("tart Game      S"));
        for (int i = 1; i < 16; ++i)
            RotateMarquee(state);
        QCOMPARE(state.MarqueeText, std::string("Start Game      "));
    }

    void marqueeMovesWholeCharacters() {
        GameState state;
        state.MarqueeText = "Начать   ";
        RotateMarquee(state);
        QCOMPARE(state.MarqueeText, std::string("ачать   Н"));
        state.MarqueeText.clear();
        RotateMarquee(state);
        QCOMPARE(state.MarqueeText, std::string());
    }

    void iconFramesCycleThroughFive() {
        GameState state;
        std::vector<int> frames;
        for (int i = 0; i < 7; ++i)
            frames.push_back(NextIconFrame(state));
        QCOMPARE(frames, (std::vector<int>{0, 1, 2, 3, 4, 0, 1}));
    }
};

QTEST_APPLESS_MAIN(TestClock)
#include "TestClock.moc"
