#include "platform/error.h"
#include "tools/kestrune-skin/skin_preview.h"

namespace kestrune::skin_tool {

bool CanShowPreview() {
  return false;
}

int RunPreview(const PreviewOptions& /*options*/, std::FILE* /*err*/) {
  throw Error("preview needs Windows or Wine");
}

}  // namespace kestrune::skin_tool
