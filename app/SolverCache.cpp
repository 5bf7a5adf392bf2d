// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SolverCache.h"

#include "platform/files/CacheFile.h"
#include "platform/ui/ThreadPriority.h"

#include <string>

namespace app {

rules::BuildThreads SolverBuildThreads() {
    // A helper at its usual priority still builds; only the window might notice.
    return {1, [] { (void)platform::LowerThisThreadPriority(); }};
}

std::shared_ptr<const rules::SolverTables> LoadSolverTables(const std::atomic<bool>& cancel) {
    std::string bytes;
    if (platform::ReadCacheFile(SolverTablesFile, bytes) == platform::ReadResult::Ok) {
        if (auto tables = rules::SolverTables::FromBytes(bytes))
            return tables;
    }
    // A missing, short or damaged file is simply made again.
    std::shared_ptr<const rules::SolverTables> tables =
        rules::SolverTables::Build(cancel, SolverBuildThreads());
    if (!tables)
        return nullptr;
    std::string reason;
    // The tables work from memory all the same; the next run builds them again.
    (void)platform::WriteCacheFile(SolverTablesFile, tables->ToBytes(), reason);
    return tables;
}

} // namespace app
