// SPDX-License-Identifier: GPL-3.0-or-later
// velmar-gen-tables FILE: writes the hint's seven-tile tables to FILE, replacing it whole.
#include "app/rules/SolverTables.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

namespace {

bool writeWhole(const std::string& path, const std::string& bytes) {
    const std::string part = path + ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::remove(part.c_str());
            return false;
        }
    }
    return std::rename(part.c_str(), path.c_str()) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: velmar-gen-tables FILE\n";
        return 2;
    }
    const std::atomic<bool> never{false};
    const unsigned cores = std::thread::hardware_concurrency();
    const rules::BuildThreads threads{cores > 1 ? static_cast<int>(cores) - 1 : 0, {}};
    const auto tables = rules::SolverTables::Build(never, threads, rules::TableKind::Seven);
    if (!tables || tables->EntriesChecksum() != rules::BuiltSevenTablesChecksum) {
        std::cerr << "velmar-gen-tables: the tables built differ from those the search was "
                     "made for (checksum "
                  << std::hex << (tables ? tables->EntriesChecksum() : 0) << ")\n";
        return 1;
    }
    if (!writeWhole(argv[1], tables->ToBytes())) {
        std::cerr << "velmar-gen-tables: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
