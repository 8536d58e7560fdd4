// Types and constants shared by every area of the Windows port.
//
// The port mirrors the Win32 calls the program makes, one function per call, each returning the
// Win32 status code. Nothing here includes <windows.h>; the constants carry the Win32 values under
// names that cannot clash with the Windows headers' macros.
#pragma once

#include <cstdint>

namespace ombrant::port {

using Status = std::int32_t;  // a Win32 error code (LONG / DWORD)

// Win32 status codes the program and the simulated machine use.
inline constexpr Status kErrorSuccess = 0;
inline constexpr Status kErrorFileNotFound = 2;
inline constexpr Status kErrorPathNotFound = 3;
inline constexpr Status kErrorAccessDenied = 5;
inline constexpr Status kErrorInvalidHandle = 6;
inline constexpr Status kErrorNotEnoughMemory = 8;
inline constexpr Status kErrorInvalidParameter = 87;
inline constexpr Status kErrorDiskFull = 112;
inline constexpr Status kErrorCallNotImplemented = 120;
inline constexpr Status kErrorInsufficientBuffer = 122;
inline constexpr Status kErrorInvalidName = 123;
inline constexpr Status kErrorProcNotFound = 127;
inline constexpr Status kErrorBadPathname = 161;
inline constexpr Status kErrorAlreadyExists = 183;
inline constexpr Status kErrorMoreData = 234;
inline constexpr Status kErrorNoMoreItems = 259;
inline constexpr Status kErrorNoAccess = 998;
inline constexpr Status kErrorBadKey = 1010;
inline constexpr Status kErrorCantOpen = 1011;
inline constexpr Status kErrorCantRead = 1012;
inline constexpr Status kErrorCantWrite = 1013;
inline constexpr Status kErrorKeyDeleted = 1018;

}  // namespace ombrant::port
