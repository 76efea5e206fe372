// The Windows headers the backend needs, included in one place. The
// interface's operations carry the names of the Windows calls they stand for
// (DeleteFile, CopyFile, MessageBox ...), which <windows.h> defines as macros
// for its A/W variants; they are undefined here so that every translation
// unit that includes the backend sees the interface's own names.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shellapi.h>

#undef GetFileAttributes
#undef SetFileAttributes
#undef CreateDirectory
#undef RemoveDirectory
#undef DeleteFile
#undef CopyFile
#undef MoveFile
#undef MoveFileEx
#undef GetDiskFreeSpace
#undef GetVersionEx
#undef GetSystemDirectory
#undef GetWindowsDirectory
#undef GetModuleFileName
#undef GetUserName
#undef GetComputerName
#undef OutputDebugString
#undef CreateMutex
#undef LoadLibrary
#undef FindWindow
#undef PostMessage
#undef MessageBox
#undef GetPrivateProfileString
#undef CreateSymbolicLink
