// System information and message helpers.
#include "platform/SystemHelpers.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "os/Text.h"
#include "platform/FileOps.h"
#include "platform/Texts.h"

namespace {

constexpr size_t kReceivedBufferSize = 1041;

}  // namespace

os::WString GetLoginUserName(os::System& sys) {
    os::WString name;
    return sys.GetUserName(name) ? name : os::WString();
}

os::WString GetPCName(os::System& sys) {
    os::WString name;
    return sys.GetComputerName(name) ? name : os::WString();
}

os::WString WithoutLeadingBackslashes(const os::WString& name) {
    if (name.size() >= 2 && name[0] == u'\\' && name[1] == u'\\') {
        return name.substr(2);
    }
    return name;
}

os::WString GetHostAddress(os::System& sys, const os::WString& name) {
    const std::vector<os::IPv4> addresses = GetHostAddresses(sys, name);
    if (addresses.empty()) {
        return os::WString();
    }
    const os::IPv4& first = addresses.front();
    char text[32];
    std::snprintf(text, sizeof text, "%3d.%3d.%3d.%3d", first[0], first[1], first[2], first[3]);
    return os::FromAscii(text);
}

std::vector<os::IPv4> GetHostAddresses(os::System& sys, const os::WString& name) {
    const bool started = sys.SocketsStartup();
    std::vector<os::IPv4> addresses;
    if (!sys.LookupHostAll(sys.WideToAnsi(WithoutLeadingBackslashes(name)), addresses)) {
        addresses.clear();
    }
    if (started) {
        sys.SocketsCleanup();
    }
    return addresses;
}

os::WString GetLastErrorText(os::System& sys) {
    return sys.ErrorText(sys.LastError());
}

os::WString GetWindowsDriveLetter(os::System& sys) {
    os::WString folder;
    if (!sys.GetWindowsDirectory(folder) || folder.empty()) {
        return os::WString();
    }
    return folder.substr(0, 1);
}

int ShowMessage(os::Ui& ui, const os::WString& text, const os::WString& subtitle, unsigned type,
                os::Dialog* owner) {
    if (owner == nullptr) {
        owner = ui.MainWindow();
    }
    os::WString title = texts::kProductTitle;
    if (!subtitle.empty()) {
        title += u" - " + subtitle;
    }
    return ui.MessageBox(owner, text, title, type);
}

void PumpMessages(os::Ui& ui) {
    ui.PumpMessages();
}

os::WString ReplaceAppName(const os::WString& caption) {
    const os::WString placeholder = texts::kAppNamePlaceholder;
    const os::WString title = texts::kProductTitle;
    os::WString out;
    size_t pos = 0;
    while (true) {
        size_t hit = caption.find(placeholder, pos);
        if (hit == os::WString::npos) {
            out += caption.substr(pos);
            return out;
        }
        out += caption.substr(pos, hit - pos) + title;
        pos = hit + placeholder.size();
    }
}

void ReplaceApplicationName(os::Dialog& dialog) {
    os::DialogWindow& window = dialog.Window();
    window.SetCaption(ReplaceAppName(window.GetCaption()));
}

os::WString GetManualPath(os::FileSystem& fs, const os::WString& folder) {
    os::WString path = folder;
    while (!path.empty() && path.back() == u'\\') {
        path.pop_back();
    }
    path += texts::kLocalManual;
    return PathExists(fs, path) ? path : os::WString(texts::kOnlineManual);
}

os::WString ReceivedTextToWide(os::System& sys, const char* bytes, size_t length) {
    if (length >= kReceivedBufferSize || bytes == nullptr) {
        return os::WString();
    }
    // The field ends at its first zero byte, as a C string would.
    size_t used = 0;
    while (used < length && bytes[used] != '\0') {
        ++used;
    }
    return sys.AnsiToWide(std::string(bytes, used));
}

os::WString ReceivedHexToWide(const char* bytes, size_t length) {
    if (length % 4 != 0 || length >= kReceivedBufferSize || bytes == nullptr) {
        return os::WString();
    }
    os::WString out;
    out.reserve(length / 4);
    for (size_t i = 0; i < length; i += 4) {
        int digits[4];
        for (int k = 0; k < 4; ++k) {
            digits[k] = os::HexDigitValue(bytes[i + k]);
            if (digits[k] < 0) {
                return os::WString();
            }
        }
        const int low = digits[0] * 16 + digits[1];
        const int high = digits[2] * 16 + digits[3];
        out.push_back(static_cast<char16_t>(low | (high << 8)));
    }
    return out;
}
