#include "definitions/kvrSoftwareClasses.h"

#include "definitions/kvrInstalledSoftwareMicrosoft.h"
// mail clients
#include "definitions/kvrInstalledSoftwareEudora.h"
#include "definitions/kvrInstalledSoftwareEvolution.h"
#include "definitions/kvrInstalledSoftwareMulberry.h"
#include "definitions/kvrInstalledSoftwarePegasus.h"
#include "definitions/kvrInstalledSoftwarePostMe.h"
#include "definitions/kvrInstalledSoftwareSylpheed.h"
#include "definitions/kvrInstalledSoftwareTheBat.h"
// media players
#include "definitions/kvrInstalledSoftwareDivX.h"
#include "definitions/kvrInstalledSoftwareFoobar.h"
#include "definitions/kvrInstalledSoftwareLightAlloy.h"
#include "definitions/kvrInstalledSoftwareQuintEssential.h"
#include "definitions/kvrInstalledSoftwareRealPlayer.h"
#include "definitions/kvrInstalledSoftwareVideoLan.h"
#include "definitions/kvrInstalledSoftwareWinAmp.h"
#include "definitions/kvrInstalledSoftwareZoomPlayer.h"

namespace ombrant {

void RegisterSoftwareClasses(TSoftwareClassRegistry& registry) {
  // One call per module, in catalogue order: Microsoft, Mozilla, Opera, Apple, mail, chat and
  // telephony, media players.
  RegisterMicrosoftSoftwareClasses(registry);
  // mail clients
  RegisterEudoraSoftwareClasses(registry);
  RegisterEvolutionSoftwareClasses(registry);
  RegisterMulberrySoftwareClasses(registry);
  RegisterPegasusSoftwareClasses(registry);
  RegisterPostMeSoftwareClasses(registry);
  RegisterSylpheedSoftwareClasses(registry);
  RegisterTheBatSoftwareClasses(registry);
  // media players
  RegisterDivXSoftwareClasses(registry);
  RegisterFoobarSoftwareClasses(registry);
  RegisterLightAlloySoftwareClasses(registry);
  RegisterQuintEssentialSoftwareClasses(registry);
  RegisterRealPlayerSoftwareClasses(registry);
  RegisterVideoLanSoftwareClasses(registry);
  RegisterWinAmpSoftwareClasses(registry);
  RegisterZoomPlayerSoftwareClasses(registry);
}

}  // namespace ombrant
