// The simulated machine and its folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>

#include "platform/sim/simMachine.h"
#include "platform/sim/simRegFile.h"
#include "platform/vqStrings.h"

namespace ombrant::sim {
namespace {

namespace fs = std::filesystem;

// A fresh folder, removed with everything in it at the end of the test.
class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    path_ = fs::temp_directory_path() /
            ("ombrant-test-" + std::to_string(random()) + "-" + std::to_string(random()));
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  [[nodiscard]] const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

void WriteFile(const fs::path& file, std::string_view bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << file;
}

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> FileNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

const std::string kMachineIni =
    "; a German Vista x64\n"
    "[machine]\n"
    "version=6.0.6002\n"
    "platform=2\n"
    "bits=64\n"
    "profiles=C:\\Users\n"
    "language=de\n"
    "running=Admin\n"
    "\n"
    "[account:Admin]\n"
    "password=secret\n"
    "privilege=admin\n"
    "groups=Administrators\n"
    "\n"
    "[account:Restricted]\n"
    "privilege=user\n"
    "sid=S-1-5-21-1-2-3-1005\n"
    "\n"
    "[process:1]\n"
    "path=C:\\Program Files (x86)\\Mozilla Firefox\\firefox.exe\n"
    "bits=32\n"
    "\n"
    "[acl]\n"
    "# explicit ones only\n"
    "C:\\Program Files=D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)\n";

const std::string kRegHeader = "Windows Registry Editor Version 5.00\r\n\r\n";

// The example machine folder, with files in every encoding.
void WriteExampleMachine(const fs::path& folder) {
  WriteFile(folder / "machine.ini", kMachineIni);
  WriteFile(folder / "registry" / "10-base.reg",
            kRegHeader +
                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Vendor]\r\n"
                "\"Order\"=\"first\"\r\n"
                "\"Base\"=dword:00000001\r\n");
  WriteFile(folder / "registry" / "20-apps.reg",
            "\xFF\xFE" + Utf8ToUtf16LeBytes(
                             kRegHeader + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Vendor]\r\n"
                                          "\"Order\"=\"second\"\r\n"
                                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Native]\r\n"
                                          "@=\"64-bit only\"\r\n"));
  WriteFile(folder / "hives" / "admin.reg",
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Who]\r\n\"Name\"=\"Admin\"\r\n");
  WriteFile(folder / "hives" / "Restricted.reg",
            kRegHeader + "[HKEY_CURRENT_USER\\Software\\Who]\r\n\"Name\"=\"Restricted\"\r\n");
}

std::string Dump(const SimHive& hive) {
  return Utf16LeBytesToUtf8(ExportRegText(hive, "ROOT").substr(2));
}

// The 32-bit program's view of one REG_SZ, through the port.
std::string ReadThroughPort(SimMachine& machine, port::HKey root, std::string_view path,
                            std::string_view name) {
  port::IRegistry& reg = machine.Port().registry;
  port::HKey key = port::kNoKey;
  if (reg.RegOpenKeyEx(root, path, port::kKeyRead, &key) != port::kErrorSuccess) return "<no key>";
  std::uint8_t data[256];
  std::uint32_t size = sizeof data;
  const port::Status s = reg.RegQueryValueEx(key, name, nullptr, data, &size);
  EXPECT_EQ(reg.RegCloseKey(key), port::kErrorSuccess);
  if (s != port::kErrorSuccess || size < 2) return "<no value>";
  return Utf16LeBytesToUtf8(std::string(reinterpret_cast<char*>(data), size - 2));
}

