// The simulated machine's drives and shell: machine folder load and save, the port bundle.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/sim/simMachine.h"
#include "platform/sim/simTempFolder.h"

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

}  // namespace
}  // namespace ombrant::sim
