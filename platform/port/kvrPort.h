// The machine bundle: one reference per port area, passed through constructors.
#pragma once

#include "platform/port/kvrPortAccounts.h"
#include "platform/port/kvrPortFiles.h"
#include "platform/port/kvrPortProcesses.h"
#include "platform/port/kvrPortRegistry.h"
#include "platform/port/kvrPortSecurity.h"
#include "platform/port/kvrPortShell.h"
#include "platform/port/kvrPortSystem.h"
#include "platform/port/kvrPortUi.h"

namespace ombrant::port {

struct Port {
  IRegistry& registry;
  ISystem& system;
  IFileSystem& files;
  IShell& shell;
  IUi& ui;
  IAccounts& accounts;
  ISecurity& security;
  IProcesses& processes;
};

}  // namespace ombrant::port
