// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace media {

// The user's private temporary folder, ending in '/'; every temporary file is this path
// followed by a fixed name.
std::string TempFolderPath();

// Writes resource `type`/`name` to `fileName`, replacing the file. Raises platform::Exception
// "Resource <name> not found" or "Cannot create file "<file>". <reason>".
void SaveResourceToFile(const std::string& type, const std::string& name,
                        const std::string& fileName);

// The melodies and the help document, written after the language file at start-up; the
// first failure stops the sequence and is raised.
void ExtractMediaFiles();

// Writes the media file `file` ("Music2.mid", ...) again from its resource when it is gone,
// as another copy of the game closing may have removed it. Raises as SaveResourceToFile.
void RestoreMediaFile(const std::string& file);

// Removes the melodies and the help document; whatever cannot go stays, silently.
void DeleteMediaFiles();

// Opens a file with its default action; see platform::ShellExecute.
void ShellOpenFile(const std::string& file, const std::string& parameters,
                   const std::string& directory, int showCommand);

} // namespace media
