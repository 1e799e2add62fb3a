// The Win32 headers as the Win32 layer includes them. <windows.h> defines function-like
// macros (CreateDirectory -> CreateDirectoryW ...) that would rename the boundary's methods
// of the same names; they are undefined here and the wide functions are called by name.
#pragma once

#include <windows.h>
#include <windowsx.h>
#include <winsock2.h>

#undef CreateDirectory
#undef DeleteFile
#undef DrawText
#undef GetComputerName
#undef GetDiskFreeSpace
#undef GetDriveType
#undef GetUserName
#undef GetVolumeInformation
#undef GetWindowsDirectory
#undef IsMaximized
#undef IsMinimized
#undef MessageBox
#undef MoveFile
#undef RemoveDirectory