TEST(SimMachineFolder, LoadsEveryPart) {
  TempFolder folder;
  WriteExampleMachine(folder.Path());
  SimFileError error;
  const auto machine = SimMachine::Load(folder.Path(), &error);
  ASSERT_NE(machine, nullptr) << error.ToString();

  const port::OsVersionInfo& version = machine->System().Settings().version;
  EXPECT_EQ(version.majorVersion, 6u);
  EXPECT_EQ(version.minorVersion, 0u);
  EXPECT_EQ(version.buildNumber, 6002u);
  EXPECT_EQ(version.platformId, 2u);
  EXPECT_TRUE(machine->System().Settings().is64BitWindows);
  EXPECT_TRUE(machine->Registry().Is64BitWindows());

  // Registry files in file-name order; the 32-bit program sees Wow6432Node.
  EXPECT_EQ(ReadThroughPort(*machine, port::kHKeyLocalMachine, "SOFTWARE\\Vendor", "Order"),
            "second");
  EXPECT_EQ(ReadThroughPort(*machine, port::kHKeyLocalMachine, "SOFTWARE\\Native", ""), "<no key>");
  // The running account's hive is HKCU and is loaded under HKU by its SID.
  EXPECT_EQ(ReadThroughPort(*machine, port::kHKeyCurrentUser, "Software\\Who", "Name"), "Admin");
  const std::string adminSid = SidForAccountName("Admin");
  EXPECT_EQ(ReadThroughPort(*machine, port::kHKeyUsers, adminSid + "\\Software\\Who", "Name"),
            "Admin");

  ASSERT_EQ(machine->Accounts().size(), 2u);
  EXPECT_EQ(machine->RunningAccount()->name, "Admin");
  EXPECT_EQ(machine->RunningAccount()->sid, adminSid);
  EXPECT_EQ(machine->RunningAccount()->settings.Get("password"), "secret");
  const SimAccount* restricted = machine->FindAccount("restricted");
  ASSERT_NE(restricted, nullptr);
  EXPECT_EQ(restricted->sid, "S-1-5-21-1-2-3-1005");
  EXPECT_TRUE(restricted->hive->GetValue("Software\\Who", "Name").has_value());
  EXPECT_EQ(machine->MachineSection().Get("language"), "de");
  // Processes and explicit DACLs are read; nothing is left over.
  EXPECT_TRUE(machine->OtherSections().empty());
  ASSERT_EQ(machine->Processes().size(), 1u);
  EXPECT_EQ(machine->Processes()[0].path, "C:\\Program Files (x86)\\Mozilla Firefox\\firefox.exe");
  EXPECT_EQ(machine->Acls().Explicit("C:\\Program Files"),
            "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)");
}

TEST(SimMachineFolder, SavesTheSameMachineBackStably) {
  TempFolder in;
  WriteExampleMachine(in.Path());
  SimFileError error;
  const auto machine = SimMachine::Load(in.Path(), &error);
  ASSERT_NE(machine, nullptr) << error.ToString();

  TempFolder out;
  ASSERT_TRUE(machine->Save(out.Path(), &error)) << error.ToString();
  EXPECT_EQ(FileNames(out.Path() / "registry"), std::vector<std::string>{"machine.reg"});
  EXPECT_EQ(FileNames(out.Path() / "hives"),
            (std::vector<std::string>{"Admin.reg", "Restricted.reg"}));
  const std::string ini = ReadFile(out.Path() / "machine.ini");
  EXPECT_NE(
      ini.find("[account:Admin]\npassword=secret\nprivilege=admin\ngroups=Administrators\nsid=" +
               SidForAccountName("Admin") + "\n"),
      std::string::npos)
      << ini;
  EXPECT_NE(ini.find("[acl]\n# explicit ones only\nC:\\Program Files=D:PAI(A;OICI;FA;;;SY)"),
            std::string::npos)
      << ini;
  EXPECT_NE(
      ini.find(
          "[process:1]\npath=C:\\Program Files (x86)\\Mozilla Firefox\\firefox.exe\nbits=32\n"),
      std::string::npos)
      << ini;

  const auto reloaded = SimMachine::Load(out.Path(), &error);
  ASSERT_NE(reloaded, nullptr) << error.ToString();
  EXPECT_EQ(Dump(reloaded->Registry().MachineHive()), Dump(machine->Registry().MachineHive()));
  for (const auto& account : machine->Accounts()) {
    const SimAccount* again = reloaded->FindAccount(account->name);
    ASSERT_NE(again, nullptr) << account->name;
    EXPECT_EQ(again->sid, account->sid);
    EXPECT_EQ(Dump(*again->hive), Dump(*account->hive)) << account->name;
  }
  EXPECT_EQ(reloaded->RunningAccount()->name, "Admin");

  // Saving over the loaded folder replaces its .reg files, and a second save changes nothing.
  ASSERT_TRUE(reloaded->Save(in.Path(), &error)) << error.ToString();
  EXPECT_EQ(FileNames(in.Path() / "registry"), std::vector<std::string>{"machine.reg"});
  EXPECT_EQ(FileNames(in.Path() / "hives"),
            (std::vector<std::string>{"Admin.reg", "Restricted.reg"}));
  for (const char* file :
       {"machine.ini", "registry/machine.reg", "hives/Admin.reg", "hives/Restricted.reg"}) {
    EXPECT_EQ(ReadFile(in.Path() / file), ReadFile(out.Path() / file)) << file;
  }
}

