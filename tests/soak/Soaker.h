// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ProcessSample.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>
#include <random>
#include <vector>

class QDialog;
namespace app {
class TForm1;
}

// Plays the real game for a while as a restless player would, one action at a time, and
// samples the process every few seconds. Each modal window that comes up is answered from
// inside its own loop, so clocks run out and boxes stack behind open dialogs as they would.
class Soaker : public QObject {
public:
    enum Action {
        Deal,
        Win,
        RunOut,
        Melody,
        Language,
        About,
        Volume,
        Parameters,
        Help,
        StatusBar,
        Minimise,
        Hint,
        ActionCount
    };

    Soaker(app::TForm1& form, double seconds);

    // Whether the session stayed within its bounds; says why not on standard error.
    bool Passed() const;
    void Report() const;

private:
    void pulse();
    void act();
    void answer(QDialog* window);
    void sample();
    void winRound();
    void openWith(std::function<void()> open, std::function<void()> inside);
    void closeStrayWindows();

    app::TForm1& form_;
    double seconds_;
    QElapsedTimer clock_;
    QTimer pulse_;
    std::mt19937 random_{20261209};
    bool busy_ = false;            // an action or an answer is waiting to start
    bool restore_ = false;         // minimised, to be shown again
    std::function<void()> inside_; // what to do in the next modal window before closing it
    std::array<int, ActionCount> weights_{};
    std::array<long, ActionCount> done_{};
    long boxes_ = 0;
    double nextSample_ = 0;
    double quietFrom_ = -1; // when the music was stopped for the next sample
    std::vector<ProcessSample> samples_;
};
