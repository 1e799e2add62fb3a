// History of the last 100 entries the source sent, so that after a break in the stream the
// walk can go back to the last entry the destination took in and send the rest again.
#pragma once

#include <deque>

#include "os/Types.h"

struct WalkPosition {
    os::WString curPath;   // source path of the entry
    os::WString curDir;    // source directory being walked
    os::WString curPath2;  // destination path, as sent in its header
    os::WString curDir2;   // destination directory being walked
    int item = 0;          // index of the send-list item the entry belongs to
};

class CRecovPath {
  public:
    static constexpr size_t kCapacity = 100;

    virtual ~CRecovPath();

    void AddPath(const WalkPosition& position);
    // Finds the newest position whose destination path equals `reported`, copies it into
    // `position`, empties the history and returns how many positions were newer. Returns -1
    // (history untouched) when no position matches.
    int Rewind(const os::WString& reported, WalkPosition& position);

    size_t Size() const { return m_positions.size(); }
    const WalkPosition& At(size_t i) const { return m_positions[i]; }

  private:
    std::deque<WalkPosition> m_positions;  // oldest first
};
