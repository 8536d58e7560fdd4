#include "definitions/kvrSoftwareClasses.h"

#include "definitions/kvrInstalledSoftware1und1.h"
#include "definitions/kvrInstalledSoftwareAIM.h"
#include "definitions/kvrInstalledSoftwareApple.h"
#include "definitions/kvrInstalledSoftwareDigsby.h"
#include "definitions/kvrInstalledSoftwareGaduGadu.h"
#include "definitions/kvrInstalledSoftwareGoogleTalk.h"
#include "definitions/kvrInstalledSoftwareICQ.h"
#include "definitions/kvrInstalledSoftwareMicrosoft.h"
#include "definitions/kvrInstalledSoftwareMiranda.h"
#include "definitions/kvrInstalledSoftwareMozilla.h"
#include "definitions/kvrInstalledSoftwareOpera.h"
#include "definitions/kvrInstalledSoftwarePidgin.h"
#include "definitions/kvrInstalledSoftwareQQ.h"
#include "definitions/kvrInstalledSoftwareSkype.h"
#include "definitions/kvrInstalledSoftwareTlenPL.h"
#include "definitions/kvrInstalledSoftwareTrillian.h"
#include "definitions/kvrInstalledSoftwareVoipBuster.h"
#include "definitions/kvrInstalledSoftwareYahoo.h"

namespace ombrant {

void RegisterSoftwareClasses(TSoftwareClassRegistry& registry) {
  // One call per module, in catalogue order: Microsoft, Mozilla, Opera, Apple, mail, chat and
  // telephony, media players.
  RegisterMicrosoftSoftwareClasses(registry);
  RegisterMozillaSoftwareClasses(registry);
  RegisterOperaSoftwareClasses(registry);
  RegisterAppleSoftwareClasses(registry);
  // chat and telephony clients
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

}  // namespace ombrant
