// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace platform {

// The user's private temporary folder: velmar-<uid> under $TMPDIR (else /tmp), always ending
// in '/'. It is created with mode 0700 when missing. An existing entry of that name that is
// not a real directory owned by this user and closed to others is never written into.
struct TempFolder {
    std::string Path;
    bool Usable = false;
    std::string Problem; // why it is not usable, for the error of a refused write
};

TempFolder PrepareTempFolder();

// The path alone, as GetTempPath reports it.
std::string GetTempPath();

// Whether `folder` (as returned above) may be written into right now.
bool IsPrivateFolder(const std::string& folder, std::string* problem = nullptr);

} // namespace platform
