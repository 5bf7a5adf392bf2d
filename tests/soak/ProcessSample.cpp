// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProcessSample.h"

#include "platform/ui/Timer.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <malloc.h>
#include <unistd.h>

namespace {

int entriesIn(const char* folder) {
    return int(QDir(QString::fromLatin1(folder))
                   .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                   .size());
}

std::uint64_t residentBytes() {
    unsigned long long size = 0;
    unsigned long long resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return 0;
    if (std::fscanf(statm, "%llu %llu", &size, &resident) != 2)
        resident = 0;
    std::fclose(statm);
    return resident * std::uint64_t(::sysconf(_SC_PAGESIZE));
}

// The game's own timers and the toolkit's, wherever they hang in the object tree.
int timersUnder(const QObject& root) {
    return int(root.findChildren<QTimer*>().size() + root.findChildren<platform::Timer*>().size());
}

int liveTimers() {
    int count = timersUnder(*qApp);
    for (const QWidget* window : QApplication::topLevelWidgets())
        count += timersUnder(*window);
    return count;
}

int liveObjects() {
    int count = int(qApp->findChildren<QObject*>().size());
    for (const QWidget* window : QApplication::topLevelWidgets())
        count += 1 + int(window->findChildren<QObject*>().size());
    return count;
}

std::uint64_t heapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

} // namespace

std::string ProcessSample::Describe() const {
    char line[200];
    std::snprintf(line, sizeof line,
                  "%6.0f s  rss %7.2f MiB  heap %7.2f MiB  objects %5d  fds %3d  threads %2d  "
                  "timers %3d",
                  seconds, double(residentBytes) / (1024 * 1024), double(heapBytes) / (1024 * 1024),
                  objects, descriptors, threads, timers);
    return line;
}

ProcessSample SampleProcess(double seconds) {
    ::malloc_trim(0);
    ProcessSample s;
    s.seconds = seconds;
    s.residentBytes = residentBytes();
    s.heapBytes = heapInUse();
    s.objects = liveObjects();
    s.descriptors = entriesIn("/proc/self/fd") - 1; // the listing's own descriptor
    s.threads = entriesIn("/proc/self/task");
    s.timers = liveTimers();
    return s;
}
