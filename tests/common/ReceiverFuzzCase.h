// One case of the receiver's fuzz target, shared with the unit test that replays its seed
// corpus. Input: four bytes that choose the read sizes (cycled), one byte of options (bit 0:
// the drive is already full, bit 1: the dialog's full-drive flag is set, bit 2: the partner
// announced the additions of this program, "not intact" entries among them), then the stream.
// Checks: nothing outside the base folder changes, the drive does not grow by more than the
// stream carried, every path the receiver touches lies below the base folder, and a stream
// that raised no error gives the same disk and host calls whole as cut into reads.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/ReceiverTestKit.h"
#include "os/Text.h"
#include "sim/SimFileSystem.h"

namespace recvkit {

inline const os::WString kFuzzBase = u"E:\\Ferrylo";

struct FuzzDestination {
    sim::SimFileSystem fs;
    SpyFileSystem spy{fs};
    RecordingHost host;
    CStreamReceiver rx{spy, host};

    explicit FuzzDestination(uint8_t options) {
        fs.AddDrive(u'C', os::DriveType::Fixed, u"NTFS", u"Windows", 1ull << 33);
        fs.AddDrive(u'E', os::DriveType::Fixed, u"NTFS", u"Data", 1ull << 33);
        fs.WriteFile(u"C:\\Windows\\win.ini", "[fonts]\r\n");
        fs.WriteFile(u"E:\\victim.txt", "precious", os::kAttrReadOnly);
        fs.MakeFolders(kFuzzBase);
        fs.WriteFile(u"E:\\Ferrylo\\existing.txt", "old", os::kAttrReadOnly | os::kAttrHidden);
        if (options & 1) {
            fs.SetFreeSpaceOverride(u'E', 130000000);
        }
        host.fullDrive = (options & 2) != 0;
        rx.Reset(kFuzzBase, (options & 4) != 0);
    }

    std::string Outside() const {
        std::string out = fs.Dump(u"C:\\") + "--\n";
        const std::string e = fs.Dump(u"E:\\");
        for (size_t start = 0; start < e.size();) {
            const size_t end = e.find('\n', start) + 1;
            if (e.substr(start, end - start).find(" Ferrylo\\") == std::string::npos) {
                out += e.substr(start, end - start);
            }
            start = end;
        }
        return out;
    }

    void Feed(const uint8_t* data, size_t size, const size_t* sizes, size_t count) {
        size_t at = 0;
        for (size_t i = 0; at < size; i = (i + 1) % count) {
            const size_t n = std::min(sizes[i], size - at);
            std::vector<uint8_t> read(data + at, data + at + n);  // exact size: overreads show
            rx.HandleRead(read.data(), read.size());
            at += n;
        }
    }
};

// False when a check fails; inputs shorter than five bytes pass.
inline bool RunReceiverFuzzCase(const uint8_t* data, size_t size) {
    if (size < 5) {
        return true;
    }
    bool ok = true;
    auto Check = [&ok](bool condition) { ok = ok && condition; };
    auto Reported = [](const RecordingHost& host) { return host.Count("report") > 0; };
    size_t sizes[4];
    for (int i = 0; i < 4; ++i) {
        sizes[i] = 1 + static_cast<size_t>(data[i]) * data[i] / 4;  // 1 to 16,257 bytes
    }
    const uint8_t options = data[4];
    const uint8_t* stream = data + 5;
    const size_t length = size - 5;

    FuzzDestination whole(options);
    const std::string outsideBefore = whole.Outside();
    const uint64_t usedBefore = whole.fs.UsedBytes(u'E');
    whole.Feed(stream, length, &length, 1);

    FuzzDestination cut(options);
    cut.Feed(stream, length, sizes, 4);

    for (FuzzDestination* d : {&whole, &cut}) {
        Check(d->Outside() == outsideBefore);
        Check(d->fs.UsedBytes(u'E') <= usedBefore + length);
        for (const os::WString& path : d->spy.touched) {
            Check(os::StartsWithNoCase(path, kFuzzBase + u"\\"));
        }
        d->rx.Abort();
        Check(d->Outside() == outsideBefore);
    }
    // Without a stream error or a full drive the cut into reads must not matter.
    if ((options & 3) == 0 && !Reported(whole.host)) {
        Check(!Reported(cut.host));
        Check(whole.host.calls == cut.host.calls);
        Check(whole.fs.Dump(kFuzzBase) == cut.fs.Dump(kFuzzBase));
    }
    return ok;
}

}  // namespace recvkit
