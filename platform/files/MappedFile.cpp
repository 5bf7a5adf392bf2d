// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/MappedFile.h"

#include "platform/files/CacheFile.h"
#include "platform/files/Files.h"
#include "platform/files/FolderFile.h"

#include <sys/mman.h>
#include <sys/stat.h>

namespace platform {

MappedFile::~MappedFile() {
    ::munmap(data_, size_);
}

std::shared_ptr<const MappedFile> MapCacheFile(const std::string& name, std::size_t limit) {
    return MapFile(CacheDirectory() + "/" + name, limit);
}

std::shared_ptr<const MappedFile> MapFile(const std::string& path, std::size_t limit) {
    const FolderFile file(path);
    if (!file.Reachable())
        return nullptr;
    struct stat info {};
    const UniqueFd fd = OpenFileForReading(file, &info);
    if (!fd.Valid() || info.st_size <= 0 || static_cast<std::uintmax_t>(info.st_size) > limit)
        return nullptr;
    const auto size = static_cast<std::size_t>(info.st_size);
    // Read in at once: the caller checks every byte straight away.
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd.Get(), 0);
    if (data == MAP_FAILED)
        return nullptr;
    return std::shared_ptr<const MappedFile>(new MappedFile(data, size));
}

} // namespace platform
