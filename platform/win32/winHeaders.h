// <windows.h> for the code that meets the port: the Windows headers define the A/W names of
// the calls (RegOpenKeyEx, GetVersionEx, ...) as macros, which would rename the port's own
// methods of the same names. Include this instead of <windows.h> and call the W functions.
#pragma once

#include <windows.h>

#undef RegOpenKeyEx
#undef RegCreateKeyEx
#undef RegQueryValueEx
#undef RegSetValueEx
#undef RegQueryInfoKey
#undef RegEnumKeyEx
#undef RegEnumValue
#undef RegDeleteValue
#undef RegDeleteKeyEx
#undef GetVersionEx
// The accounts and security areas.
#undef GetUserName
#undef LogonUser
#undef LookupAccountSid
#undef LookupAccountName
#undef GetFileSecurity
#undef SetFileSecurity
#undef FormatMessage
#undef FindFirstFile
#undef FindNextFile
#undef GetFileAttributes
#undef SetFileAttributes
#undef CreateDirectory
#undef RemoveDirectory
#undef DeleteFile
#undef CopyFile
#undef MoveFile
#undef GetWindowsDirectory
#undef GetSystemDirectory
#undef MessageBox
#undef ShellExecute
// The processes area.
#include <tlhelp32.h>
#undef CreateEvent
#undef Process32First
#undef Process32Next
#undef GetModuleFileNameEx
#undef QueryFullProcessImageName
