// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A file mapped read-only: its pages are the system's page cache, shared with every other
// process that maps it, and given back whole when the mapping goes.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

class MappedFile {
public:
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view Bytes() const { return {static_cast<const char*>(data_), size_}; }

private:
    friend std::shared_ptr<const MappedFile> MapFile(const std::string& path, std::size_t limit);
    MappedFile(void* data, std::size_t size) : data_(data), size_(size) {}

    void* data_;
    std::size_t size_;
};

// `name` from the cache folder, its pages read in at once; nullptr when it is missing, empty,
// larger than `limit` or cannot be mapped. The cache's files are only ever replaced, never
// written in place, so the mapped bytes stay as they were.
std::shared_ptr<const MappedFile> MapCacheFile(const std::string& name, std::size_t limit);
// The same for the file at `path`, which only the system's updates replace (the game's private
// files).
std::shared_ptr<const MappedFile> MapFile(const std::string& path, std::size_t limit);

} // namespace platform
