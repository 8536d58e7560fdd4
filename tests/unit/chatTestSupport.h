// What the chat and telephony client tests share: the chat classes alone in catalogue order, and
// the two fixture machines with every client installed.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "tests/unit/grantOrder.h"
#include "catalogue/kvrInstalledSoftware.h"
#include "definitions/kvrInstalledSoftware1und1.h"
#include "definitions/kvrInstalledSoftwareAIM.h"
#include "definitions/kvrInstalledSoftwareDigsby.h"
#include "definitions/kvrInstalledSoftwareGaduGadu.h"
#include "definitions/kvrInstalledSoftwareGoogleTalk.h"
#include "definitions/kvrInstalledSoftwareICQ.h"
#include "definitions/kvrInstalledSoftwareMiranda.h"
#include "definitions/kvrInstalledSoftwarePidgin.h"
#include "definitions/kvrInstalledSoftwareQQ.h"
#include "definitions/kvrInstalledSoftwareSkype.h"
#include "definitions/kvrInstalledSoftwareTlenPL.h"
#include "definitions/kvrInstalledSoftwareTrillian.h"
#include "definitions/kvrInstalledSoftwareVoipBuster.h"
#include "definitions/kvrInstalledSoftwareYahoo.h"
#include "definitions/kvrSoftwareClasses.h"
#include "platform/vqSecurity.h"
#include "tests/unit/fixtureMachine.h"

namespace ombrant::test {

// The two fixtures: Windows XP (32 bit) and Windows 7 (64 bit), each with all nineteen clients.
struct ChatFlavour {
  const char* machine;
  const char* programFiles;  // where a 32-bit installer puts its programs
  const char* profiles;
  const char* appData;       // below the profile folder
  const char* localAppData;  // below the profile folder
  const char* bitsSuffix;    // what AddFileCandidates appends to a display name
};

inline constexpr ChatFlavour kChatXp{"chat-xp",
                                     R"(C:\Program Files)",
                                     R"(C:\Documents and Settings)",
                                     R"(\Application Data)",
                                     R"(\Local Settings\Application Data)",
                                     ""};
inline constexpr ChatFlavour kChat7x64{"chat-7x64",         R"(C:\Program Files (x86))",
                                       R"(C:\Users)",       R"(\AppData\Roaming)",
                                       R"(\AppData\Local)", " (32 bit)"};

// A fresh fixture machine with the chat catalogue detected on it. Under Wine the source tree's
// path may not be reachable; LoadChatFixture tells.
class ChatFixture {
 public:
  explicit ChatFixture(const ChatFlavour& flavour) : flavour_(flavour), fixture_(flavour.machine) {}

  [[nodiscard]] const ChatFlavour& Flavour() const { return flavour_; }
  [[nodiscard]] sim::SimMachine& Machine() { return fixture_.Machine(); }
  [[nodiscard]] port::Port& Port() { return fixture_.Port(); }
  [[nodiscard]] const TSoftwareContext& Context() { return fixture_.Context(); }
  // Detected on first use, on the machine as it is then.
  [[nodiscard]] TInstalledSoftwareManager& Catalogue() {
    if (!catalogue_) catalogue_ = &fixture_.Catalogue(RegisterChatSoftwareClasses);
    return *catalogue_;
  }

  // The detected definition of a class; fails the test when it was not detected.
  [[nodiscard]] TInstalledSoftware& Item(std::string_view className) {
    TInstalledSoftwareManager& catalogue = Catalogue();
    for (int i = 0; i < catalogue.Count(); ++i) {
      if (catalogue.ClassNameOf(i) == className) return catalogue.Items(i);
    }
    throw std::runtime_error(std::string(className) + " was not detected on " + flavour_.machine);
  }

  [[nodiscard]] std::string Profile(std::string_view account) const {
    return std::string(flavour_.profiles) + "\\" + std::string(account);
  }
  [[nodiscard]] std::string AppData(std::string_view account) const {
    return Profile(account) + flavour_.appData;
  }
  [[nodiscard]] std::string LocalAppData(std::string_view account) const {
    return Profile(account) + flavour_.localAppData;
  }
  [[nodiscard]] std::string Program(std::string_view relative) const {
    return std::string(flavour_.programFiles) + "\\" + std::string(relative);
  }

  // The DACL of a path as SDDL, or "<missing>" when it cannot be read (no such path).
  [[nodiscard]] std::string Dacl(std::string_view path) {
    try {
      return vqGetFileSecurityString(Machine().Security(), std::string(path),
                                     port::kDaclSecurityInformation);
    } catch (const std::exception&) {
      return "<missing>";
    }
  }
  // The entry a grant appends for `account`.
  [[nodiscard]] std::string GrantEntry(std::string_view account) {
    return "(A;OICI;0x1301bf;;;" + sim::SidForAccountName(account) + ")";
  }

 private:
  ChatFlavour flavour_;
  FixtureMachine fixture_;
  TInstalledSoftwareManager* catalogue_ = nullptr;
};

// The loaded fixture; null where the source tree cannot be reached (the Windows builds run their
// tests under Wine, which may not see it), and the test then skips with kNoFixtures.
inline std::unique_ptr<ChatFixture> LoadChatFixture(const ChatFlavour& flavour) {
#ifdef _WIN32
  std::error_code error;
  if (std::getenv("OMBRANT_SOURCE_DIR") == nullptr ||
      !std::filesystem::is_directory(FixtureMachineFolder(flavour.machine), error)) {
    return nullptr;
  }
#endif
  return std::make_unique<ChatFixture>(flavour);
}

inline constexpr std::string_view kNoFixtures =
    "the fixture machines cannot be reached from this platform";

}  // namespace ombrant::test
