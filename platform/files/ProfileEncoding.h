// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Profile files that other editors saved as UTF-16 with a byte-order mark: the profile
// functions work on their text as UTF-8 and write a change back in the file's own byte order.
namespace platform::profile {

enum class FileEncoding { Bytes, Utf16LittleEndian, Utf16BigEndian };

struct FileText {
    FileEncoding Encoding = FileEncoding::Bytes;
    // UTF-8 for a UTF-16 file, its mark as EF BB BF; any other file's bytes as they are.
    std::string Text;
    // The odd last byte of a UTF-16 file, which belongs to no character and is kept as it was.
    std::string Tail;
};

// A file starting with FF FE or FE FF is UTF-16; its lone surrogates become three-byte
// sequences of their own, so that encoding the text again gives every byte back.
FileText DecodeFile(std::string_view bytes);

// The bytes of `file` in its own encoding; nothing when a UTF-16 file's text is no UTF-8 (a
// value written as single-byte text, which would not read back as written).
std::optional<std::string> EncodeFile(const FileText& file);

} // namespace platform::profile
