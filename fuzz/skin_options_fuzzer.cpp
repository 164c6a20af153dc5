// libFuzzer target for the skin options loader: any input may fail with kestrune::Error, nothing
// else.

#include <cstddef>
#include <cstdint>

#include "fuzz/skin_options_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    kestrune::fuzz::LoadOptionsInput({data, size});
  } catch (const kestrune::Error&) {
  }
  return 0;
}
