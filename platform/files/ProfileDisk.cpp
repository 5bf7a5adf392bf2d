// SPDX-License-Identifier: GPL-3.0-or-later
// The profile functions' side of the disk: where a file lives, reading it whole, and replacing
// it atomically so a crash never leaves half a file.
#include "platform/files/Profile.h"

#include "platform/files/Files.h"
#include "platform/files/UnreadableFiles.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// A writer killed between creating its sibling and renaming it leaves the sibling behind; the
// next write takes away those whose writer is gone. A live writer's sibling stays.
void removeStaleSiblings(const FolderFile& file) {
    const std::string prefix = ReplacementPrefix(file);
    for (const std::string& name : file.SiblingsStartingWith(prefix)) {
        char* end = nullptr;
        const long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
        if (end == name.c_str() + prefix.size() || *end != '-' || pid <= 0)
            continue; // not a name of ours
        const bool alive = pid != ::getpid() && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
        if (!alive)
            file.RemoveSibling(name);
    }
}

// Read-only as the classic attribute is: no write bit at all, which binds even the superuser.
bool writable(const FolderFile& file, const struct stat& info) {
    return (info.st_mode & 0222) != 0 && file.Writable();
}

bool namedWithoutFolder(const std::string& fileName) {
    return fileName.find('/') == std::string::npos;
}

std::string withoutTrailingBlanks(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.pop_back();
    return s;
}

} // namespace

std::string SettingsDirectory() {
    return XdgFolder("XDG_CONFIG_HOME", ".config");
}

std::string ProfilePath(const std::string& fileName) {
    return namedWithoutFolder(fileName) ? SettingsDirectory() + "/" + fileName : fileName;
}

std::optional<std::string> ReadProfileFile(const std::string& fileName) {
    if (fileName.empty())
        return std::nullopt;
    std::string bytes;
    const std::string path = ProfilePath(fileName);
    const ReadResult read = ReadFileBytes(path, bytes);
    if (read == ReadResult::Failed)
        ReportUnreadableFile(path, errno);
    if (read != ReadResult::Ok)
        return std::nullopt;
    return bytes;
}

std::string ProfileString(const std::optional<std::string>& bytes, const std::string& section,
                          const std::string& key, const std::string& defaultValue) {
    if (bytes) {
        if (auto value = profile::FindValue(*bytes, section, key))
            return *std::move(value);
    }
    return withoutTrailingBlanks(defaultValue);
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& fileName) {
    return ProfileString(ReadProfileFile(fileName), section, key, defaultValue);
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& fileName) {
    return WritePrivateProfileStrings({{section, key, value}}, fileName);
}

bool WritePrivateProfileStrings(const std::vector<ProfileEntry>& entries,
                                const std::string& fileName, Durability durability) {
    if (fileName.empty())
        return false;
    if (namedWithoutFolder(fileName) && !MakeFolders(SettingsDirectory()))
        return false;
    const FolderFile file(ProfilePath(fileName));
    if (!file.Reachable())
        return false;
    removeStaleSiblings(file); // also when this write turns out to change nothing
    std::string bytes;
    struct stat info {};
    const ReadResult read = ReadFileBytes(file, bytes, &info);
    // A file that exists but cannot be read whole is never replaced: its lines would be lost.
    if (read == ReadResult::Failed || (read == ReadResult::Ok && !writable(file, info)))
        return false;
    const auto updated = profile::SetValues(bytes, entries);
    if (!updated)
        return false;
    if (read == ReadResult::Ok && *updated == bytes)
        return true;
    return ReplaceFile(file, *updated, 0666, read == ReadResult::Ok ? &info : nullptr,
                       durability == Durability::Synced);
}

} // namespace platform
