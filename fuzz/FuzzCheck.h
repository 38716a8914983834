// A broken rule stops the fuzzer with the rule's text, as a crash would.
#pragma once

#include <cstdio>
#include <cstdlib>

#define Check(condition)                                      \
  do {                                                        \
    if (!(condition)) {                                       \
      std::fprintf(stderr, "check failed: %s\n", #condition); \
      std::abort();                                           \
    }                                                         \
  } while (false)
