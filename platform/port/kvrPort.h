// The machine bundle: one reference per port area, passed through constructors.
#pragma once

#include "platform/port/kvrPortRegistry.h"
#include "platform/port/kvrPortSystem.h"

namespace ombrant::port {

struct Port {
  IRegistry& registry;
  ISystem& system;
};

}  // namespace ombrant::port
