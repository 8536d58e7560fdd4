// The machine bundle: one reference per port area, passed through constructors.
#pragma once

#include "platform/port/kvrPortAccounts.h"
#include "platform/port/kvrPortRegistry.h"
#include "platform/port/kvrPortSecurity.h"
#include "platform/port/kvrPortSystem.h"

namespace ombrant::port {

struct Port {
  IRegistry& registry;
  ISystem& system;
  IAccounts& accounts;
  ISecurity& security;
};

}  // namespace ombrant::port
