// Small operations many parts share: who and where this PC is, the product-titled message
// box, the message pump, captions, the manual's location and the decoding of received text.
#pragma once

#include <cstddef>
#include <vector>

#include "os/Platform.h"

os::WString GetLoginUserName(os::System& sys);
os::WString GetPCName(os::System& sys);
// A network name as "\\NAME" or "NAME": the name without the two leading backslashes.
os::WString WithoutLeadingBackslashes(const os::WString& name);
// First IPv4 address of `name` as "%3d.%3d.%3d.%3d" (blank-padded fields); empty on failure.
os::WString GetHostAddress(os::System& sys, const os::WString& name);
// Every IPv4 address of `name`, the first one first; empty on failure.
std::vector<os::IPv4> GetHostAddresses(os::System& sys, const os::WString& name);
os::WString GetLastErrorText(os::System& sys);
os::WString GetWindowsDriveLetter(os::System& sys);

// Message box titled "ソラノワ Basic" (plus " - subtitle"); owner null means the main window.
int ShowMessage(os::Ui& ui, const os::WString& text, const os::WString& subtitle = u"",
                unsigned type = 0, os::Dialog* owner = nullptr);
void PumpMessages(os::Ui& ui);
os::WString ReplaceAppName(const os::WString& caption);
void ReplaceApplicationName(os::Dialog& dialog);
os::WString GetManualPath(os::FileSystem& fs, const os::WString& folder);

// Text fields and hexadecimal path fields of received messages. Lengths of 1041 bytes or
// more (hexadecimal: more than 1040 or not a multiple of 4) give an empty text.
os::WString ReceivedTextToWide(os::System& sys, const char* bytes, size_t length);
os::WString ReceivedHexToWide(const char* bytes, size_t length);
