// SPDX-License-Identifier: GPL-3.0-or-later
#include "Soaker.h"

#include "app/Forms.h"
#include "app/TForm1.h"
#include "dialogs/TControllPanel.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

constexpr double kSampleEverySeconds = 10;
constexpr double kQuietSeconds = 1;
constexpr double kSettledSeconds = 60; // start-up allocations and caches are done by then
constexpr double kBaseSeconds = 30;    // the samples after that which make the baseline
constexpr std::size_t kEndSamples = 3; // and the ones at the end compared with it
constexpr std::uint64_t kAllowedGrowth = 2u << 20;

// Under AddressSanitizer freed memory waits in a quarantine of hundreds of MiB, so resident
// memory says nothing there; the sanitizer's own leak check at the end stands in for it.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryJudged = false;
#else
constexpr bool kMemoryJudged = true;
#endif

// How often each action comes up, in the order of Soaker::Action.
constexpr std::array<int, Soaker::ActionCount> kWeights = {30, 10, 1, 15, 4, 4, 4, 3, 2, 5, 2, 5};

constexpr std::array<const char*, Soaker::ActionCount> kNames = {
    "deals",       "wins",           "run-outs",   "melody commands", "language switches",
    "about boxes", "volume windows", "parameters", "help pages",      "status bar toggles",
    "minimises",   "hints"};

// The solved board but for the last two cells, so sliding 15 wins.
constexpr std::array<int, 16> kOneMoveFromSolved = {1, 2,  3,  4,  5,  6,  7,  8,
                                                    9, 10, 11, 12, 13, 14, 16, 15};

using Command = void (app::TForm1::*)();
constexpr std::array<Command, 4> kLevels = {&app::TForm1::PlayClick, &app::TForm1::Play1Click,
                                            &app::TForm1::Play2Click, &app::TForm1::Play3Click};
constexpr std::array<Command, 4> kMelodyCommands = {
    &app::TForm1::PlayMusic1Click, &app::TForm1::PlayMusic2Click, &app::TForm1::PlayMusic3Click,
    &app::TForm1::StopedClick};

} // namespace

Soaker::Soaker(app::TForm1& form, double seconds) : form_(form), seconds_(seconds) {
    // VELMAR_SOAK_WEIGHTS="30,10,..." narrows the session down to the actions under suspicion.
    std::copy(kWeights.begin(), kWeights.end(), weights_.begin());
    const QStringList given =
        qEnvironmentVariable("VELMAR_SOAK_WEIGHTS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (int i = 0; i < given.size() && i < ActionCount; ++i)
        weights_[std::size_t(i)] = given[i].toInt();
    clock_.start();
    pulse_.setInterval(2);
    connect(&pulse_, &QTimer::timeout, this, &Soaker::pulse);
    pulse_.start();
}

// Runs in every loop, nested ones included; the work itself goes out as a fresh single shot,
// because a timer does not fire again while its own handler is still running.
void Soaker::pulse() {
    if (busy_)
        return;
    if (auto* top = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        busy_ = true;
        QTimer::singleShot(0, this, [this, window = QPointer<QDialog>(top)] {
            busy_ = false;
            if (window)
                answer(window);
        });
        return;
    }
    const double now = double(clock_.elapsed()) / 1000;
    if (now >= seconds_) {
        pulse_.stop();
        sample();
        form_.EndProgram();
        return;
    }
    if (now >= nextSample_) {
        // Sampled with the music stopped and its instruments let go, so that what is measured
        // is what stays, not what a melody holds while it plays.
        if (quietFrom_ < 0) {
            form_.StopedClick();
            quietFrom_ = now;
        }
        if (now - quietFrom_ < kQuietSeconds)
            return;
        sample();
        quietFrom_ = -1;
        nextSample_ += kSampleEverySeconds;
        return;
    }
    busy_ = true;
    QTimer::singleShot(0, this, [this] {
        busy_ = false;
        act();
    });
}

void Soaker::answer(QDialog* window) {
    if (!window->property("soakSeen").toBool() && inside_) {
        window->setProperty("soakSeen", true);
        std::exchange(inside_, {})();
        return; // closed at the next pulse
    }
    // A message box has push buttons of its own; the game's dialogs close as by their box.
    const auto buttons = window->findChildren<QPushButton*>();
    if (window->metaObject() == &QDialog::staticMetaObject && !buttons.isEmpty()) {
        ++boxes_;
        buttons.front()->click();
    } else {
        window->close();
    }
}

void Soaker::act() {
    closeStrayWindows();
    if (restore_) {
        form_.showNormal();
        form_.activateWindow();
        restore_ = false;
    }
    std::discrete_distribution<int> pick(weights_.begin(), weights_.end());
    const auto action = Action(pick(random_));
    ++done_[action];
    switch (action) {
    case Deal:
        (form_.*kLevels[random_() % kLevels.size()])();
        break;
    case Win:
        winRound();
        break;
    case RunOut:
        form_.Play3Click();
        openWith([this] { form_.ParametersGameClick(); },
                 [this] {
                     for (int tick = 0; tick <= 300; ++tick)
                         form_.Timer3.Tick();
                 });
        break;
    case Melody:
        (form_.*kMelodyCommands[random_() % kMelodyCommands.size()])();
        break;
    case Language:
        openWith([this] { form_.ParametersGameClick(); },
                 [this] {
                     app::ControllPanel->ComboBox1->SetItemIndex(int(random_() % 4));
                     app::ControllPanel->ComboBox1Change();
                 });
        break;
    case About:
        form_.SpeedButton2Click();
        break;
    case Volume:
        form_.Volime1Click();
        break;
    case Parameters:
        form_.ParametersGameClick();
        break;
    case Help:
        form_.HelpOnHelpClick();
        break;
    case StatusBar:
        form_.VisibeStatBarClick();
        break;
    case Minimise:
        form_.MinimisetsClick();
        restore_ = true;
        break;
    case Hint: // most are cancelled by the next deal; the rest blink their tile
        form_.HintClick();
        break;
    case ActionCount:
        break;
    }
}

void Soaker::winRound() {
    form_.PlayClick();
    for (int i = 0; i < 16; ++i)
        app::Game.Board[std::size_t(i) + 1] = std::uint8_t(kOneMoveFromSolved[std::size_t(i)]);
    form_.PlaceTiles();
    form_.Button15Click(form_.Tile(15));
    for (int i = 0; i < 9; ++i)
        form_.Timer1.Tick(); // the slide's steps; the last one shows the win
}

void Soaker::openWith(std::function<void()> open, std::function<void()> inside) {
    inside_ = std::move(inside);
    open();
    inside_ = {};
}

// The help viewer is an ordinary window; it goes before the next action.
void Soaker::closeStrayWindows() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != &form_ && window->isVisible() && !window->isModal() && window->isWindow() &&
            window->windowType() == Qt::Window)
            window->close();
}

