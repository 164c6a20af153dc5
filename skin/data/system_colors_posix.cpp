#include "skin/data/system_colors.h"

namespace kestrune::skin {

TsSystemColors CurrentSystemColors() {
  return {};
}

}  // namespace kestrune::skin
