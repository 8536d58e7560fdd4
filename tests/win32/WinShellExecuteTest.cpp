// What the real shell answers to ShellExecute, mapped to Win32 status codes.
#include <gtest/gtest.h>

#include "platform/win32/winMachine.h"

namespace ombrant::test {
namespace {

TEST(WinShellExecute, AMissingProgramIsFileNotFound) {
  win32::WinMachine machine;
  EXPECT_EQ(machine.Port().shell.ShellExecute(0, "open", "C:\\ombrant-no-such-program.exe", "",
                                              "", port::kSwShow),
            port::kErrorFileNotFound);
}

}  // namespace
}  // namespace ombrant::test