TEST(SimMachineFolder, MachineThatCannotBeReadLoadsNothing) {
  struct Case {
    std::map<std::string, std::string> files;
    std::string file;
    std::size_t line;
    const char* message;
  };
  const std::string base = "[machine]\nrunning=Admin\n[account:Admin]\n";
  const std::string hkcu = kRegHeader + "[HKEY_CURRENT_USER\\Software\\X]\r\n";
  const Case cases[] = {
      {{}, "machine.ini", 0, "cannot be read"},
      {{{"machine.ini", "[account:Admin]\n"}}, "machine.ini", 0, "no [machine] section"},
      {{{"machine.ini", "[machine]\nbits=48\n"}}, "machine.ini", 2, "bits must be 32 or 64"},
      {{{"machine.ini", "[machine]\nversion=5.1\n"}}, "machine.ini", 2, "major.minor.build"},
      {{{"machine.ini", "[machine]\nversion=5.1.2600.5512\n"}},
       "machine.ini",
       2,
       "major.minor.build"},
      {{{"machine.ini", "[machine]\nplatform=3\n"}}, "machine.ini", 2, "platform must be 1 or 2"},
      {{{"machine.ini", "[machine]\nrunning=Nobody\n"}},
       "machine.ini",
       2,
       "has no [account:Nobody]"},
      {{{"machine.ini", "[machine]\n[account:]\n"}}, "machine.ini", 2, "invalid account name"},
      {{{"machine.ini", "[machine]\n[account:..\\x]\n"}}, "machine.ini", 2, "invalid account name"},
      {{{"machine.ini", "[machine]\n[account:A]\nsid=S-1-5-21-7\n[account:B]\nsid=S-1-5-21-7\n"}},
       "machine.ini",
       5,
       "used by another account"},
      {{{"machine.ini", "[machine]\n[account:A]\nsid=X-1-5\n"}},
       "machine.ini",
       3,
       "sid must start"},
      {{{"machine.ini", "[machine]\nbroken line\n"}}, "machine.ini", 2, "expected [section]"},
      {{{"machine.ini", base},
        {"registry/10-ok.reg", kRegHeader},
        {"registry/20-bad.reg", kRegHeader + "\r\n[HKLM\\A]\r\n\"v\"=hex:zz\r\n"}},
       "registry/20-bad.reg",
       5,
       "\"zz\" is not a hex byte"},
      {{{"machine.ini", base}, {"registry/m.reg", hkcu}},
       "registry/m.reg",
       3,
       "only HKEY_LOCAL_MACHINE"},
      {{{"machine.ini", base}, {"hives/Admin.reg", kRegHeader + "[HKEY_LOCAL_MACHINE\\X]\r\n"}},
       "hives/Admin.reg",
       3,
       "only HKEY_CURRENT_USER"},
      {{{"machine.ini", base}, {"hives/Ghost.reg", hkcu}},
       "hives/Ghost.reg",
       0,
       "no account named \"Ghost\""},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    for (const auto& [name, bytes] : c.files) WriteFile(folder.Path() / name, bytes);
    SimFileError error;
    EXPECT_EQ(SimMachine::Load(folder.Path(), &error), nullptr) << c.message;
    // make_preferred: the file names above use "/", which Windows does not turn into "\\".
    EXPECT_EQ(error.file, (folder.Path() / c.file).make_preferred().string()) << c.message;
    EXPECT_EQ(error.line, c.line) << error.ToString();
    EXPECT_NE(error.message.find(c.message), std::string::npos) << error.ToString();
  }
}

