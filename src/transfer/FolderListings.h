// Whether paths exist, answered from the listing of their folder rather than by a look-up per
// path: the result check asks about every path of a tree, folder by folder, so one listing
// answers for all the entries of a folder. Only the last few listings are kept, so memory does
// not grow with the tree. Names compare as Windows compares them (without case), and only the
// real long name counts: a short-name alias of another entry is not that entry.
#pragma once

#include <cstddef>
#include <deque>
#include <unordered_set>

#include "os/FileSystem.h"

class CFolderListings {
  public:
    explicit CFolderListings(os::FileSystem& fs, size_t keep = 8) : m_fs(fs), m_nKeep(keep) {}

    // "X:\a\b": true when folder "X:\a" lists "b".
    bool Exists(const os::WString& path);

  private:
    struct Listing {
        os::WString folder;  // folded to upper case
        std::unordered_set<os::WString> names;
    };
    const Listing& ListingOf(const os::WString& folder);

    os::FileSystem& m_fs;
    size_t m_nKeep;
    std::deque<Listing> m_recent;  // most recently used first
};
