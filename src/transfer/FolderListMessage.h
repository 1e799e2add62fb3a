// The destination folder list message: the base folder and the folders to create at the
// destination, each as hexadecimal text ended by "|", then the total file count in decimal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os/Types.h"

namespace wire {

// Hexadecimal digits of the base folder: "X:\Ferrylo", ten characters.
constexpr size_t kBaseFolderDigits = 40;

// `folderText` is the send list's folder text: the base folder directly followed by zero or
// more folder paths, each ended by "|". Each piece up to a "|", and a last piece without one,
// becomes its hexadecimal form and "|"; an empty remainder writes nothing. A negative count
// is written as 0.
std::string MakeFolderList(std::u16string_view folderText, int32_t totalFiles);

struct FolderList {
    // The decimal number after the last "|" (leading digits; none read as 0; saturating);
    // nullopt without a "|", when the receiver keeps its count.
    std::optional<int32_t> totalFiles;
    // Decoded from the first 40 digits (fewer when the list is shorter); empty, with no drive
    // letter, when those digits do not decode.
    os::WString baseFolder;
    char16_t driveLetter = 0;
    // The pieces after the base folder's digits, in order; an empty piece (two "|" in a row)
    // names no folder and is skipped. A piece that does not decode is left out here and its
    // position, counted among all pieces from 0, is listed in failedPieces.
    std::vector<os::WString> folders;
    std::vector<size_t> failedPieces;
};

// The message ends at its first zero byte, as the receiver reads it as terminated text.
// Nothing is created here: the receiver checks each path and creates the folders itself.
FolderList ParseFolderList(const char* data, size_t length);

}  // namespace wire
