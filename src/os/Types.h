// Basic types shared by the system and the two implementations of the OS boundary:
// UTF-16 text, Windows attribute bits, error codes and small geometry records.
#pragma once

#include <cstdint>
#include <string>

namespace os {

using WString = std::u16string;

// File attribute bits, numbered as Windows numbers them (they travel on the wire).
enum : uint32_t {
    kAttrReadOnly = 0x1,
    kAttrHidden = 0x2,
    kAttrSystem = 0x4,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
    kAttrNormal = 0x80,
    kAttrTemporary = 0x100,
};
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;

// System error codes, numbered as Windows numbers them.
enum : uint32_t {
    kErrSuccess = 0,
    kErrFileNotFound = 2,
    kErrPathNotFound = 3,
    kErrAccessDenied = 5,
    kErrInvalidHandle = 6,
    kErrNotSameDevice = 17,
    kErrNoMoreFiles = 18,
    kErrNotReady = 21,
    kErrSharingViolation = 32,
    kErrFileExists = 80,
    kErrInvalidParameter = 87,
    kErrDiskFull = 112,
    kErrInvalidName = 123,
    kErrDirNotEmpty = 145,
    kErrAlreadyExists = 183,
    kErrFilenameTooLong = 206,
};

struct Point {
    int x = 0;
    int y = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

}  // namespace os
