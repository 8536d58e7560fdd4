#include "orchestration/UnitMigrationPage.h"

namespace ombrant {

bool IsMarkedMigrated(TMyRegistry& settings, std::string_view displayName) {
  if (!settings.ValueExists(displayName)) return false;
  try {
    return static_cast<std::uint32_t>(settings.ReadInteger(displayName)) == kMigratedMark;
  } catch (const std::exception&) {
    return false;  // not a DWORD
  }
}

}  // namespace ombrant
