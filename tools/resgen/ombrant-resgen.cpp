// Writes the generated parts of the program's resources into one folder:
//   OmbrantStrings.rc   the STRINGTABLE, from the numbered strings the portable code reads
//   KestrovaLtd.bmp     the maker's logo
//   UserAccount.ico     the account picture of the account list
//   Ombrant.ico         the program's icon
// Files whose content is unchanged are left alone, so the resources are not rebuilt for nothing.
//
// Usage: ombrant-resgen OUTPUT_FOLDER
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "resources/OmbrantStrings.h"
#include "tools/resgen/resgenArtwork.h"
#include "tools/resgen/resgenRcText.h"

namespace {

using namespace ombrant;

std::string StringTable() {
  std::string rc =
      "// Generated from resources/OmbrantStrings.h by ombrant-resgen: edit the table there.\n"
      "STRINGTABLE\nBEGIN\n";
  for (const TOmbrantString& s : kOmbrantStrings) {
    rc += "  " + std::to_string(s.number) + ", " + resgen::RcWideLiteral(s.text) + "\n";
  }
  rc += "END\n";
  return rc;
}

bool WriteIfChanged(const std::string& path, const std::string& content) {
  {
    std::ifstream in(path, std::ios::binary);
    if (in) {
      const std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (old == content) return true;
    }
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  out.close();
  if (!out) {
    std::fprintf(stderr, "ombrant-resgen: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ombrant-resgen OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  bool ok = WriteIfChanged(folder + "OmbrantStrings.rc", StringTable());
  ok = WriteIfChanged(folder + "KestrovaLtd.bmp", resgen::EncodeBmp(resgen::Logo())) && ok;
  ok = WriteIfChanged(folder + "UserAccount.ico", resgen::EncodeIco(resgen::AccountIcon())) && ok;
  ok = WriteIfChanged(folder + "Ombrant.ico", resgen::EncodeIco(resgen::ProgramIcons())) && ok;
  return ok ? 0 : 1;
}
