// Random editing sessions on random texts: every rule the session checks after each
// step, and the loaded text given back byte for byte once everything is undone.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/CommandSession.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vantorel::session::Session session;
  const std::string problem = session.Run(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "broken rule: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