// Refusals per account and per path, and the account rights: read, in force, written back.
TEST(SimMachineFaults, RefusalsAndRightsAreReadAppliedAndWrittenBack) {
  TempFolder in;
  TempFolder out;
  WriteFile(in.Path() / "machine.ini",
            "[machine]\nrunning=Admin\n"
            "[account:Admin]\nprivilege=admin\n"
            "[account:Anna]\npassword=wopa\nrefuse=delete,logon\n"
            "rights=SeDenyNetworkLogonRight,SeDenyRemoteInteractiveLogonRight\n"
            "[account:Bob]\npassword=wopa\nrefuse=rights\n"
            "[account:Carl]\npassword=wopa\n"
            "[refuse]\nHKCU\\Software\\Kestrova Limited\\Ombrant=write\n"
            "C:\\Documents and Settings\\Admin\\Desktop=write\n");
  SimFileError error;
  std::unique_ptr<SimMachine> machine = SimMachine::Load(in.Path(), &error);
  ASSERT_NE(machine, nullptr) << error.ToString();
  port::Port port = machine->Port();

  // Accounts: Anna cannot be deleted nor log on; Bob's rights cannot be touched.
  EXPECT_EQ(port.accounts.NetUserDel("", "Anna"), port::kErrorAccessDenied);
  port::HToken token = port::kNoToken;
  EXPECT_EQ(port.accounts.LogonUser("Anna", "", "wopa", port::kLogon32LogonInteractive,
                                    port::kLogon32ProviderDefault, &token),
            port::kErrorAccessDenied);
  port::HPolicy policy = port::kNoPolicy;
  ASSERT_EQ(port.accounts.LsaOpenPolicy(
                "", port::kPolicyCreateAccount | port::kPolicyLookupNames, &policy),
            port::kErrorSuccess);
  auto sidOf = [&](const char* name) {
    port::Sid sid;
    std::string domain;
    std::uint32_t use = 0;
    EXPECT_EQ(port.security.LookupAccountName("", name, &sid, &domain, &use),
              port::kErrorSuccess);
    return sid;
  };
  std::vector<std::string> rights;
  EXPECT_EQ(port.accounts.LsaEnumerateAccountRights(policy, sidOf("Anna"), &rights),
            port::kErrorSuccess);
  EXPECT_EQ(rights, (std::vector<std::string>{"SeDenyNetworkLogonRight",
                                              "SeDenyRemoteInteractiveLogonRight"}));
  EXPECT_EQ(port.accounts.LsaAddAccountRights(policy, sidOf("Bob"), {"SeDenyNetworkLogonRight"}),
            port::kErrorAccessDenied);
  EXPECT_EQ(port.accounts.LsaAddAccountRights(policy, sidOf("Carl"), {"SeDenyNetworkLogonRight"}),
            port::kErrorSuccess);
  EXPECT_EQ(port.accounts.LsaClose(policy), port::kErrorSuccess);

  // Paths: values of the settings key, files of the desktop.
  port::HKey key = port::kNoKey;
  ASSERT_EQ(port.registry.RegCreateKeyEx(port::kHKeyCurrentUser,
                                         "Software\\Kestrova Limited\\Ombrant",
                                         port::kKeyAllAccess, &key, nullptr),
            port::kErrorSuccess);
  const std::uint8_t data[] = {1, 0, 0, 0};
  EXPECT_EQ(port.registry.RegSetValueEx(key, "v", port::kRegDword, data, 4),
            port::kErrorAccessDenied);
  EXPECT_EQ(port.registry.RegCloseKey(key), port::kErrorSuccess);
  ASSERT_EQ(port.registry.RegCreateKeyEx(port::kHKeyCurrentUser,
                                         "Software\\Kestrova Limited\\Ombrant\\Sub",
                                         port::kKeyAllAccess, &key, nullptr),
            port::kErrorSuccess);
  EXPECT_EQ(port.registry.RegSetValueEx(key, "v", port::kRegDword, data, 4), port::kErrorSuccess)
      << "a sub-key is not refused";
  EXPECT_EQ(port.registry.RegCloseKey(key), port::kErrorSuccess);
  const std::string desktop = "C:\\Documents and Settings\\Admin\\Desktop";
  machine->Files().AddFile(desktop + "\\old.lnk", "x");
  EXPECT_EQ(port.files.WriteWholeFile(desktop + "\\new.lnk", "y"), port::kErrorAccessDenied);
  EXPECT_EQ(port.files.WriteWholeFile(desktop + "\\old.lnk", "y"), port::kErrorAccessDenied);
  EXPECT_EQ(port.files.DeleteFile(desktop + "\\old.lnk"), port::kErrorAccessDenied);

  ASSERT_TRUE(machine->Save(out.Path(), &error)) << error.ToString();
  const std::string ini = ReadFile(out.Path() / "machine.ini");
  for (const char* line :
       {"refuse=delete,logon\n",
        "rights=SeDenyNetworkLogonRight,SeDenyRemoteInteractiveLogonRight\n", "refuse=rights\n",
        "[account:Carl]\npassword=wopa\nprivilege=user\ngroups=Users\n",
        "[refuse]\nHKCU\\Software\\Kestrova Limited\\Ombrant=write\n"
        "C:\\Documents and Settings\\Admin\\Desktop=write\n"}) {
    EXPECT_NE(ini.find(line), std::string::npos) << line << "\n" << ini;
  }
  const std::size_t carl = ini.find("[account:Carl]");
  ASSERT_NE(carl, std::string::npos);
  EXPECT_NE(ini.find("rights=SeDenyNetworkLogonRight\n", carl), std::string::npos)
      << "a right granted during the run is written back\n" << ini;
}

