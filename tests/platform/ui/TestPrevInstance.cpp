// SPDX-License-Identifier: GPL-3.0-or-later
// The one game per session without a session bus: the lock in the runtime folder, which a
// killed holder never keeps, and the interface a second start calls on the socket beside it.
#include "platform/ui/Application.h"
#include "platform/ui/PrevInstance.h"
#include "platform/ui/RuntimeLock.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

namespace {

constexpr const char* kId = "io.github.velmar.Velmar";

QString runtimeFile(const QTemporaryDir& runtime, const char* suffix) {
    return runtime.filePath(QLatin1String(kId) + QLatin1String(suffix));
}

// A call as a second start makes it, answered by this thread's own event loop.
QDBusMessage callOnSocket(const QString& socket, const QString& method, const QVariantList& args) {
    const QString name = QStringLiteral("test-second-start");
    QDBusConnection peer =
        QDBusConnection::connectToPeer(QStringLiteral("unix:path=") + socket, name);
    if (!peer.isConnected())
        return QDBusMessage::createError(peer.lastError());
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString(), QStringLiteral("/io/github/velmar/Velmar"),
                                       QStringLiteral("org.freedesktop.Application"), method);
    call.setArguments(args);
    QDBusPendingCallWatcher watcher(peer.asyncCall(call, 5000));
    const bool finished = QTest::qWaitFor([&] { return watcher.isFinished(); }, 5000);
    QDBusMessage answer =
        finished ? watcher.reply()
                 : QDBusMessage::createError(QDBusError::Timeout, QStringLiteral("no answer"));
    QDBusConnection::disconnectFromPeer(name);
    return answer;
}

} // namespace

class TestPrevInstance : public QObject {
    Q_OBJECT

private slots:
    void init() {
        // The lock's way, whatever bus the machine running the suite has.
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
    }

    void aLockIsHeldByOneHolderAndGoneWithIt() {
        const std::string path = runtimeFile(runtime_, ".lock").toStdString();
        {
            RuntimeLock first(path);
            QCOMPARE(first.TryLock(), RuntimeLock::State::Held);
            RuntimeLock second(path);
            QCOMPARE(second.TryLock(), RuntimeLock::State::Busy);
            QVERIFY(!second.Held());
        }
        QVERIFY(!QFile::exists(QString::fromStdString(path)));
        RuntimeLock next(path);
        QCOMPARE(next.TryLock(), RuntimeLock::State::Held);
    }

    void aKilledHoldersLockIsTakenOver() {
        const std::string path = runtimeFile(runtime_, ".lock").toStdString();
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t holder = ::fork();
        if (holder == 0) {
            RuntimeLock lock(path);
            const char held = lock.TryLock() == RuntimeLock::State::Held ? 'y' : 'n';
            (void)!::write(ready[1], &held, 1);
            for (;;)
                ::pause();
        }
        char held = 0;
        QCOMPARE(::read(ready[0], &held, 1), ssize_t(1));
        QCOMPARE(held, 'y');
        RuntimeLock newcomer(path);
        QCOMPARE(newcomer.TryLock(), RuntimeLock::State::Busy);
        ::kill(holder, SIGKILL);
        ::waitpid(holder, nullptr, 0);
        ::close(ready[0]);
        ::close(ready[1]);
        QVERIFY(QFile::exists(QString::fromStdString(path))); // left behind, but free
        QCOMPARE(newcomer.TryLock(), RuntimeLock::State::Held);
    }

