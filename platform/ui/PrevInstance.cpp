// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/PrevInstance.h"

#include "platform/ui/ApplicationActivation.h"
#include "platform/ui/RuntimeLock.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusServer>

#include <cstdlib>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// Between two tries while the holder of the claim starts or ends.
constexpr std::chrono::milliseconds kRetryAfter{20};

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Where libdbus would look, without its last resort: an X11 autolaunch would start a bus
// daemon that outlives the game.
bool sessionBusNamed() {
    if (!environment("DBUS_SESSION_BUS_ADDRESS").empty())
        return true;
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    struct stat socket {};
    return !runtime.empty() && ::stat((runtime + "/bus").c_str(), &socket) == 0 &&
           S_ISSOCK(socket.st_mode);
}

int remainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return int(std::max<std::chrono::milliseconds::rep>(left.count(), 1));
}

QVariantMap platformData(const StartTokens& tokens) {
    QVariantMap data;
    if (!tokens.activation.isEmpty())
        data.insert(QLatin1String(ApplicationActivation::kActivationToken), tokens.activation);
    if (!tokens.startup.isEmpty())
        data.insert(QLatin1String(ApplicationActivation::kStartupId), tokens.startup);
    return data;
}

// True once the holder answered; an error (it ended meanwhile, it is not ready) is false.
bool askToComeForward(QDBusConnection& connection, const QString& service, const QString& path,
                      const StartTokens& tokens, Clock::time_point deadline, QString& error) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, path, QLatin1String(ApplicationActivation::kInterface),
        QStringLiteral("Activate"));
    call << platformData(tokens);
    const QDBusMessage answer = connection.call(call, QDBus::Block, remainingMs(deadline));
    if (answer.type() == QDBusMessage::ReplyMessage)
        return true;
    error = answer.errorMessage().isEmpty() ? answer.errorName() : answer.errorMessage();
    return false;
}

} // namespace

StartTokens StartTokens::FromEnvironment() {
    return {qEnvironmentVariable("XDG_ACTIVATION_TOKEN"),
            qEnvironmentVariable("DESKTOP_STARTUP_ID")};
}

PrevInstance::PrevInstance(QString applicationId)
    : id_(std::move(applicationId)), path_(ActivationPath(id_)) {}

PrevInstance::~PrevInstance() {
    if (bus_) {
        bus_->unregisterService(id_);
        bus_->unregisterObject(path_);
    }
    releaseLock();
}

PrevInstance::Outcome PrevInstance::Claim(const StartTokens& tokens) {
    const Deadline deadline = Clock::now() + kAnswerWithin;
    if (sessionBusNamed()) {
        if (QDBusConnection::sessionBus().isConnected())
            return claimOnBus(tokens, deadline);
        // A bus named but not answering: the lock stands in for it.
    }
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    if (runtime.empty())
        return Outcome::Alone; // nowhere to meet: the game starts as it always has
    return claimLock(runtime, tokens, deadline);
}

PrevInstance::Outcome PrevInstance::claimOnBus(const StartTokens& tokens, Deadline deadline) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    activation_ = std::make_unique<ApplicationActivation>();
    // Exported before the name is ours, so a call that follows the name finds the object.
    bus.registerObject(path_, activation_.get(), QDBusConnection::ExportAllSlots);
    QString error;
    for (;;) {
        const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
            bus.interface()->registerService(id_, QDBusConnectionInterface::DontQueueService,
                                             QDBusConnectionInterface::DontAllowReplacement);
        if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
            bus_ = std::make_unique<QDBusConnection>(bus);
            return Outcome::First;
        }
        if (!reply.isValid()) {
            bus.unregisterObject(path_);
            problem_ = "the session bus refused the name " + id_.toStdString() + ": " +
                       reply.error().message().toStdString();
            return Outcome::Alone;
        }
        if (askToComeForward(bus, id_, path_, tokens, deadline, error)) {
            bus.unregisterObject(path_);
            return Outcome::Raised;
        }
        if (Clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(kRetryAfter); // the holder is ending: claim again
    }
    bus.unregisterObject(path_);
    problem_ =
        "the running game (" + id_.toStdString() + ") did not answer: " + error.toStdString();
    return Outcome::Unanswered;
}

PrevInstance::Outcome PrevInstance::claimLock(const std::string& runtime, const StartTokens& tokens,
                                              Deadline deadline) {
    const std::string base = runtime + "/" + id_.toStdString();
    const QString socketPath = QString::fromStdString(base + ".socket");
    lock_ = std::make_unique<RuntimeLock>(base + ".lock");
    const QString peerName = QStringLiteral("velmar-running-game");
    QString error = QStringLiteral("no answer on ") + socketPath;
    for (;;) {
        const RuntimeLock::State state = lock_->TryLock();
        if (state == RuntimeLock::State::Held)
            return listen(socketPath) ? Outcome::First : Outcome::Alone;
        if (state == RuntimeLock::State::Failed) {
            problem_ = lock_->Problem();
            lock_.reset();
            return Outcome::Alone;
        }
        QDBusConnection peer =
            QDBusConnection::connectToPeer(QStringLiteral("unix:path=") + socketPath, peerName);
        const bool answered =
            peer.isConnected() && askToComeForward(peer, QString(), path_, tokens, deadline, error);
        QDBusConnection::disconnectFromPeer(peerName);
        if (answered) {
            lock_.reset();
            return Outcome::Raised;
        }
        if (Clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(kRetryAfter); // the holder is starting or ending
    }
    lock_.reset();
    problem_ =
        "the running game holds " + base + ".lock but did not answer: " + error.toStdString();
    return Outcome::Unanswered;
}

bool PrevInstance::listen(const QString& socketPath) {
    // Ours to replace: only the lock's holder listens here, so a socket left is a dead game's.
    ::unlink(socketPath.toLocal8Bit().constData());
    server_ = std::make_unique<QDBusServer>(QStringLiteral("unix:path=") + socketPath);
    if (!server_->isConnected()) {
        problem_ = "cannot listen on " + socketPath.toStdString() + ": " +
                   server_->lastError().message().toStdString();
        releaseLock();
        return false;
    }
    socketPath_ = socketPath;
    activation_ = std::make_unique<ApplicationActivation>();
    QObject::connect(server_.get(), &QDBusServer::newConnection, activation_.get(),
                     [this](const QDBusConnection& connection) {
                         QDBusConnection(connection)
                             .registerObject(path_, activation_.get(),
                                             QDBusConnection::ExportAllSlots);
                     });
    return true;
}

void PrevInstance::releaseLock() {
    server_.reset();
    if (!socketPath_.isEmpty())
        ::unlink(socketPath_.toLocal8Bit().constData());
    socketPath_.clear();
    lock_.reset();
}

} // namespace platform
