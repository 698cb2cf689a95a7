// orvelune-sim: the headless runner (see tools/sim/simulation.h).
#include <cstdio>

#include "tools/sim/simulation.h"

int main(int argc, char** argv) {
  SimOptions options;
  std::string error;
  bool help = false;
  if (!ParseSimArguments(argc, argv, &options, &error, &help)) {
    std::fprintf(stderr, "orvelune-sim: %s\n\n%s", error.c_str(), SimUsage().c_str());
    return 2;
  }
  if (help) {
    std::fputs(SimUsage().c_str(), stdout);
    return 0;
  }
  return RunSimulation(options);
}