void Soaker::sample() {
    samples_.push_back(SampleProcess(double(clock_.elapsed()) / 1000));
    long actions = 0;
    for (long n : done_)
        actions += n;
    std::printf("soak: %s  actions %ld\n", samples_.back().Describe().c_str(), actions);
    std::fflush(stdout);
}

// A spike (a dialog's images, a box being built) passes; what stays does not: the least of
// the last samples is held against the most (the least, for memory) of the settled ones.
bool Soaker::Passed() const {
    const double settled = std::min(kSettledSeconds, seconds_ / 2);
    std::vector<ProcessSample> base;
    for (const ProcessSample& s : samples_)
        if (s.seconds >= settled && s.seconds <= settled + kBaseSeconds)
            base.push_back(s);
    if (base.empty() || samples_.size() < kEndSamples + base.size()) {
        std::fprintf(stderr, "soak: too short to judge (%zu samples)\n", samples_.size());
        return false;
    }
    const std::vector<ProcessSample> end(samples_.end() - long(kEndSamples), samples_.end());
    const auto least = [](const std::vector<ProcessSample>& v, auto field) {
        auto m = v.front().*field;
        for (const ProcessSample& s : v)
            m = std::min(m, s.*field);
        return m;
    };
    const auto most = [](const std::vector<ProcessSample>& v, auto field) {
        auto m = v.front().*field;
        for (const ProcessSample& s : v)
            m = std::max(m, s.*field);
        return m;
    };
    bool ok = true;
    const auto judge = [&](const char* what, auto field, auto allowed, auto baseValue) {
        const auto endValue = least(end, field);
        if (endValue > baseValue + allowed) {
            std::fprintf(stderr, "soak: %s grew from %g after the first minute to %g at the end\n",
                         what, double(baseValue), double(endValue));
            ok = false;
        }
    };
    if (kMemoryJudged)
        judge("resident memory (bytes)", &ProcessSample::residentBytes, kAllowedGrowth,
              least(base, &ProcessSample::residentBytes));
    judge("descriptors", &ProcessSample::descriptors, 0, most(base, &ProcessSample::descriptors));
    judge("threads", &ProcessSample::threads, 0, most(base, &ProcessSample::threads));
    judge("timers", &ProcessSample::timers, 0, most(base, &ProcessSample::timers));
    return ok;
}

void Soaker::Report() const {
    std::printf("soak: %.0f s, %ld message boxes answered\n", seconds_, boxes_);
    for (std::size_t i = 0; i < kNames.size(); ++i)
        std::printf("soak:   %ld %s\n", done_[i], kNames[i]);
}
