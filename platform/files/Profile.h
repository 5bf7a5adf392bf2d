// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// INI profile files, bytes in and bytes out: the caller decodes code pages. Lines end in CR LF;
// section and key names compare without regard to ASCII case; reads trim blanks; a write
// changes one line (or adds one) and keeps every other byte of the file. A file saved as UTF-16
// with its byte-order mark reads as UTF-8 text and is written back as UTF-16 in its byte order.
namespace platform {

// The value of `key` in the first section named `section` of the file, or `defaultValue`
// without its trailing blanks when the file, the section or the key is missing. A file named
// without a directory lives in the settings directory (SettingsDirectory()).
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& fileName);

// The bytes of a profile file, read once for many reads, or nothing when it is missing or
// cannot be read (reported as GetPrivateProfileString reports it).
std::optional<std::string> ReadProfileFile(const std::string& fileName);

// GetPrivateProfileString on bytes that ReadProfileFile gave.
std::string ProfileString(const std::optional<std::string>& bytes, const std::string& section,
                          const std::string& key, const std::string& defaultValue);

// Sets `key` = `value` in `section`, creating the file, the section or the key as needed. The
// file is replaced atomically. False when the write is refused: an unwritable folder, a
// read-only or unreadable file, or names and values that would not read back as written.
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& fileName);

struct ProfileEntry {
    std::string Section;
    std::string Key;
    std::string Value;
};

// Whether a write waits until the new file is on the disk (a settings or records file), or only
// replaces it atomically, which a crash of the program cannot tear either: for a file made
// again at every start, a power cut costs nothing, and the waits cost milliseconds.
enum class Durability { Synced, Unsynced };

// Many writes in one replacement of the file, in order, with the effect of writing them one by
// one; nothing is written when any of them is refused.
bool WritePrivateProfileStrings(const std::vector<ProfileEntry>& entries,
                                const std::string& fileName,
                                Durability durability = Durability::Synced);

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config; never ends in '/'.
std::string SettingsDirectory();

// The path a profile function uses for `fileName`.
std::string ProfilePath(const std::string& fileName);

// The same operations on the bytes of a file, without touching the disk.
namespace profile {

std::optional<std::string> FindValue(std::string_view text, std::string_view section,
                                     std::string_view key);

// The new file text, or nothing when the names or the value cannot be stored (in a UTF-16 file
// they must be UTF-8).
std::optional<std::string> SetValue(std::string_view text, std::string_view section,
                                    std::string_view key, std::string_view value);

// The text after all of `entries` written one by one, decoded and encoded once; nothing when
// any of them would have been refused.
std::optional<std::string> SetValues(std::string_view text, std::span<const ProfileEntry> entries);

} // namespace profile
} // namespace platform
