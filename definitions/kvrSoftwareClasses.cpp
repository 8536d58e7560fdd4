#include "definitions/kvrSoftwareClasses.h"

#include "definitions/kvrInstalledSoftwareMicrosoft.h"

namespace ombrant {

void RegisterSoftwareClasses(TSoftwareClassRegistry& registry) {
  // One call per module, in catalogue order: Microsoft, Mozilla, Opera, Apple, mail, chat and
  // telephony, media players.
  RegisterMicrosoftSoftwareClasses(registry);
}

}  // namespace ombrant
