// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/rules/MovePruning.h"

#include <QTest>

#include <algorithm>
#include <map>
#include <utility>

using namespace rules;

namespace {

using Steps = std::vector<Step>;
using Cell = std::pair<int, int>; // row, column

// What a string does to a board without edges: the empty cell's end and every tile's new cell.
struct Played {
    Cell Empty{0, 0};
    std::map<Cell, Cell> TileAt; // cell -> the cell the tile there started on
    int Top = 0, Bottom = 0, Left = 0, Right = 0;
};

Played play(const Steps& steps) {
    Played out;
    for (const Step step : steps) {
        Cell next = out.Empty;
        if (step == Step::Up)
            --next.first;
        else if (step == Step::Down)
            ++next.first;
        else if (step == Step::Left)
            --next.second;
        else
            ++next.second;
        const auto moved = out.TileAt.find(next);
        out.TileAt[out.Empty] = moved == out.TileAt.end() ? next : moved->second;
        out.TileAt.erase(next);
        out.Empty = next;
        out.Top = std::min(out.Top, next.first);
        out.Bottom = std::max(out.Bottom, next.first);
        out.Left = std::min(out.Left, next.second);
        out.Right = std::max(out.Right, next.second);
    }
    std::erase_if(out.TileAt, [](const auto& entry) { return entry.first == entry.second; });
    return out;
}

bool sameEffect(const Played& a, const Played& b) {
    return a.Empty == b.Empty && a.TileAt == b.TileAt;
}

bool within(const Played& inner, const Played& outer) {
    return inner.Top >= outer.Top && inner.Bottom <= outer.Bottom && inner.Left >= outer.Left &&
           inner.Right <= outer.Right;
}

// Every string of up to `longest` steps, shortest first, in step order within a length.
std::vector<Steps> allStrings(int longest) {
    std::vector<Steps> out{{}};
    for (std::size_t from = 0; out[from].size() < static_cast<std::size_t>(longest); ++from)
        for (int s = 0; s < StepCount; ++s) {
            Steps longer = out[from];
            longer.push_back(static_cast<Step>(s));
            out.push_back(longer);
        }
    return out;
}

bool contains(const Steps& text, const Steps& part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end()) != text.end();
}

MovePruning::State run(const MovePruning& pruning, const Steps& steps) {
    MovePruning::State state = MovePruning::Start;
    for (const Step step : steps)
        if (state != MovePruning::Rejected)
            state = pruning.Next(state, step);
    return state;
}

QString text(const Steps& steps) {
    QString out;
    for (const Step step : steps)
        out += QLatin1Char("UDLR"[static_cast<int>(step)]);
    return out;
}

} // namespace

class TestMovePruning : public QObject {
    Q_OBJECT

private slots:
    void everyBanHasAnEarlierTwinThatStaysWithinItsReach() {
        // The twin can then be played wherever the banned string can, and leaves the same board.
        const MovePruning pruning = MovePruning::Learn(8);
        const std::vector<Steps> strings = allStrings(8);
        std::vector<Played> played;
        for (const Steps& steps : strings)
            played.push_back(play(steps));
        QCOMPARE_GT(pruning.Banned().size(), 4u);
        for (const Steps& banned : pruning.Banned()) {
            const Played effect = play(banned);
            // Strings come shortest first and in step order, so a twin before the ban is earlier.
            bool found = false;
            for (std::size_t i = 0; !found && strings[i] != banned; ++i)
                found = sameEffect(played[i], effect) && within(played[i], effect);
            QVERIFY2(found, qPrintable(text(banned)));
        }
    }

    void theShortBansAreTheStepsBackAndHalfWayRoundASquare() {
        const MovePruning pruning = MovePruning::Learn(6);
        QStringList bans;
        for (const Steps& banned : pruning.Banned())
            bans << text(banned);
        QCOMPARE(bans,
                 (QStringList{"UD", "DU", "LR", "RL", "LURDLU", "LDRULD", "RULDRU", "RDLURD"}));
    }

    void noBanHoldsAnother() {
        // A ban inside a ban would mean the learning went on past a string it had banned.
        const MovePruning pruning = MovePruning::Learn(10);
        const auto& bans = pruning.Banned();
        for (std::size_t i = 0; i < bans.size(); ++i)
            for (std::size_t j = 0; j < bans.size(); ++j)
                if (i != j && contains(bans[i], bans[j]))
                    QFAIL(qPrintable(text(bans[i]) + " holds " + text(bans[j])));
    }

    void theAutomatonRejectsExactlyTheStringsThatHoldABan() {
        const MovePruning learned = MovePruning::Learn(8);
        const MovePruning handMade = MovePruning::Banning(
            {{Step::Up, Step::Left}, {Step::Left, Step::Left, Step::Down}, {Step::Down}});
        for (const MovePruning* pruning : {&learned, &handMade}) {
            for (const Steps& steps : allStrings(9)) {
                const bool banned =
                    std::any_of(pruning->Banned().begin(), pruning->Banned().end(),
                                [&](const Steps& ban) { return contains(steps, ban); });
                if ((run(*pruning, steps) == MovePruning::Rejected) != banned)
                    QFAIL(qPrintable(text(steps)));
            }
        }
    }

    void withNoBanEveryStringIsAllowed() {
        const MovePruning pruning = MovePruning::Banning({});
        QCOMPARE(pruning.StateCount(), 1u);
        QVERIFY(run(pruning, {Step::Up, Step::Down, Step::Up, Step::Down}) !=
                MovePruning::Rejected);
    }
};

QTEST_APPLESS_MAIN(TestMovePruning)
#include "TestMovePruning.moc"
