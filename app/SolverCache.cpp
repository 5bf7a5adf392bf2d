// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SolverCache.h"

#include "platform/files/CacheFile.h"
#include "platform/files/MappedFile.h"
#include "platform/files/PrivateFiles.h"
#include "platform/ui/FreeMemory.h"
#include "platform/ui/ThreadPriority.h"

#include <cstdlib>
#include <iostream>
#include <string>

namespace app {

rules::BuildThreads SolverBuildThreads() {
    // A helper at its usual priority still builds; only the window might notice.
    return {1, [] { (void)platform::LowerThisThreadPriority(); }};
}

namespace {

// The seven-tile set where its installed file lies, or nullptr when there is none; a file that
// is there but unsound is reported, as only a damaged installation has one.
std::shared_ptr<const rules::SolverTables> installedTables(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        const std::shared_ptr<const platform::MappedFile> file =
            platform::MapFile(path, platform::kCacheFileLimit);
        if (!file)
            continue;
        if (auto tables = rules::SolverTables::FromBytes(file->Bytes(), file);
            tables && tables->Kind() == rules::TableKind::Seven)
            return tables;
        std::cerr << "velmar: " << path
                  << " is damaged; the hint uses smaller tables and takes longer\n";
    }
    return nullptr;
}

// The tables where the cache file lies, or nullptr when it is missing or unsound.
std::shared_ptr<const rules::SolverTables> mappedTables() {
    const std::shared_ptr<const platform::MappedFile> file =
        platform::MapCacheFile(SolverTablesFile, platform::kCacheFileLimit);
    if (!file)
        return nullptr;
    const std::string_view bytes = file->Bytes();
    return rules::SolverTables::FromBytes(bytes, file);
}

// A missing, short or damaged file is simply made again.
std::shared_ptr<const rules::SolverTables> builtTables(const std::atomic<bool>& cancel) {
    // The build's working memory is three times the tables' size; none of it may stay.
    platform::ReturnLargeBlocksOnFree();
    std::shared_ptr<const rules::SolverTables> tables =
        rules::SolverTables::Build(cancel, SolverBuildThreads());
    if (!tables)
        return nullptr;
    std::string reason;
    // Once stored, the file's pages serve instead of the built copy: the system may drop them
    // under pressure and read them again. An unwritable cache keeps the tables in memory only;
    // the next run builds them again.
    if (platform::WriteCacheFile(SolverTablesFile, tables->ToBytes(), reason))
        if (auto stored = mappedTables())
            return stored;
    return tables;
}

} // namespace

std::shared_ptr<const rules::SolverTables> LoadSolverTables(const std::atomic<bool>& cancel) {
    // VELMAR_SEVEN_TABLES names the file instead; empty, it names none.
    if (const char* chosen = std::getenv("VELMAR_SEVEN_TABLES"))
        return LoadSolverTables(cancel, *chosen != '\0' ? std::vector<std::string>{chosen}
                                                        : std::vector<std::string>{});
    return LoadSolverTables(cancel, platform::PrivateFileCandidates(SevenTablesFile));
}

std::shared_ptr<const rules::SolverTables>
LoadSolverTables(const std::atomic<bool>& cancel, const std::vector<std::string>& installed) {
    if (auto tables = installedTables(installed))
        return tables;
    if (auto tables = mappedTables())
        return tables;
    std::shared_ptr<const rules::SolverTables> tables = builtTables(cancel);
    // The build's working memory, and the built copy once the file serves, are free now.
    platform::GiveBackFreeMemory();
    return tables;
}

} // namespace app
