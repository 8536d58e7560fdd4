#include "definitions/kvrSoftwareClasses.h"

#include "definitions/kvrInstalledSoftware1und1.h"
#include "definitions/kvrInstalledSoftwareAIM.h"
#include "definitions/kvrInstalledSoftwareApple.h"
#include "definitions/kvrInstalledSoftwareChromium.h"
#include "definitions/kvrInstalledSoftwareDigsby.h"
#include "definitions/kvrInstalledSoftwareDivX.h"
#include "definitions/kvrInstalledSoftwareEudora.h"
#include "definitions/kvrInstalledSoftwareEvolution.h"
#include "definitions/kvrInstalledSoftwareFoobar.h"
#include "definitions/kvrInstalledSoftwareGaduGadu.h"
#include "definitions/kvrInstalledSoftwareGoogleTalk.h"
#include "definitions/kvrInstalledSoftwareICQ.h"
#include "definitions/kvrInstalledSoftwareLightAlloy.h"
#include "definitions/kvrInstalledSoftwareMicrosoft.h"
#include "definitions/kvrInstalledSoftwareMiranda.h"
#include "definitions/kvrInstalledSoftwareMozilla.h"
#include "definitions/kvrInstalledSoftwareMulberry.h"
#include "definitions/kvrInstalledSoftwareOpera.h"
#include "definitions/kvrInstalledSoftwarePegasus.h"
#include "definitions/kvrInstalledSoftwarePidgin.h"
#include "definitions/kvrInstalledSoftwarePostMe.h"
#include "definitions/kvrInstalledSoftwareQQ.h"
#include "definitions/kvrInstalledSoftwareQuintEssential.h"
#include "definitions/kvrInstalledSoftwareRealPlayer.h"
#include "definitions/kvrInstalledSoftwareSkype.h"
#include "definitions/kvrInstalledSoftwareSylpheed.h"
#include "definitions/kvrInstalledSoftwareTheBat.h"
#include "definitions/kvrInstalledSoftwareTlenPL.h"
#include "definitions/kvrInstalledSoftwareTrillian.h"
#include "definitions/kvrInstalledSoftwareVideoLan.h"
#include "definitions/kvrInstalledSoftwareVoipBuster.h"
#include "definitions/kvrInstalledSoftwareWinAmp.h"
#include "definitions/kvrInstalledSoftwareYahoo.h"
#include "definitions/kvrInstalledSoftwareZoomPlayer.h"

namespace ombrant {

void RegisterSoftwareClasses(TSoftwareClassRegistry& registry) {
  // One call per module, in catalogue order: Microsoft, Mozilla, Opera, Apple, mail, chat and
  // telephony, media players; today's browsers after them all, so that the older order holds.
  RegisterMicrosoftSoftwareClasses(registry);
  RegisterMozillaSoftwareClasses(registry);
  RegisterOperaSoftwareClasses(registry);
  RegisterAppleSoftwareClasses(registry);
  RegisterMailSoftwareClasses(registry);
  RegisterChatSoftwareClasses(registry);
  RegisterMediaSoftwareClasses(registry);
  RegisterChromiumSoftwareClasses(registry);
}

void RegisterMailSoftwareClasses(TSoftwareClassRegistry& registry) {
  RegisterEudoraSoftwareClasses(registry);
  RegisterEvolutionSoftwareClasses(registry);
  RegisterMulberrySoftwareClasses(registry);
  RegisterPegasusSoftwareClasses(registry);
  RegisterPostMeSoftwareClasses(registry);
  RegisterSylpheedSoftwareClasses(registry);
  RegisterTheBatSoftwareClasses(registry);
}

void RegisterChatSoftwareClasses(TSoftwareClassRegistry& registry) {
  Register1und1SoftwareClasses(registry);
  RegisterAIMSoftwareClasses(registry);
  RegisterDigsbySoftwareClasses(registry);
  RegisterGaduGaduSoftwareClasses(registry);
  RegisterGoogleTalkSoftwareClasses(registry);
  RegisterICQSoftwareClasses(registry);
  RegisterMirandaSoftwareClasses(registry);
  RegisterPidginSoftwareClasses(registry);
  RegisterSkypeSoftwareClasses(registry);
  RegisterTlenPLSoftwareClasses(registry);
  RegisterTrillianSoftwareClasses(registry);
  RegisterVoipBusterSoftwareClasses(registry);
  RegisterYahooSoftwareClasses(registry);
  RegisterQQSoftwareClasses(registry);
}

void RegisterMediaSoftwareClasses(TSoftwareClassRegistry& registry) {
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
