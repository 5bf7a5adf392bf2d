// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/files/FolderFile.h"

#include <string>

namespace platform {

// The user's private temporary folder: velmar-<uid> under $TMPDIR (else /tmp), always ending
// in '/'. It is created with mode 0700 when missing. An existing entry of that name that is
// not a real directory owned by this user and closed to others is never used: nothing in it
// is read, written, opened or deleted.
struct TempFolder {
    std::string Path;
    bool Usable = false;
    std::string Problem; // why it is not usable, for the error of a refused write
};

TempFolder PrepareTempFolder();

// The path alone, as GetTempPath reports it.
std::string GetTempPath();

// The folder opened without following a symlink and checked on the open descriptor, so what
// was checked is what is used; invalid, with the reason in `problem`, when it is not ours.
UniqueFd OpenPrivateFolder(std::string* problem = nullptr);

} // namespace platform
