// The Win32 headers as the Win32 layer includes them. <windows.h> and <windowsx.h> define
// function-like macros (CreateDirectory -> CreateDirectoryW, IsMinimized -> IsIconic ...) that
// would rename the boundary's methods of the same names; they are undefined here and the
// Win32 functions are called by their own names.
#pragma once

// Sockets first: <winsock2.h> must come before <windows.h>.
#include <winsock2.h>

#include <windows.h>
#include <windowsx.h>

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
