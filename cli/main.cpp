//===- main.cpp - The ncsheet runner --------------------------------------===//
#include "runner.h"

#include "session/session.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>

namespace {

// Under AddressSanitizer the finished session is torn down as any object
// is, so that the leak check sees its whole life.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kTearDownAtExit = true;
#else
constexpr bool kTearDownAtExit = false;
#endif

} // namespace

// A run's outputs are written and its files closed before its session is
// handed back; the process then ends without freeing the part's objects
// one by one, which takes a quarter of a second for a large workpiece.
int main(int argc, char **argv) {
  std::unique_ptr<sim::Session> finished;
  int status = ncsheet::kExitRunFailed;
  try {
    status = ncsheet::main_command(argc, argv, std::cout, std::cerr, &finished);
  } catch (const std::exception &e) {
    std::cerr << "ncsheet: " << e.what() << "\n";
  }
  if (finished && !kTearDownAtExit) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(status);
  }
  return status;
}
