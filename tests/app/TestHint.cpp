// SPDX-License-Identifier: GPL-3.0-or-later
// The hint: when it answers, what it shows, that following it wins, and that it never holds
// the window or outlives it.
#include "FormFixture.h"
#include "ProcessMaps.h"

#include "app/AccessibleBoard.h"
#include "app/SolverCache.h"
#include "app/rules/Solver.h"

#include <QAccessible>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <thread>

namespace {

// Two moves from solved: 14 left, then 15 left.
constexpr std::array<int, 16> kTwoMovesFromSolved = {1, 2,  3,  4,  5,  6,  7,  8,
                                                     9, 10, 11, 12, 13, 16, 14, 15};
// Tiles 14 and 15 swapped: no sequence of slides puts this in order.
constexpr std::array<int, 16> kUnsolvable = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14, 16};

// A search that holds until it is cancelled, so a test can act while it runs; or, standing for
// the tables' build, until the search object closes.
struct HeldSolver {
    bool untilClosing = false;
    std::atomic<int> calls{0};
    std::atomic<bool> running{false};
    std::atomic<bool> sawCancel{false};
    std::atomic<bool> sawClosing{false};
    std::atomic<const std::atomic<bool>*> closingFlag{nullptr}; // handed to the last search

    app::HintSearch::Search search() {
        return [this](const rules::BoardCells&, const std::atomic<bool>& cancel,
                      const std::atomic<bool>& closing) {
            closingFlag = &closing;
            ++calls;
            running = true;
            while (!(untilClosing ? closing : cancel).load())
                std::this_thread::yield();
            sawCancel = cancel.load();
            sawClosing = closing.load();
            running = false;
            return rules::SolveResult{};
        };
    }
};

// Waits, at most 30 s and without running the event loop (which would deliver outcomes), until
// the worker has done what `done` says.
template <class Done> bool waitWithoutEvents(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done())
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        else
            std::this_thread::yield();
    return true;
}

// The tiles the hint draws pressed now.
std::vector<int> tilesDrawnDown(const FormFixture& f) {
    std::vector<int> down;
    for (int n = 1; n <= 15; ++n)
        if (f.form->Tile(n)->DrawnDown())
            down.push_back(n);
    return down;
}

// The first search of a run may build the solver's tables: seconds on a busy machine.
constexpr int kSearchTimeoutMs = 120000;

bool searchEnds(const FormFixture& f) {
    return QTest::qWaitFor([&] { return !f.form->HintSearching(); }, kSearchTimeoutMs);
}

// Asks for a hint and lets its search answer.
bool hintArrives(FormFixture& f) {
    f.form->Hint->trigger();
    return searchEnds(f);
}

// The number in the title the hint shows, -1 when it shows none.
int announcedMoves(const FormFixture& f) {
    const QString title = f.form->windowTitle();
    if (!title.endsWith(QStringLiteral(" to go")))
        return -1;
    return title.section(QLatin1Char(' '), 0, 0).toInt();
}

} // namespace

