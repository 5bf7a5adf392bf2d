// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/TempFiles.h"

#include "platform/Exception.h"
#include "platform/files/Files.h"
#include "platform/files/Resources.h"
#include "platform/files/TempPath.h"
#include "platform/ui/Shell.h"

#include <array>

namespace media {

namespace {

struct Extraction {
    const char* type;
    const char* name;
    const char* file;
};

constexpr std::array<Extraction, 4> kExtractions = {{
    {"MUSIC", "MYMUSIC", "Music.mid"},
    {"MUSIC", "MYMUSIC2", "Music2.mid"},
    {"MUSIC", "MYMUSIC3", "Music3.mid"},
    {"HELP", "HELPFILE", "VELMAR.hlp"},
}};

[[noreturn]] void cannotCreate(const std::string& fileName, const std::string& reason) {
    throw platform::Exception("Cannot create file \"" + fileName + "\". " + reason);
}

} // namespace

std::string TempFolderPath() {
    return platform::PrepareTempFolder().Path;
}

void SaveResourceToFile(const std::string& type, const std::string& name,
                        const std::string& fileName) {
    const auto data = platform::FindResource(type, name);
    if (!data)
        throw platform::Exception("Resource " + name + " not found");
    std::string reason;
    if (!platform::CreateFileWithBytes(
            fileName, std::string_view(data->constData(), static_cast<std::size_t>(data->size())),
            reason))
        cannotCreate(fileName, reason);
}

void ExtractMediaFiles() {
    for (const Extraction& e : kExtractions)
        SaveResourceToFile(e.type, e.name, TempFolderPath() + e.file);
}

void RestoreMediaFile(const std::string& file) {
    const std::string path = TempFolderPath() + file;
    if (platform::FileExists(path))
        return;
    for (const Extraction& e : kExtractions)
        if (file == e.file)
            SaveResourceToFile(e.type, e.name, path);
}

void DeleteMediaFiles() {
    for (const Extraction& e : kExtractions)
        platform::DeleteFile(TempFolderPath() + e.file);
}

void ShellOpenFile(const std::string& file, const std::string& parameters,
                   const std::string& directory, int showCommand) {
    platform::ShellExecute(file, parameters, directory, showCommand);
}

} // namespace media
