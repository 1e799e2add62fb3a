// Fuzzes the destination folder list parser, and checks that a list it reads cleanly is read
// the same after being written again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "transfer/FolderListMessage.h"

namespace {

using fuzzcheck::Check;

bool HasBar(const std::u16string& text) {
    return text.find(u'|') != std::u16string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    const wire::FolderList list = wire::ParseFolderList(bytes, size);

    // Bounded by the input: every decoded unit took four bytes, every piece at least a "|".
    size_t units = list.baseFolder.size();
    for (const std::u16string& folder : list.folders) {
        units += folder.size();
    }
    Check(units * 4 <= size);
    Check(list.baseFolder.size() <= wire::kBaseFolderDigits / 4);
    Check(list.folders.size() + list.failedPieces.size() <= size + 1);
    Check(list.driveLetter == (list.baseFolder.empty() ? 0 : list.baseFolder[0]));

    // A cleanly read list, written again as folder text, reads back the same.
    bool clean = list.totalFiles.has_value() && list.baseFolder.size() == 10 &&
                 list.failedPieces.empty() && !HasBar(list.baseFolder);
    std::u16string folderText = list.baseFolder;
    for (const std::u16string& folder : list.folders) {
        clean = clean && !HasBar(folder);
        folderText += folder + u"|";
    }
    if (!clean) {
        return 0;
    }
    const std::string message = wire::MakeFolderList(folderText, *list.totalFiles);
    const wire::FolderList again = wire::ParseFolderList(message.data(), message.size());
    Check(again.totalFiles == list.totalFiles);
    Check(again.baseFolder == list.baseFolder);
    Check(again.driveLetter == list.driveLetter);
    Check(again.folders == list.folders);
    Check(again.failedPieces.empty());
    return 0;
}