class TestHint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::InstallAccessibility(); }

    void theHintIsAGameItemAfterTheLastLevelWithKeyH() {
        FormFixture f;
        const QList<QAction*> items = f.form->Files->actions();
        const auto at = items.indexOf(f.form->Hint);
        QCOMPARE(items.at(at - 1), f.form->Play3);
        QCOMPARE(items.at(at + 1), f.form->Records);
        QVERIFY(items.at(at + 2)->isSeparator());
        QCOMPARE(items.at(at + 3), f.form->Music->menuAction());
        QCOMPARE(f.form->Hint->shortcut(), QKeySequence(Qt::Key_H));
        QCOMPARE(f.form->Hint->text(), QStringLiteral("&Hint"));
        QVERIFY(f.form->MenuPainter->Hooks(f.form->Hint));
    }

    void beforeTheFirstGameAndOnASolvedBoardTheHintDoesNothing() {
        FormFixture f;
        f.form->Hint->trigger();
        QVERIFY(!f.form->HintSearching());
        QVERIFY(!f.form->HasHintWorker());
        QVERIFY(f.sounds.empty());
        f.form->PlayClick();
        f.setBoard(kOneMoveFromSolved);
        f.slide(15);
        QCOMPARE(int(f.boxes.size()), 1); // the win
        f.sounds.clear();
        f.form->Hint->trigger();
        QVERIFY(!f.form->HintSearching());
        QVERIFY(f.sounds.empty());
        QVERIFY(!app::Game.HintUsed);
    }

    void pressingHBlinksOneTileNextToTheGapThreeTimesAndNamesTheMoves() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard(kTwoMovesFromSolved);
        f.sounds.clear();
        f.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        QTest::keyClick(f.form.get(), Qt::Key_H);
        QVERIFY(f.form->HintSearching());
        // At once, before any answer: the title says a hint is coming.
        QCOMPARE(f.form->windowTitle(), QStringLiteral("Velmar - working out a hint..."));
        QCOMPARE(f.sounds, std::vector<std::string>{"KEY"});
        QVERIFY(searchEnds(f));
        QCOMPARE(tilesDrawnDown(f), std::vector<int>{14});
        QVERIFY(f.form->Tile(14)->Hinted());
        QVERIFY(rules::DirectionToEmpty(app::Game.Board, rules::CellOfTile(app::Game.Board, 14)));
        QCOMPARE(f.form->windowTitle(), QStringLiteral("2 moves to go"));
        const int blink = f.form->TimerHint.Interval() * 6;
        QVERIFY2(blink >= 900 && blink <= 1100, "about a second");
        // Pressed, released, three times; then the title is the game's again.
        int presses = 1;
        for (int phase = 1; phase < 6; ++phase) {
            QVERIFY(f.form->TimerHint.Enabled());
            f.form->TimerHint.Tick();
            presses += f.form->Tile(14)->DrawnDown() ? 1 : 0;
            QCOMPARE(tilesDrawnDown(f).size(), std::size_t(phase % 2 == 0 ? 1 : 0));
            QVERIFY(f.form->Tile(14)->Hinted()); // marked up and down alike
        }
        QCOMPARE(presses, 3);
        f.form->TimerHint.Tick();
        QVERIFY(!f.form->TimerHint.Enabled());
        QVERIFY(tilesDrawnDown(f).empty());
        QVERIFY(!f.form->Tile(14)->Hinted());
        QCOMPARE(f.form->windowTitle(), QStringLiteral("Velmar"));
        QCOMPARE(f.sounds, std::vector<std::string>{"KEY"});
    }

    void aScreenReaderHearsTheTileAndTheMovesUntilTheBoardChanges() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard(kOneMoveFromSolved);
        QVERIFY(hintArrives(f));
        QAccessibleInterface* tile = QAccessible::queryAccessibleInterface(f.form->Tile(15));
        QCOMPARE(tile->text(QAccessible::Description),
                 QStringLiteral("Tile 15, 1 move to go. Row 4, column 4"));
        for (int phase = 0; phase < 6; ++phase)
            f.form->TimerHint.Tick();
        QVERIFY(tile->text(QAccessible::Description).startsWith(QStringLiteral("Tile 15, 1 move")));
        f.slide(15);
        QCOMPARE(tile->text(QAccessible::Description), QStringLiteral("Row 4, column 3"));
    }

    void followingTheHintsFromADealWinsInExactlyTheAnnouncedMoves() {
        FormFixture f;
        f.form->PlayClick();
        QVERIFY(hintArrives(f));
        const int announced = announcedMoves(f);
        QVERIFY2(announced > 0, qPrintable(f.form->windowTitle()));
        int moves = 0;
        while (f.boxes.empty()) {
            QCOMPARE(announcedMoves(f), announced - moves);
            const int tile = f.form->HintedTile();
            QVERIFY(tile != 0);
            f.slide(tile);
            ++moves;
            QVERIFY(moves <= announced);
            if (f.boxes.empty())
                QVERIFY(hintArrives(f));
        }
        QCOMPARE(moves, announced);
        QVERIFY(rules::IsSolved(app::Game.Board));
        QVERIFY(app::Game.HintUsed);
        QCOMPARE(f.panelText(1), std::to_string(announced)); // the hints added no move
    }

    void aHintTouchesNeitherTheMovesNorTheClocksButMarksTheRound() {
        FormFixture f;
        f.form->Play2Click();
        f.click(1); // counted, whether or not it moves
        f.setBoard(kTwoMovesFromSolved);
        for (int t = 0; t < 3; ++t) {
            f.form->Timer3.Tick();
            f.form->TimerSTR.Tick();
        }
        const std::string moves = f.panelText(1);
        const std::string clock = f.panelText(4);
        const rules::GameState before = app::Game;
        QVERIFY(!before.HintUsed);
        // The clocks' real ticks would change them while the search runs; only the hint's own
        // doings are looked at here.
        const auto countdown = f.form->Timer3.OnTimer;
        const auto timeUsed = f.form->TimerSTR.OnTimer;
        f.form->Timer3.OnTimer = [] {};
        f.form->TimerSTR.OnTimer = [] {};
        const bool arrived = hintArrives(f);
        f.form->Timer3.OnTimer = countdown;
        f.form->TimerSTR.OnTimer = timeUsed;
        QVERIFY(arrived);
        QCOMPARE(f.panelText(1), moves);
        QCOMPARE(f.panelText(4), clock);
        QCOMPARE(app::Game.TimeLeft, before.TimeLeft);
        QCOMPARE(app::Game.TimeUsed, before.TimeUsed);
        QVERIFY(app::Game.Board == before.Board);
        QVERIFY(f.form->Timer3.Enabled() && f.form->TimerSTR.Enabled());
        QVERIFY(app::Game.HintUsed);
        f.form->PlayClick();
        QVERIFY(!app::Game.HintUsed);
    }

    void aSlideUnderWayCountsAsMade() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard(kTwoMovesFromSolved);
        f.click(14); // the first of its ten steps
        QVERIFY(app::Game.Sliding);
        QVERIFY(hintArrives(f));
        QCOMPARE(f.form->HintedTile(), 15);
        QCOMPARE(f.form->windowTitle(), QStringLiteral("1 move to go"));
        for (int i = 0; i < 9; ++i)
            f.form->Timer1.Tick();
        QCOMPARE(tilesDrawnDown(f), std::vector<int>{15}); // the slide it expected ends no blink
    }

    void aMoveWhileTheSearchRunsGetsAHintForTheNewBoard() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard(kTwoMovesFromSolved);
        f.form->Hint->trigger();
        f.slide(14); // before the answer can arrive
        QVERIFY(searchEnds(f));
        QCOMPARE(f.form->HintedTile(), 15);
        QCOMPARE(f.form->windowTitle(), QStringLiteral("1 move to go"));
    }

    void anUnsolvableBoardIsSaidSoAndNothingBlinks() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard(kUnsolvable);
        QVERIFY(hintArrives(f));
        QCOMPARE(int(f.boxes.size()), 1);
        QCOMPARE(f.boxes.front().Text, std::string("These tiles cannot be brought into order."));
        QVERIFY(tilesDrawnDown(f).empty());
        QVERIFY(!app::Game.HintUsed);
    }

    void aSearchThatFailsIsSaidAndOneThatGivesUpFreesTheNextHint() {
        std::atomic<int> calls{0};
        FormFixture f;
        f.form->SetHintSolver([&calls](const rules::BoardCells&, const std::atomic<bool>&,
                                       const std::atomic<bool>&) -> rules::SolveResult {
            if (++calls == 1)
                throw std::runtime_error("No memory for the tables.");
            return {}; // gave up without being cancelled
        });
        f.form->PlayClick();
        QVERIFY(hintArrives(f));
        QCOMPARE(int(f.boxes.size()), 1);
        QCOMPARE(f.boxes.front().Text, std::string("No memory for the tables."));
        QVERIFY(hintArrives(f));
        QVERIFY(hintArrives(f));
        QCOMPARE(calls.load(), 3);
        QCOMPARE(int(f.boxes.size()), 1);
        QVERIFY(tilesDrawnDown(f).empty());
        QVERIFY(!app::Game.HintUsed);
    }

    void aSecondHWhileOneSearchesDoesNothingMore() {
        HeldSolver solver;
        FormFixture f;
        f.form->SetHintSolver(solver.search());
        f.form->PlayClick();
        f.sounds.clear();
        f.form->Hint->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(solver.running, 30000);
        f.form->Hint->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(solver.calls.load(), 1);
        QCOMPARE(f.sounds, std::vector<std::string>{"KEY"});
        QVERIFY(f.form->HintSearching());
    }

    // A search the player waits for says so in the player's language, and the title is the
    // game's again once it ends without a hint.
    void aHintAtWorkSaysSoInTheTitleUntilItEnds() {
        HeldSolver solver;
        FormFixture f;
        f.form->SetHintSolver(solver.search());
        f.panel->ComboBox1->setCurrentIndex(2);
        f.panel->ComboBox1Change();
        f.form->PlayClick();
        f.form->Hint->trigger();
        QCOMPARE(f.form->windowTitle(), QStringLiteral("Velmar - підказка готується..."));
        QTRY_VERIFY_WITH_TIMEOUT(solver.running, 30000);
        f.form->Play3Click();
        QCOMPARE(f.form->windowTitle(), QStringLiteral("Velmar"));
    }

    void aNewGameALanguageChangeOrTheCloseCancelTheSearchAtOnce_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("new game") << 0;
        QTest::newRow("language change") << 1;
        QTest::newRow("close") << 2;
    }
    void aNewGameALanguageChangeOrTheCloseCancelTheSearchAtOnce() {
        QFETCH(int, how);
        HeldSolver solver;
        FormFixture f;
        f.form->SetHintSolver(solver.search());
        f.form->PlayClick();
        f.form->Hint->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(solver.running, 30000);
        switch (how) {
        case 0:
            f.form->Play3Click();
            break;
        case 1:
            f.panel->ComboBox1->setCurrentIndex(2);
            f.panel->ComboBox1Change();
            break;
        default:
            f.form->EndProgram(); // where a confirmed close and an end signal arrive
            QTRY_VERIFY_WITH_TIMEOUT(solver.sawCancel, 30000);
            QVERIFY(!f.form->TimerHint.Enabled());
            f.form.reset(); // and the worker ends with the window
            return;
        }
        QVERIFY(!f.form->HintSearching());
        QTRY_VERIFY_WITH_TIMEOUT(solver.sawCancel, 30000);
        QVERIFY(!solver.sawClosing);
        QCoreApplication::processEvents();
        QVERIFY(tilesDrawnDown(f).empty());
        QVERIFY(!app::Game.HintUsed);
        // The next H searches again.
        f.form->Hint->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(solver.calls.load(), 2, 30000);
    }

    // The tables' build serves every later hint: a new game goes on without waiting for it
    // and without stopping it, and the window's end stops it.
    void theTablesAreMadeThroughANewGameAndStopWithTheWindow() {
        HeldSolver build;
        build.untilClosing = true;
        FormFixture f;
        f.form->SetHintSolver(build.search());
        f.form->PlayClick();
        f.form->Hint->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(build.running, 30000);
        f.form->Play3Click();
        QVERIFY(!f.form->HintSearching());
        QVERIFY(!build.closingFlag.load()->load()); // the build is not told to stop
        QVERIFY(build.running);
        f.form.reset();
        QVERIFY(!build.running);
        QVERIFY(build.sawClosing);
    }

    // The game's own solver: a search cancelled while the tables are made still makes and
    // stores them, and the next search uses them.
    void theGameSolverMakesItsTablesThroughACancelledSearch() {
#if defined(__SANITIZE_THREAD__)
        QSKIP("the build takes a minute here; the table suites check its threads");
#endif
        QTemporaryDir cache;
        const std::optional<QByteArray> given =
            qEnvironmentVariableIsSet("XDG_CACHE_HOME")
                ? std::optional<QByteArray>(qgetenv("XDG_CACHE_HOME"))
                : std::nullopt;
        qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
        app::HintSearch::Search solver = app::HintSearch::GameSolver();
        rules::BoardCells board{};
        for (std::size_t cell = 0; cell < 16; ++cell)
            board[cell + 1] = static_cast<std::uint8_t>(kTwoMovesFromSolved[cell]);
        const std::atomic<bool> raised{true};
        const std::atomic<bool> lowered{false};
        solver(board, raised, lowered); // a board this near home is solved before the flag is read
        const bool stored =
            QFile::exists(cache.filePath(QString("velmar/") + app::SolverTablesFile));
        const rules::SolveResult next = solver(board, lowered, lowered);
        const QString file = cache.filePath(QString("velmar/") + app::SolverTablesFile);
        const bool mappedBefore = MapsFile(file);
        solver.LetGo();
        const bool mappedAfter = MapsFile(file);
        const rules::SolveResult again = solver(board, lowered, lowered);
        const bool mappedAgain = MapsFile(file);
        if (given)
            qputenv("XDG_CACHE_HOME", *given);
        else
            qunsetenv("XDG_CACHE_HOME");
        QVERIFY(stored);
        QCOMPARE(next.Status, rules::SolveStatus::Solved);
        QCOMPARE(next.Tiles, (std::vector<std::uint8_t>{14, 15}));
        // Let go, the tables cost nothing; the next search reads them again from the file.
        QVERIFY(mappedBefore);
        QVERIFY(!mappedAfter);
        QCOMPARE(again.Tiles, next.Tiles);
        QVERIFY(mappedAgain);
    }

    // Once no search has come for a while the worker lets go of what only searches need, and
    // the next search still answers.
    void anIdleWorkerLetsGoAndStillAnswersTheNextSearch() {
        std::atomic<int> letGo{0};
        std::atomic<int> searchedAfterLetGo{0};
        int found = 0;
        app::HintSearch search(
            [&](const app::HintSearch::Outcome&) { ++found; },
            app::HintSearch::Search(
                [&](const rules::BoardCells&, const std::atomic<bool>&, const std::atomic<bool>&) {
                    searchedAfterLetGo = letGo.load();
                    rules::SolveResult result;
                    result.Status = rules::SolveStatus::Solved;
                    return result;
                },
                [&letGo] { ++letGo; }),
            std::chrono::milliseconds(20));
        search.Start(rules::BoardCells{});
        QTRY_COMPARE_WITH_TIMEOUT(found, 1, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(letGo.load(), 1, 30000);
        search.Start(rules::BoardCells{});
        QTRY_COMPARE_WITH_TIMEOUT(found, 2, 30000);
        QCOMPARE(searchedAfterLetGo.load(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(letGo.load(), 2, 30000);
    }

    // The worker's outcomes come back on the UI thread; a start that overtakes a search
    // under way gets its own board's outcome only, never an older one, however close they come.
    void searchesStartedInARowAnswerOnceForTheLastBoardOnTheUIThread() {
        std::vector<app::HintSearch::Outcome> found;
        std::vector<std::thread::id> foundOn;
        std::atomic<int> lastSolved{0};
        app::HintSearch search(
            [&](const app::HintSearch::Outcome& outcome) {
                found.push_back(outcome);
                foundOn.push_back(std::this_thread::get_id());
            },
            [&lastSolved](const rules::BoardCells& board, const std::atomic<bool>&,
                          const std::atomic<bool>&) {
                rules::SolveResult result;
                result.Status = rules::SolveStatus::Solved;
                result.Tiles = {board[1]};
                lastSolved = board[1];
                return result;
            });
        for (int round = 0; round < 20; ++round) {
            found.clear();
            rules::BoardCells board{};
            for (std::uint8_t first = 1; first <= 15; ++first) {
                board[1] = first;
                search.Start(board);
                if (first % 4 == 0) // sometimes the worker is done before the next start
                    QVERIFY(waitWithoutEvents([&] { return lastSolved == first; }));
            }
            QVERIFY(QTest::qWaitFor([&] { return !search.Busy(); }, 30000));
            QCoreApplication::processEvents();
            QCOMPARE(int(found.size()), 1);
            QCOMPARE(found.front().Board[1], std::uint8_t(15));
            QCOMPARE(found.front().Result.Tiles, std::vector<std::uint8_t>{15});
            QCOMPARE(foundOn.back(), std::this_thread::get_id());
        }
    }

    void theHintSpeaksThePlayersLanguage() {
        FormFixture f;
        f.form->PlayClick();
        f.setBoard(kTwoMovesFromSolved);
        f.panel->ComboBox1->setCurrentIndex(1);
        f.panel->ComboBox1Change();
        QVERIFY(hintArrives(f));
        QCOMPARE(f.form->windowTitle(), QStringLiteral("2 хода до победы"));
        QCOMPARE(QAccessible::queryAccessibleInterface(f.form->Tile(14))
                     ->text(QAccessible::Description)
                     .section(QLatin1Char('.'), 0, 0),
                 QStringLiteral("Фишка 14, 2 хода до победы"));
        // A language change during the blink puts the new language's title up at once.
        f.panel->ComboBox1->setCurrentIndex(3);
        f.panel->ComboBox1Change();
        QVERIFY(tilesDrawnDown(f).empty());
        QCOMPARE(f.form->windowTitle(), QStringLiteral("Velmar"));
    }
};

VELMAR_TEST_MAIN(TestHint)
#include "TestHint.moc"
