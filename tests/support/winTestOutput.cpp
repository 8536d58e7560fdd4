// Windows test programs: gtest's console printer, minus the copy of every skip and failure it
// sends to OutputDebugString.
//
// Why: Wine's OutputDebugString raises DBG_PRINTEXCEPTION_C and catches it again. Where 32-bit
// code runs under qemu's user-mode emulation, returning from that exception faults (by unwinding
// or by continuing alike), so a 32-bit test program ended, exit code 3, at its first skipped or
// failed test, before writing its results. The console and the XML results are unchanged.
#include <cstdio>
#include <memory>

#include <gtest/gtest.h>

namespace {

class ConsoleOnlyPrinter final : public testing::TestEventListener {
 public:
  explicit ConsoleOnlyPrinter(testing::TestEventListener* printer) : printer_(printer) {}

  void OnTestProgramStart(const testing::UnitTest& u) override { printer_->OnTestProgramStart(u); }
  void OnTestIterationStart(const testing::UnitTest& u, int i) override {
    printer_->OnTestIterationStart(u, i);
  }
  void OnEnvironmentsSetUpStart(const testing::UnitTest& u) override {
    printer_->OnEnvironmentsSetUpStart(u);
  }
  void OnEnvironmentsSetUpEnd(const testing::UnitTest& u) override {
    printer_->OnEnvironmentsSetUpEnd(u);
  }
  // gtest calls both the suite and the older test-case events; its printer answers one of them.
  void OnTestSuiteStart(const testing::TestSuite& s) override { printer_->OnTestSuiteStart(s); }
#ifndef GTEST_REMOVE_LEGACY_TEST_CASEAPI_
  void OnTestCaseStart(const testing::TestCase& c) override { printer_->OnTestCaseStart(c); }
  void OnTestCaseEnd(const testing::TestCase& c) override { printer_->OnTestCaseEnd(c); }
#endif
  void OnTestStart(const testing::TestInfo& t) override { printer_->OnTestStart(t); }
  void OnTestDisabled(const testing::TestInfo& t) override { printer_->OnTestDisabled(t); }
  void OnTestPartResult(const testing::TestPartResult& result) override {
    if (result.type() == testing::TestPartResult::kSuccess) return;
    const char* kind = result.skipped() ? "Skipped" : "Failure";
    if (result.file_name() != nullptr && result.line_number() >= 0) {
      std::printf("%s:%d: %s\n%s\n", result.file_name(), result.line_number(), kind,
                  result.message());
    } else {
      std::printf("%s: %s\n%s\n", result.file_name() ? result.file_name() : "unknown file", kind,
                  result.message());
    }
    std::fflush(stdout);
  }
  void OnTestEnd(const testing::TestInfo& t) override { printer_->OnTestEnd(t); }
  void OnTestSuiteEnd(const testing::TestSuite& s) override { printer_->OnTestSuiteEnd(s); }
  void OnEnvironmentsTearDownStart(const testing::UnitTest& u) override {
    printer_->OnEnvironmentsTearDownStart(u);
  }
  void OnEnvironmentsTearDownEnd(const testing::UnitTest& u) override {
    printer_->OnEnvironmentsTearDownEnd(u);
  }
  void OnTestIterationEnd(const testing::UnitTest& u, int i) override {
    printer_->OnTestIterationEnd(u, i);
  }
  void OnTestProgramEnd(const testing::UnitTest& u) override { printer_->OnTestProgramEnd(u); }

 private:
  std::unique_ptr<testing::TestEventListener> printer_;
};

// Runs before main(): gtest has made its default printer, and reads no flag that replaces it
// unless --gtest_brief is given (then its brief printer is left as it is).
const bool replaced = [] {
  testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
  if (testing::TestEventListener* printer = listeners.default_result_printer()) {
    listeners.Append(new ConsoleOnlyPrinter(listeners.Release(printer)));
  }
  return true;
}();

}  // namespace
