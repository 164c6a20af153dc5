// kestrune-skin: lists, packs and unpacks skin archives for skin authors.

#include <cstdio>

#include "platform/console.h"
#include "tools/kestrune-skin/skin_tool.h"

int main(int argc, char** argv) {
  kestrune::platform::UseUtf8Console();
  return kestrune::skin_tool::RunSkinTool(kestrune::platform::CommandLineArguments(argc, argv),
                                          stdout, stderr);
}
