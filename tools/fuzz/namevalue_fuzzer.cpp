// libFuzzer target for the name=value lists: any text loads into a string list and a path
// working list, and the look-ups agree with the lines they come from.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/vqPathSolve.h"
#include "platform/vqStringList.h"
#include "platform/vqStrings.h"

namespace {

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "name=value list broke: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ombrant::TStringList list;
  list.SetText(text);
  ombrant::TPathWorkingList working;
  for (int i = 0; i < list.Count(); ++i) {
    const std::string name = list.Names(i);
    const int first = list.IndexOfName(name);
    if (name.empty()) continue;
    Check(first >= 0 && first <= i, "IndexOfName finds the first line of a name");
    Check(list.Values(name) == list.ValueFromIndex(first), "Values reads the first line");
    working.Add(name, list.ValueFromIndex(i));
  }
  for (const auto& line : working.Lines()) {
    const std::string value = working.Get(line.name);
    if (value.empty()) continue;  // an empty value removes the line
    working.Set(line.name, value);
    Check(working.Get(line.name) == value, "Set then Get");
  }
  return 0;
}