TEST(SimMachineFaults, BadRefusalsAndRightsNameTheLine) {
  struct Case {
    const char* ini;
    std::size_t line;
    const char* message;
  };
  const Case cases[] = {
      {"[machine]\n[account:A]\nrefuse=delete,fly\n", 3, "expected delete, logon or rights"},
      {"[machine]\n[account:A]\nrights=SeFlyingRight\n", 3, "unknown user right"},
      {"[machine]\n[refuse]\nC:\\Temp=read\n", 3, "a refusal is \"write\""},
      {"[machine]\n[refuse]\nTemp=write\n", 3, "a refusal names a registry key"},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    WriteFile(folder.Path() / "machine.ini", c.ini);
    SimFileError error;
    EXPECT_EQ(SimMachine::Load(folder.Path(), &error), nullptr) << c.message;
    EXPECT_EQ(error.line, c.line) << error.ToString();
    EXPECT_NE(error.message.find(c.message), std::string::npos) << error.ToString();
  }
}

TEST(SimMachineAccounts, SidsAreStableAndRunningAccountOwnsCurrentUser) {
  EXPECT_EQ(SidForAccountName("Admin"), SidForAccountName("ADMIN"));
  EXPECT_NE(SidForAccountName("Admin"), SidForAccountName("Admin-online"));
  EXPECT_EQ(
      SidForAccountName("Administrator").substr(SidForAccountName("Administrator").rfind('-')),
      "-500");
  EXPECT_EQ(SidForAccountName("guest").substr(SidForAccountName("guest").rfind('-')), "-501");
  EXPECT_EQ(SidForAccountName("Admin").rfind("S-1-5-21-", 0), 0u);

  SimMachine machine;
  SimAccount& admin = machine.AddAccount("Admin");
  SimAccount& other = machine.AddAccount("Other");
  EXPECT_THROW(machine.AddAccount("ADMIN"), std::invalid_argument);
  EXPECT_THROW(machine.AddAccount("Third", admin.sid), std::invalid_argument);
  EXPECT_THROW(machine.SetRunningAccount("Nobody"), std::invalid_argument);
  admin.hive->SetValue("Software", "Who", port::kRegSz, {'A', 0, 0, 0});
  other.hive->SetValue("Software", "Who", port::kRegSz, {'O', 0, 0, 0});

  machine.SetRunningAccount("Admin");
  EXPECT_EQ(machine.Registry().GetValue("HKEY_CURRENT_USER\\Software", "Who")->data[0], 'A');
  EXPECT_NE(machine.Registry().UserHive(admin.sid), nullptr);
  machine.SetRunningAccount("Other");
  EXPECT_EQ(machine.Registry().GetValue("HKEY_CURRENT_USER\\Software", "Who")->data[0], 'O');
  EXPECT_EQ(machine.Registry().UserHive(admin.sid), nullptr);
  EXPECT_EQ(machine.Registry().UserHive(other.sid), other.hive);
}

}  // namespace
}  // namespace ombrant::sim

