#include "definitions/kvrSoftwareClasses.h"

#include "definitions/kvrInstalledSoftwareApple.h"
#include "definitions/kvrInstalledSoftwareMicrosoft.h"
#include "definitions/kvrInstalledSoftwareMozilla.h"
#include "definitions/kvrInstalledSoftwareOpera.h"

namespace ombrant {

void RegisterSoftwareClasses(TSoftwareClassRegistry& registry) {
  // One call per module, in catalogue order: Microsoft, Mozilla, Opera, Apple, mail, chat and
  // telephony, media players.
  RegisterMicrosoftSoftwareClasses(registry);
  RegisterMozillaSoftwareClasses(registry);
  RegisterOperaSoftwareClasses(registry);
  RegisterAppleSoftwareClasses(registry);
}

}  // namespace ombrant
