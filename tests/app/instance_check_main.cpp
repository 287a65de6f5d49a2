// A copy of the program's start as far as the single-instance check: waits until its standard
// input closes, checks, prints "won" or "refused", and a winner runs on until it is killed. Built
// under the debug program's name; the tests run copies of it under names of their own.
#include <unistd.h>

#include <cstdio>

#include "app/single_instance.h"

using namespace app;

int main() {
  char byte;
  while (read(STDIN_FILENO, &byte, 1) > 0) {
  }
  const bool refused = AnotherCopyRunning();
  std::printf("%s\n", refused ? "refused" : "won");
  std::fflush(stdout);
  if (!refused) pause();
  return refused ? 1 : 0;
}
