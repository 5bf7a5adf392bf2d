// SPDX-License-Identifier: GPL-3.0-or-later
// One process of the real game, in a real window, played for a given number of seconds.
//   velmar_soak SECONDS
#include "Soaker.h"

#include "app/Forms.h"
#include "app/TForm1.h"
#include "platform/ui/Application.h"

#include <QPixmapCache>

#include <cstdio>
#include <cstdlib>

namespace {
constexpr int kPixmapCacheKiB = 256;
}

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 0;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: %s SECONDS\n", argv[0]);
        return 2;
    }
    platform::PrepareProcess();
    platform::GuardedApplication qtApp(argc, argv);
    platform::PrepareApplication(qtApp);
    // The toolkit keeps up to 10 MiB of drawn frames and gradients, filled over the first
    // minutes of varied play; held small, what grows is what leaks.
    QPixmapCache::setCacheLimit(kPixmapCacheKiB);
    std::unique_ptr<app::TForm1> form = app::CreateForms();
    form->show();
    Soaker soaker(*form, seconds);
    platform::Application().Run();
    // Under a heap profiler (heaptrack) what the session holds shows as not freed at the end.
    if (qEnvironmentVariableIsSet("VELMAR_SOAK_NO_TEARDOWN")) {
        soaker.Report();
        std::fflush(stdout);
        std::_Exit(soaker.Passed() ? 0 : 1);
    }
    form.reset();
    soaker.Report();
    return soaker.Passed() ? 0 : 1;
}
