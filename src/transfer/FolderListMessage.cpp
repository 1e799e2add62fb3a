// Destination folder list message.
#include "transfer/FolderListMessage.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "transfer/HexPath.h"

namespace wire {

std::string MakeFolderList(std::u16string_view folderText, int32_t totalFiles) {
    std::string out;
    out.reserve(folderText.size() * 4 + 16);
    size_t start = 0;
    while (start < folderText.size()) {
        const size_t bar = folderText.find(u'|', start);
        const size_t end = bar == std::u16string_view::npos ? folderText.size() : bar;
        out += WideToHex(folderText.substr(start, end - start));
        out += '|';
        start = end + 1;
    }
    out += std::to_string(totalFiles < 0 ? 0 : totalFiles);
    return out;
}

FolderList ParseFolderList(const char* data, size_t length) {
    FolderList result;
    if (data == nullptr) {
        return result;
    }
    const auto* zero = static_cast<const char*>(std::memchr(data, '\0', length));
    std::string_view text(data, zero != nullptr ? static_cast<size_t>(zero - data) : length);

    const size_t lastBar = text.rfind('|');
    if (lastBar != std::string_view::npos) {
        constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
        int64_t count = 0;
        for (size_t i = lastBar + 1; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            count = std::min(kMax, count * 10 + (text[i] - '0'));
        }
        result.totalFiles = static_cast<int32_t>(count);
        text = text.substr(0, lastBar);
    }

    const std::string_view base = text.substr(0, kBaseFolderDigits);
    if (auto folder = HexToWide(base.data(), base.size()); folder && !folder->empty()) {
        result.baseFolder = std::move(*folder);
        result.driveLetter = result.baseFolder[0];
    }

    std::string_view rest = text.substr(base.size());
    size_t piece = 0;
    while (!rest.empty()) {
        const size_t bar = rest.find('|');
        const std::string_view digits = rest.substr(0, bar);
        if (digits.empty()) {
            // Two "|" in a row name no folder.
        } else if (auto folder = HexToWide(digits.data(), digits.size())) {
            result.folders.push_back(std::move(*folder));
        } else {
            result.failedPieces.push_back(piece);
        }
        ++piece;
        if (bar == std::string_view::npos) {
            break;
        }
        rest = rest.substr(bar + 1);
    }
    return result;
}

}  // namespace wire