    void aLockThatCannotBeMadeSaysWhere_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("a symbolic link in its place") << runtimeFile(runtime_, ".lock");
        QTest::newRow("a file where the folder should be") << runtime_.filePath("file/x.lock");
    }
    void aLockThatCannotBeMadeSaysWhere() {
        QFETCH(QString, path);
        QVERIFY(QFile::link(runtime_.filePath(QStringLiteral("elsewhere")),
                            runtimeFile(runtime_, ".lock")));
        QFile file(runtime_.filePath(QStringLiteral("file")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        RuntimeLock lock(path.toStdString());
        QCOMPARE(lock.TryLock(), RuntimeLock::State::Failed);
        QVERIFY2(lock.Problem().find(path.toStdString()) != std::string::npos,
                 lock.Problem().c_str());
        QVERIFY(!QFile::exists(runtime_.filePath(QStringLiteral("elsewhere"))));
        QFile::remove(runtimeFile(runtime_, ".lock"));
        file.remove();
    }

    void withoutBusOrRuntimeFolderTheGameStartsQuietly() {
        qunsetenv("XDG_RUNTIME_DIR");
        PrevInstance session{QString::fromLatin1(kId)};
        QCOMPARE(session.Claim({}), PrevInstance::Outcome::Alone);
        QCOMPARE(session.Problem(), std::string());
    }

    void anUnusableRuntimeFolderStartsTheGameAndSaysWhy() {
        // Root may write anywhere; a file in the folder's place stops everyone alike.
        QFile notAFolder(runtime_.filePath(QStringLiteral("not-a-folder")));
        QVERIFY(notAFolder.open(QIODevice::WriteOnly));
        qputenv("XDG_RUNTIME_DIR", notAFolder.fileName().toUtf8());
        PrevInstance session{QString::fromLatin1(kId)};
        QCOMPARE(session.Claim({}), PrevInstance::Outcome::Alone);
        QVERIFY2(session.Problem().find(notAFolder.fileName().toStdString()) != std::string::npos,
                 session.Problem().c_str());
        notAFolder.remove();
    }

    // The game's side: the first start holds the lock and answers on the socket; a call
    // brings the minimised main window back; what the game does not offer is refused; at the
    // end nothing stays in the runtime folder.
    void theFirstStartAnswersOnItsSocketAndLeavesNothing() {
        QWidget main;
        main.resize(100, 80);
        main.showMinimized();
        Application().SetMainForm(&main);
        const QString socket = runtimeFile(runtime_, ".socket");
        {
            PrevInstance session{QString::fromLatin1(kId)};
            QCOMPARE(session.Claim({}), PrevInstance::Outcome::First);
            QVERIFY(QFile::exists(runtimeFile(runtime_, ".lock")));
            QVERIFY(QFile::exists(socket));
            RuntimeLock other(runtimeFile(runtime_, ".lock").toStdString());
            QCOMPARE(other.TryLock(), RuntimeLock::State::Busy);

            const QDBusMessage activated =
                callOnSocket(socket, QStringLiteral("Activate"), {QVariantMap()});
            QCOMPARE(activated.type(), QDBusMessage::ReplyMessage);
            QVERIFY(!main.isMinimized());
            QVERIFY(main.isVisible());

            const QDBusMessage action =
                callOnSocket(socket, QStringLiteral("ActivateAction"),
                             {QStringLiteral("new-game"), QVariantList(), QVariantMap()});
            QCOMPARE(action.type(), QDBusMessage::ErrorMessage);
            QCOMPARE(action.errorName(), QStringLiteral("org.freedesktop.DBus.Error.NotSupported"));
        }
        Application().SetMainForm(nullptr);
        QCOMPARE(QDir(runtime_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void aDeadGamesSocketAndLockDoNotStopTheNextStart() {
        const QString socket = runtimeFile(runtime_, ".socket");
        QFile lockLeft(runtimeFile(runtime_, ".lock"));
        QVERIFY(lockLeft.open(QIODevice::WriteOnly));
        lockLeft.close();
        // A socket file nobody listens on any more, as SIGKILL leaves it.
        const int dead = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = socket.toLocal8Bit();
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        QCOMPARE(::bind(dead, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(dead);
        PrevInstance session{QString::fromLatin1(kId)};
        QCOMPARE(session.Claim({}), PrevInstance::Outcome::First);
        const QDBusMessage activated =
            callOnSocket(socket, QStringLiteral("Activate"), {QVariantMap()});
        QCOMPARE(activated.type(), QDBusMessage::ReplyMessage);
    }

private:
    QTemporaryDir runtime_;
};

QTEST_MAIN(TestPrevInstance)
#include "TestPrevInstance.moc"
