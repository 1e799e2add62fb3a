// Fuzzes what a PC makes of the datagrams on its discovery port. The input is a run of
// datagrams, each a length byte, a sender byte and that many bytes. Every datagram the reader
// takes writes back to exactly its own bytes; the table of found PCs never exceeds its cap, and
// never holds two rows of one run or of one address, however the datagrams come.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "net/DiscoveryDatagram.h"
#include "net/FoundPcs.h"

namespace {

using fuzzcheck::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The whole input as one datagram.
    discovery::Announcement whole;
    if (discovery::ParseAnnouncement(data, size, whole)) {
        Check(discovery::WriteAnnouncement(whole) ==
              std::string(reinterpret_cast<const char*>(data), size));
    }
    discovery::CFoundPcs table;
    uint64_t now = 0;
    for (size_t at = 0; at + 2 <= size;) {
        const size_t length = std::min<size_t>(data[at], size - at - 2);
        const uint8_t sender = data[at + 1];
        const uint8_t* bytes = data + at + 2;
        at += 2 + length;
        now += 300;
        discovery::Announcement announcement;
        if (!discovery::ParseAnnouncement(bytes, length, announcement)) {
            continue;
        }
        Check(discovery::WriteAnnouncement(announcement) ==
              std::string(reinterpret_cast<const char*>(bytes), length));
        table.Take(announcement, {10, 0, 0, static_cast<uint8_t>(sender % 40)}, now);
        if (sender >= 250) {
            table.Expire(now);
        }
        Check(table.Size() <= discovery::kMaxFoundPcs);
        std::set<uint64_t> runs;
        std::set<os::IPv4> addresses;
        for (const auto& row : table.Sorted()) {
            Check(runs.insert(row.instanceId).second);
            Check(addresses.insert(row.address).second);
            Check(!row.name.empty() && row.name.size() <= discovery::kMaxAnnouncedName);
        }
    }
    return 0;
}
