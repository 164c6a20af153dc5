#include <windows.h>

#include "skin/data/system_colors.h"

namespace kestrune::skin {

TsSystemColors CurrentSystemColors() {
  TsSystemColors colors;
  for (std::size_t i = 0; i < colors.Values.size(); ++i) {
    colors.Values[i] = static_cast<TColor>(GetSysColor(static_cast<int>(i)));
  }
  return colors;
}

}  // namespace kestrune::skin
