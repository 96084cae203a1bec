//===- host_bridge.cpp - ncsheet_host.dll, the host for a Windows module --===//
//
// A winelib builtin DLL whose exports are the host's functions, for the
// Windows build of the module under wine.  The export list
// (made by cmake/host_calls.cmake) and the entries here both come from sim/session/calls.def:
// every export bridge_NAME is a jump to Forward<&NAME>::call, which calls
// the simulated host's NAME in its own convention.
//
//===----------------------------------------------------------------------===//
#include "forward.h"

// The jump targets, one per host function, read by the stubs below.
#define SIM_CALL(name, kind)                                                                       \
  extern "C" __attribute__((visibility("hidden"), used)) void *const bridge_target_##name =        \
      reinterpret_cast<void *>(&sim::winelib::Forward<&::name>::call);
#include "session/calls.def"
#undef SIM_CALL

// The exports: a jump keeps the caller's registers and stack as they are,
// so the ms_abi entry receives the call exactly as the module made it.
#define SIM_CALL(name, kind)                                                                       \
  asm(".text\n"                                                                                    \
      ".globl bridge_" #name "\n"                                                                  \
      ".type bridge_" #name ", @function\n"                                                        \
      "bridge_" #name ":\n"                                                                        \
      "  jmp *bridge_target_" #name "(%rip)\n"                                                     \
      ".size bridge_" #name ", . - bridge_" #name "\n");
#include "session/calls.def"
#undef SIM_CALL