namespace ombrant::sim {
namespace {

// ShellExecute on the machine: the program runs under its account and makes its folders on the
// first start.
TEST(SimMachinePrograms, RunAsStartsTheQuotedProgramUnderTheNamedAccount) {
  const std::string firefox = R"(C:\Program Files\Mozilla Firefox\firefox.exe)";
  const std::string profileFolder = R"(Application Data\Mozilla\Firefox\Profiles\k3x9.default)";
  auto makeMachine = [&] {
    auto machine = std::make_unique<SimMachine>();
    machine->AddAccount("Admin").hasProfile = true;
    machine->AddAccount("Bob");
    machine->SetRunningAccount("Admin");
    machine->Files().AddFile(firefox, "MZ");
    machine->Files().AddFile(R"(C:\WINDOWS\system32\runas.exe)", "MZ");
    IniSection firstStart{"first-start:" + firefox, 0, {}};
    firstStart.Set("folder", profileFolder);
    machine->OtherSections().push_back(firstStart);
    return machine;
  };

  struct Case {
    const char* name;
    std::string file;
    std::string parameters;
    port::Status status;
    const char* account;  // nullptr: nothing starts
  };
  const Case cases[] = {
      {"runas with escaped quotes", "runas.exe",
       "/user:Bob /savecred \"\\\"" + firefox + "\\\" -P x\"", port::kErrorSuccess, "Bob"},
      {"runas with a plain program argument", R"(C:\WINDOWS\system32\runas.exe)",
       "/user:Bob \"" + firefox + "\"", port::kErrorSuccess, "Bob"},
      {"runas without an account", "runas.exe", "\"" + firefox + "\"", port::kErrorSuccess,
       nullptr},
      {"runas for an unknown account", "runas.exe", "/user:Nobody \"" + firefox + "\"",
       port::kErrorSuccess, nullptr},
      {"runas of a missing program", "runas.exe", "/user:Bob \"C:\\nothing.exe\"",
       port::kErrorSuccess, nullptr},
      {"the program directly", firefox, "", port::kErrorSuccess, ""},
      {"a missing program directly", R"(C:\nothing.exe)", "", port::kErrorFileNotFound, nullptr},
  };
  for (const Case& c : cases) {
    const auto fresh = makeMachine();
    SimMachine& machine = *fresh;
    const port::Status status =
        machine.Shell().ShellExecute(0, "open", c.file, c.parameters, "", 5);
    EXPECT_EQ(status, c.status) << c.name;
    if (c.account == nullptr) {
      EXPECT_TRUE(machine.Processes().empty()) << c.name;
      continue;
    }
    ASSERT_EQ(machine.Processes().size(), 1u) << c.name;
    EXPECT_EQ(machine.Processes()[0].path, firefox) << c.name;
    EXPECT_EQ(machine.Processes()[0].account, c.account) << c.name;
    const std::string owner = *c.account ? c.account : "Admin";
    EXPECT_TRUE(machine.Files().Exists(R"(C:\Documents and Settings\)" + owner + "\\" +
                                       profileFolder))
        << c.name;
  }
}

}  // namespace
}  // namespace ombrant::sim
