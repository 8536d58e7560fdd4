// The start-up registration of every definition class, in catalogue order: the order of every
// application list the wizard shows.
#pragma once

#include "catalogue/kvrInstalledSoftware.h"

namespace ombrant {

// Appends the classes of each definition module, one module after the other. Called once at
// start-up, before the catalogue is built.
void RegisterSoftwareClasses(TSoftwareClassRegistry& registry);

// The groups RegisterSoftwareClasses registers after the browsers, each in catalogue order.
void RegisterMailSoftwareClasses(TSoftwareClassRegistry& registry);
void RegisterChatSoftwareClasses(TSoftwareClassRegistry& registry);
void RegisterMediaSoftwareClasses(TSoftwareClassRegistry& registry);

}  // namespace ombrant
