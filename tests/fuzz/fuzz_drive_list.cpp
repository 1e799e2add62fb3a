// Fuzzes the drive list parser with whatever a peer might send, and checks that what it makes
// of the bytes survives a write and a second read unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/Latin1System.h"
#include "fuzz/FuzzCheck.h"
#include "platform/Drive.h"
#include "transfer/DriveListMessage.h"

namespace {

using fuzzcheck::Check;

bool SameDrives(const CDrive& a, const CDrive& b) {
    if (a.Count() != b.Count()) {
        return false;
    }
    for (int i = 0; i < a.Count(); ++i) {
        if (a.GetRoot(i) != b.GetRoot(i) || a.GetType(i) != b.GetType(i) ||
            a.GetFileSystem(i) != b.GetFileSystem(i) || a.GetFreeMB(i) != b.GetFreeMB(i) ||
            a.GetTotalMB(i) != b.GetTotalMB(i)) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    Latin1System sys;
    CDrive drives;
    wire::PeerFacts untouched;
    untouched.m_sRemoteUserName = u"untouched";
    wire::PeerFacts facts = untouched;

    const bool trailer = wire::ParseDriveList(bytes, size, sys, drives, facts);
    Check(trailer == (std::memchr(bytes, '#', size) != nullptr));
    Check(drives.Count() <= CDrive::kMaxDrives);
    Check(static_cast<size_t>(drives.Count()) * wire::kDriveRecordSize <= size);
    if (!trailer) {
        Check(facts == untouched);
    }

    // Write what was read, read it again, write again: both writes are equal.
    const std::string first = wire::MakeDriveList(drives, facts, sys);
    CDrive again;
    wire::PeerFacts factsAgain;
    Check(wire::ParseDriveList(first.data(), first.size(), sys, again, factsAgain));
    Check(SameDrives(drives, again));
    Check(wire::MakeDriveList(again, factsAgain, sys) == first);
    return 0;
}
