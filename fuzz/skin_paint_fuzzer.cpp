// libFuzzer target for painting whatever a skin's options say: options text with the built-in
// pictures, loaded by the skin manager and painted in every section and state at two densities.
// Any input may fail with kestrune::Error, nothing else.

#include <cstddef>
#include <cstdint>

#include "fuzz/skin_paint_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    kestrune::fuzz::PaintOptionsInput({data, size});
  } catch (const kestrune::Error&) {
  }
  return 0;
}
