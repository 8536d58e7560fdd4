// libFuzzer target for the resolution of path templates ("<$APPDATA>\Opera\") on a simulated
// XP machine: any text, tokens or not, resolves without a fault, and a text without "<$" comes
// back unchanged.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/sim/simMachine.h"
#include "platform/vqPathSolve.h"
#include "platform/vqStringList.h"

namespace {

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "path resolution broke: %s\n", what);
  std::abort();
}

struct Solver {
  Solver() : machine(false, ombrant::port::OsVersionInfo{5, 1, 2600, 2}) {
    machine.AddAccount("Admin").privilege = ombrant::port::kUserPrivAdmin;
    machine.SetRunningAccount("Admin");
    solver = std::make_unique<ombrant::TPathSolver>(machine.Port());
  }
  ombrant::sim::SimMachine machine;
  std::unique_ptr<ombrant::TPathSolver> solver;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Solver solver;
  // Candidate expansion multiplies the values of every token: keep templates short.
  if (size > 256) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string resolved = solver.solver->ResolvePath(text);
  if (text.find("<$") == std::string::npos) Check(resolved == text, "a text without tokens");
  ombrant::TStringList candidates;
  candidates.SetSorted(true);
  solver.solver->ExpandPathCandidates(text, candidates);
  return 0;
}
