// The simulated machine's drives and shell: machine folder load and save, the port bundle.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/sim/simMachine.h"
#include "platform/sim/simTempFolder.h"
#include "platform/vqStrings.h"

namespace ombrant::sim {
namespace {

namespace fs = std::filesystem;
using namespace port;

void WriteText(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SimMachineFiles, FolderWithDrivesLoadsAndSavesBack) {
  SimTempFolder in;
  WriteText(in.Path() / "machine.ini",
            "[machine]\nversion=5.1.2600\nbits=32\nprofiles=C:\\Dokumente und Einstellungen\n"
            "windows=C:\\WINNT\\\nlanguage=de\nrunning=Anna\n\n[account:Anna]\npassword=x\n");
  WriteText(in.Path() / "drives" / "C" / "WINNT" / "system32" / "runas.exe", "MZ");
  WriteText(in.Path() / "drives" / "C" / "Programme" / "Mozilla Firefox" / "firefox.exe", "MZ");
  WriteText(in.Path() / "drives" / "D" / "Data" / "Notes.TXT", "notes");

  SimFileError error;
  std::unique_ptr<SimMachine> machine = SimMachine::Load(in.Path(), &error);
  ASSERT_TRUE(machine) << error.ToString();
  Port port = machine->Port();

  std::string text;
  ASSERT_EQ(port.files.ReadWholeFile("d:\\DATA\\notes.txt", &text), kErrorSuccess);
  EXPECT_EQ(text, "notes");
  std::string system;
  ASSERT_EQ(port.files.GetSystemDirectory(&system), kErrorSuccess);
  EXPECT_EQ(system, "C:\\WINNT\\system32");
  std::string folder;
  ASSERT_EQ(port.shell.GetSpecialFolderPath(kCsidlAppData, &folder), kErrorSuccess);
  EXPECT_EQ(folder, "C:\\Dokumente und Einstellungen\\Anna\\Anwendungsdaten");
  ASSERT_EQ(port.shell.GetSpecialFolderPath(kCsidlProgramFiles, &folder), kErrorSuccess);
  EXPECT_EQ(folder, "C:\\Programme");

  // A link to a bare name finds the program in the machine's own system folder.
  std::unique_ptr<IShellLink> link = port.shell.CreateShellLink();
  ASSERT_EQ(link->SetPath("runas"), kSOk);
  ASSERT_EQ(link->Save("D:\\Data\\Run.lnk"), kSOk);
  EXPECT_EQ(port.ui.MessageBox(0, "text", "caption", kMbOk), 0);
  EXPECT_TRUE(machine->Ui().HadUnansweredBox());

  SimTempFolder out;
  WriteText(out.Path() / "drives" / "C" / "stale.txt", "from an earlier run");
  ASSERT_TRUE(machine->Save(out.Path(), &error)) << error.ToString();
  EXPECT_EQ(ReadText(out.Path() / "drives" / "D" / "Data" / "Notes.TXT"), "notes");
  EXPECT_TRUE(fs::exists(out.Path() / "drives" / "D" / "Data" / "Run.lnk"));
  EXPECT_TRUE(fs::exists(out.Path() / "drives" / "C" / "Programme" / "Mozilla Firefox"));
  EXPECT_FALSE(fs::exists(out.Path() / "drives" / "C" / "stale.txt"));
  const std::string ini = ReadText(out.Path() / "machine.ini");
  EXPECT_NE(ini.find("profiles=C:\\Dokumente und Einstellungen\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("windows=C:\\WINNT\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("language=de\n"), std::string::npos) << ini;

  // What was saved loads again as it was.
  std::unique_ptr<SimMachine> again = SimMachine::Load(out.Path(), &error);
  ASSERT_TRUE(again) << error.ToString();
  std::string target;
  std::unique_ptr<IShellLink> reloaded = again->Shell().CreateShellLink();
  ASSERT_EQ(reloaded->Load("D:\\Data\\Run.lnk"), kSOk);
  ASSERT_EQ(reloaded->GetPath(&target, 261), kSOk);
  EXPECT_EQ(target, "C:\\WINNT\\system32\\runas.exe");
}

TEST(SimMachineFiles, DefaultsFollowTheVersionAndTheRunningAccount) {
  SimMachine vista(true, {6, 0, 6002, 2});
  vista.AddAccount("Bob");
  vista.SetRunningAccount("Bob");
  std::string folder;
  ASSERT_EQ(vista.Shell().GetSpecialFolderPath(kCsidlDesktopDirectory, &folder), kErrorSuccess);
  EXPECT_EQ(folder, "C:\\Users\\Bob\\Desktop");
  ASSERT_EQ(vista.Files().GetWindowsDirectory(&folder), kErrorSuccess);
  EXPECT_EQ(folder, "C:\\Windows");
  ASSERT_EQ(vista.Shell().GetSpecialFolderPath(kCsidlProgramFiles, &folder), kErrorSuccess);
  EXPECT_EQ(folder, "C:\\Program Files (x86)");

  SimMachine xp;
  ASSERT_EQ(xp.Files().GetWindowsDirectory(&folder), kErrorSuccess);
  EXPECT_EQ(folder, "C:\\WINDOWS");
  ASSERT_EQ(xp.Shell().GetSpecialFolderPath(kCsidlProfiles, &folder), kErrorSuccess);
  EXPECT_EQ(folder, "C:\\Documents and Settings");
}

TEST(SimMachineFiles, BadFolderSettingsNameTheLine) {
  struct Case {
    const char* line;
    const char* message;
  };
  const Case cases[] = {
      {"language=fr", "language must be en or de"},
      {"windows=WINDOWS", "windows must be a full folder path"},
      {"profiles=C:/Users", "profiles must be a full folder path"},
  };
  for (const Case& c : cases) {
    SimTempFolder in;
    WriteText(in.Path() / "machine.ini", std::string("[machine]\nbits=32\n") + c.line + "\n");
    SimFileError error;
    EXPECT_EQ(SimMachine::Load(in.Path(), &error), nullptr) << c.line;
    EXPECT_EQ(error.line, 3u) << c.line;
    EXPECT_NE(error.message.find(c.message), std::string::npos) << error.ToString();
  }
}

TEST(SimMachineFiles, RealMachinesDetailsLoadAndSaveAsTheyStandAfterTheRun) {
  if (!sim::SimFileSystem::HostMakesJunctions()) {
    GTEST_SKIP() << "this host cannot make the symbolic links that model junctions (Wine)";
  }
  SimTempFolder in;
  WriteText(in.Path() / "machine.ini",
            "[machine]\nversion=6.1.7601\nbits=64\nprofiles=C:\\Users\nwindows=C:\\Windows\n"
            "computer=KUECHE\nrunning=Admin\n\n"
            "[account:Admin]\npassword=x\nprivilege=admin\ngroups=Administrators\nprofile=yes\n\n"
            "[account:Anna]\npassword=wopa\nprivilege=user\nprofile=no\n\n"
            "[process:7]\npath=C:\\Program Files\\Skype\\Skype.exe\nopen=denied\n\n"
            "[junction:C:\\Users\\Default\\AppData\\Local\\Application Data]\n"
            "target=C:\\Users\\Default\\AppData\\Local\nattributes=hidden,system\n\n"
            "[acl]\nC:\\Users\\Default\\AppData\\Local\\Application Data="
            "D:AI(D;;CC;;;WD)(A;;FA;;;SY)\n\n"
            "[drive:C]\nfree=100\n");
  WriteText(in.Path() / "drives" / "C" / "Users" / "Default" / "AppData" / "Local" / "keep.txt",
            "default");
  WriteText(in.Path() / "drives" / "C" / "Users" / "Default" / "Favorites" / "MSN.url", "[x]");
  WriteText(in.Path() / "default-profile.reg",
            "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main]\n"
            "\"Start Page\"=\"http://www.msn.com/\"\n");

  SimFileError error;
  std::unique_ptr<SimMachine> machine = SimMachine::Load(in.Path(), &error);
  ASSERT_TRUE(machine) << error.ToString();
  Port port = machine->Port();

  // The junction lists its target and shows itself as a hidden, system reparse point.
  std::uint32_t attributes = 0;
  ASSERT_EQ(port.files.GetFileAttributes("C:\\Users\\Default\\AppData\\Local\\Application Data",
                                         &attributes),
            kErrorSuccess);
  EXPECT_EQ(attributes, kFileAttributeDirectory | kFileAttributeReparsePoint |
                            kFileAttributeHidden | kFileAttributeSystem);
  std::string text;
  EXPECT_EQ(port.files.ReadWholeFile(
                "C:\\Users\\Default\\AppData\\Local\\Application Data\\keep.txt", &text),
            kErrorSuccess);
  // A write past the free space fails as a full disk does.
  EXPECT_EQ(port.files.WriteWholeFile("C:\\big.bin", std::string(200, 'x')), kErrorDiskFull);
  // What fitted stays until the file goes.
  EXPECT_EQ(machine->Files().ReadFile("C:\\big.bin"), std::string(100, 'x'));
  ASSERT_EQ(port.files.DeleteFile("C:\\big.bin"), kErrorSuccess);
  EXPECT_EQ(port.files.WriteWholeFile("C:\\small.bin", std::string(10, 'x')), kErrorSuccess);
  // The process refuses to be opened, whatever privilege is enabled.
  bool was = false;
  ASSERT_EQ(port.processes.SetDebugPrivilege(true, &was), kErrorSuccess);
  HHandle process = kNoHandle;
  EXPECT_EQ(port.processes.OpenProcess(kProcessQueryLimitedInformation, false, 7, &process),
            kErrorAccessDenied);

  // A new profile is the default profile's copy: files, hive, junctions pointing into it.
  HToken token = kNoToken;
  ASSERT_EQ(port.accounts.LogonUser("Anna", "", "wopa", kLogon32LogonInteractive,
                                    kLogon32ProviderDefault, &token),
            kErrorSuccess);
  ProfileInfo profile;
  profile.userName = "Anna";
  ASSERT_EQ(port.accounts.LoadUserProfile(token, &profile), kErrorSuccess);
  EXPECT_EQ(machine->Files().ReadFile("C:\\Users\\Anna\\Favorites\\MSN.url"), "[x]");
  ASSERT_EQ(port.files.GetFileAttributes("C:\\Users\\Anna\\AppData\\Local\\Application Data",
                                         &attributes),
            kErrorSuccess);
  EXPECT_NE(attributes & kFileAttributeReparsePoint, 0u);
  const auto start = machine->Registry().GetValue(
      "HKEY_USERS\\" + machine->FindAccount("Anna")->sid +
          "\\Software\\Microsoft\\Internet Explorer\\Main",
      "Start Page");
  ASSERT_TRUE(start.has_value());
  EXPECT_EQ(Utf16LeBytesToUtf8({reinterpret_cast<const char*>(start->data.data()),
                                start->data.size()}),
            std::string("http://www.msn.com/\0", 20));
  ASSERT_EQ(port.accounts.UnloadUserProfile(token, profile.profile), kErrorSuccess);
  ASSERT_EQ(port.accounts.CloseHandle(token), kErrorSuccess);

  SimTempFolder out;
  ASSERT_TRUE(machine->Save(out.Path(), &error)) << error.ToString();
  const std::string ini = ReadText(out.Path() / "machine.ini");
  for (const char* line : {
           "computer=KUECHE\n", "open=denied\n", "[drive:C]\nfree=80\n",
           "[junction:C:\\Users\\Default\\AppData\\Local\\Application Data]\n"
           "target=C:\\Users\\Default\\AppData\\Local\nattributes=hidden,system\n",
           "[junction:C:\\Users\\Anna\\AppData\\Local\\Application Data]\n"
           "target=C:\\Users\\Anna\\AppData\\Local\nattributes=hidden,system\n",
           "C:\\Users\\Anna\\AppData\\Local\\Application Data=D:AI(D;;CC;;;WD)(A;;FA;;;SY)\n"}) {
    EXPECT_NE(ini.find(line), std::string::npos) << line << " missing from\n" << ini;
  }
  EXPECT_TRUE(fs::exists(out.Path() / "default-profile.reg"));
  // Junctions are no folders of the saved drives (a loop would have no end).
  EXPECT_FALSE(fs::exists(out.Path() / "drives" / "C" / "Users" / "Anna" / "AppData" / "Local" /
                          "Application Data"));
  std::unique_ptr<SimMachine> again = SimMachine::Load(out.Path(), &error);
  ASSERT_TRUE(again) << error.ToString();
  EXPECT_EQ(again->Files().FreeBytes('C'), 80u);
  EXPECT_EQ(again->Files().Junctions().size(), 2u);
}

TEST(SimMachineFiles, RealismEntriesThatCannotBeReadNameTheLine) {
  const struct {
    const char* ini;
    const char* message;
  } cases[] = {
      {"[machine]\ncomputer=A B\n", "computer must be"},
      {"[machine]\ndefault_profile=Default\n", "default_profile must be"},
      {"[machine]\n\n[drive:C]\nfree=lots\n", "free must be"},
      {"[machine]\n\n[drive:CD]\nfree=1\n", "[drive:X]"},
      {"[machine]\n\n[junction:C:\\J]\ntarget=C:\\Missing\n", "target is no folder"},
      {"[machine]\n\n[junction:C:\\J]\ntarget=C:\\\nattributes=odd\n", "attributes are"},
      {"[machine]\n\n[process:3]\npath=C:\\a.exe\nopen=sometimes\n", "open must be denied"},
  };
  for (const auto& c : cases) {
    SimTempFolder in;
    WriteText(in.Path() / "machine.ini", c.ini);
    WriteText(in.Path() / "drives" / "C" / "x.txt", "x");
    SimFileError error;
    EXPECT_FALSE(SimMachine::Load(in.Path(), &error)) << c.ini;
    EXPECT_NE(error.ToString().find(c.message), std::string::npos) << error.ToString();
  }
}

}  // namespace
}  // namespace ombrant::sim
