// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <chrono>
#include <memory>
#include <string>

class QDBusConnection;
class QDBusServer;

namespace platform {

class ApplicationActivation;
class RuntimeLock;

// What the desktop handed this start to prove the player asked for it: the Wayland activation
// token and the X11 startup notification id. Read them before the toolkit starts, which
// consumes them.
struct StartTokens {
    QString activation;
    QString startup;

    static StartTokens FromEnvironment();
};

// One game per desktop session, the classic hPrevInstance check done the desktop's way. The
// session bus is the means where there is one: the application id as a name that dies with
// its owner, and launchers activate the game through it. Without a bus, a lock file in
// $XDG_RUNTIME_DIR (private to the user, emptied at log-out) with a socket beside it, on
// which the same interface answers. The game that holds either answers org.freedesktop.
// Application by bringing its main window forward; the claim is released with this object.
class PrevInstance {
public:
    enum class Outcome {
        First,      // this start is the session's game
        Alone,      // no means to meet (Problem() says why, if one failed): start without the check
        Raised,     // the session's game came forward: this start ends with status 0
        Unanswered, // the session's game holds the claim but did not answer (Problem() says so)
    };

    // How long a second start waits for the running game to answer.
    static constexpr std::chrono::milliseconds kAnswerWithin{5000};

    explicit PrevInstance(QString applicationId);
    ~PrevInstance();
    PrevInstance(const PrevInstance&) = delete;
    PrevInstance& operator=(const PrevInstance&) = delete;

    // Needs the application object. Blocks for one round trip to the bus, or a lock and a
    // listen, when this start is the first.
    Outcome Claim(const StartTokens& tokens);
    const std::string& Problem() const { return problem_; }

private:
    using Deadline = std::chrono::steady_clock::time_point;

    Outcome claimOnBus(const StartTokens& tokens, Deadline deadline);
    Outcome claimLock(const std::string& runtime, const StartTokens& tokens, Deadline deadline);
    bool listen(const QString& socketPath);
    void releaseLock();

    QString id_;
    QString path_;
    std::string problem_;
    std::unique_ptr<ApplicationActivation> activation_;
    std::unique_ptr<QDBusConnection> bus_;
    std::unique_ptr<RuntimeLock> lock_;
    std::unique_ptr<QDBusServer> server_;
    QString socketPath_;
};

} // namespace platform
