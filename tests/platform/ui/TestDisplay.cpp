// SPDX-License-Identifier: GPL-3.0-or-later
// A start without a reachable display ends in one clear line and status 1, never in the
// toolkit's abort.
#include "platform/ui/Display.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using platform::UnreachableDisplay;

namespace {

// A display number no test machine runs a server on.
constexpr const char* kDeadDisplay = ":9173";

// A listening socket, by path or (for an X display) in the abstract namespace.
class Listener {
public:
    Listener(const std::string& name, bool abstract) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::size_t offset = abstract ? 1 : 0;
        std::memcpy(address.sun_path + offset, name.data(), name.size());
        const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + offset + name.size());
        listening_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
                     ::listen(fd_, 4) == 0;
    }
    ~Listener() {
        ::shutdown(fd_, SHUT_RDWR); // ends a hang-up loop's accept()
        if (hangingUp_.joinable())
            hangingUp_.join();
        ::close(fd_);
    }
    bool Listening() const { return listening_; }

    // Takes every connection and closes it at once, as a server that is no X server would.
    void HangUpOnEveryone() {
        hangingUp_ = std::thread([fd = fd_] {
            for (int client; (client = ::accept(fd, nullptr, nullptr)) >= 0;)
                ::close(client);
        });
    }

private:
    int fd_ = -1;
    bool listening_ = false;
    std::thread hangingUp_;
};

// The game started with just these display variables (and none of the suite's platform).
struct Start {
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QString errors;
};

Start startGame(const QString& display, const QString& wayland) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    if (!display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), display);
    if (!wayland.isEmpty())
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), wayland);
    QProcess game;
    game.setProcessEnvironment(env);
    game.start(QStringLiteral(VELMAR_GAME), {});
    Start result;
    if (!game.waitForFinished(30000)) {
        game.kill();
        game.waitForFinished();
        result.errors = QStringLiteral("still running after 30 s: ") +
                        QString::fromUtf8(game.readAllStandardError());
        return result;
    }
    result.exitCode = game.exitCode();
    result.status = game.exitStatus();
    result.errors = QString::fromUtf8(game.readAllStandardError());
    return result;
}

} // namespace

class TestDisplay : public QObject {
    Q_OBJECT

private slots:
    void init() {
        qunsetenv("QT_QPA_PLATFORM");
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
    }
    void cleanup() { qputenv("QT_QPA_PLATFORM", "offscreen"); }

    void anXServerThatAnswersIsReachable() {
        const Listener server("/tmp/.X11-unix/X9174", true);
        QVERIFY(server.Listening());
        qputenv("DISPLAY", ":9174.0");
        QCOMPARE(UnreachableDisplay(), std::nullopt);
    }

    void aWaylandSocketThatAnswersIsReachableEvenWithADeadXServer() {
        QTemporaryDir runtime;
        const Listener compositor(runtime.filePath("wayland-7").toStdString(), false);
        QVERIFY(compositor.Listening());
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        qputenv("WAYLAND_DISPLAY", "wayland-7");
        qputenv("DISPLAY", kDeadDisplay);
        QCOMPARE(UnreachableDisplay(), std::nullopt);
    }

    void deadDisplaysAreNamedInTheWord_data() {
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<QString>("word");
        QTest::newRow("no X server") << QByteArray(kDeadDisplay) << QByteArray() << QByteArray()
                                     << QStringLiteral("cannot reach the display :9173 (DISPLAY)");
        QTest::newRow("closed forwarding")
            << QByteArray("localhost:9173.0") << QByteArray() << QByteArray()
            << QStringLiteral("cannot reach the display localhost:9173.0 (DISPLAY)");
        QTest::newRow("Wayland socket gone")
            << QByteArray(kDeadDisplay) << QByteArray("/nonexistent/wayland-0") << QByteArray()
            << QStringLiteral(
                   "cannot reach the display /nonexistent/wayland-0 (WAYLAND_DISPLAY) nor "
                   ":9173 (DISPLAY)");
        QTest::newRow("xcb chosen, Wayland ignored")
            << QByteArray(kDeadDisplay) << QByteArray("/nonexistent/wayland-0") << QByteArray("xcb")
            << QStringLiteral("cannot reach the display :9173 (DISPLAY)");
    }
    void deadDisplaysAreNamedInTheWord() {
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, platform);
        QFETCH(QString, word);
        qputenv("DISPLAY", display);
        if (!wayland.isEmpty())
            qputenv("WAYLAND_DISPLAY", wayland);
        if (!platform.isEmpty())
            qputenv("QT_QPA_PLATFORM", platform);
        QCOMPARE(QString::fromStdString(UnreachableDisplay().value_or("reachable")), word);
    }

    void anOffscreenPlatformNeedsNoDisplay() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("DISPLAY", kDeadDisplay);
        QCOMPARE(UnreachableDisplay(), std::nullopt);
    }

    void theGameEndsWithOneLineAndStatusOne_data() {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QString>("named");
        QTest::newRow("none set") << QString() << QString()
                                  << QStringLiteral("DISPLAY or WAYLAND_DISPLAY unset");
        QTest::newRow("unreachable")
            << QString(kDeadDisplay) << QStringLiteral("/nonexistent/wayland-0")
            << QStringLiteral("/nonexistent/wayland-0 (WAYLAND_DISPLAY) nor :9173");
        // Passes the check, and fails in the toolkit: its own warnings come first.
        QTest::newRow("answers but is no X server")
            << QStringLiteral(":9175") << QString()
            << QStringLiteral("cannot open the display :9175 (DISPLAY)");
    }
    void theGameEndsWithOneLineAndStatusOne() {
        QFETCH(QString, display);
        QFETCH(QString, wayland);
        QFETCH(QString, named);
        Listener impostor("/tmp/.X11-unix/X9175", true);
        QVERIFY(impostor.Listening());
        impostor.HangUpOnEveryone();
        const Start start = startGame(display, wayland);
        // No SIGABRT, no core; what the game said shows why it did not end by itself.
        QVERIFY2(start.status == QProcess::NormalExit, qPrintable(start.errors));
        QCOMPARE(start.exitCode, 1);
        const QStringList lines = start.errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(!lines.isEmpty() && lines.back().contains(named), qPrintable(start.errors));
        QVERIFY2(lines.size() == 1 || display == ":9175", qPrintable(start.errors));
        QVERIFY(!start.errors.contains(QLatin1String("einstall")));
    }
};

QTEST_GUILESS_MAIN(TestDisplay)
#include "TestDisplay.moc"
