// SPDX-License-Identifier: GPL-3.0-or-later
// A game left running opens the same windows thousands of times: no opening may leave behind
// something the next one adds to.
#include "FormFixture.h"

#include <QSignalSpy>
#include <QWindow>

namespace {

constexpr int kOpenings = 200;

// How many connections a signal of a sender holds (QObject keeps the count to its own kind).
struct SignalReceivers : QObject {
    static int of(const QObject* sender, const char* signal) {
        using Count = int (QObject::*)(const char*) const;
        const Count count = &SignalReceivers::receivers;
        return (sender->*count)(signal);
    }
};

int focusTies(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    return handle ? SignalReceivers::of(handle, SIGNAL(focusObjectChanged(QObject*))) : 0;
}

QDialog* dialogOf(const FormFixture& f, int which) {
    QDialog* const dialogs[] = {f.about, f.panel, f.volume};
    return dialogs[which];
}

// Opens the dialog and closes it as its close box does, from inside its own loop.
void openAndClose(QDialog* dialog, const std::function<void()>& inside = {}) {
    QTimer::singleShot(0, dialog, [dialog, inside] {
        if (inside)
            inside();
        dialog->close();
    });
    dialog->exec();
    QCoreApplication::processEvents();
}

} // namespace

class TestRepeatedWindows : public QObject {
    Q_OBJECT

private slots:
    void eachDialog_data();
    void dialogOpenedTwoHundredTimesHoldsNoMoreThanOneFocusTie_data() { eachDialog_data(); }
    void dialogOpenedTwoHundredTimesHoldsNoMoreThanOneFocusTie();
    void focusMovingInsideAReopenedDialogStillReachesTheApplication_data() { eachDialog_data(); }
    void focusMovingInsideAReopenedDialogStillReachesTheApplication();
};

void TestRepeatedWindows::eachDialog_data() {
    QTest::addColumn<int>("which");
    QTest::newRow("about box") << 0;
    QTest::newRow("parameters") << 1;
    QTest::newRow("volume window") << 2;
}

void TestRepeatedWindows::dialogOpenedTwoHundredTimesHoldsNoMoreThanOneFocusTie() {
    QFETCH(int, which);
    FormFixture f;
    QDialog* dialog = dialogOf(f, which);
    int mostWhileOpen = 0;
    for (int i = 0; i < kOpenings; ++i)
        openAndClose(dialog, [&] { mostWhileOpen = std::max(mostWhileOpen, focusTies(dialog)); });
    QCOMPARE(mostWhileOpen, 1);
    QVERIFY(focusTies(dialog) <= 1);
}

// The tie is what tells the application (and an input method) where the keyboard focus went.
void TestRepeatedWindows::focusMovingInsideAReopenedDialogStillReachesTheApplication() {
    QFETCH(int, which);
    FormFixture f;
    QDialog* dialog = dialogOf(f, which);
    for (int i = 0; i < kOpenings; ++i)
        openAndClose(dialog);
    auto* target = new QWidget(dialog);
    target->setFocusPolicy(Qt::StrongFocus);
    bool reached = false;
    openAndClose(dialog, [&] {
        QSignalSpy spy(qApp, &QGuiApplication::focusObjectChanged);
        target->setFocus();
        reached = !spy.isEmpty() && spy.last().at(0).value<QObject*>() == target;
    });
    delete target;
    QVERIFY(reached);
}

VELMAR_TEST_MAIN(TestRepeatedWindows)
#include "TestRepeatedWindows.moc"
