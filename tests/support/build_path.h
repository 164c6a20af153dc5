#pragma once
// Paths that the build writes into the tests (the programs under test, fixture folders), as the
// test program sees them: under Wine the Linux file system is drive Z:.

#include <string>

namespace kestrune::test {

inline std::string BuildPath(std::string path) {
#ifdef _WIN32
  if (!path.empty() && path[0] == '/') {
    for (char& c : path)
      c = c == '/' ? '\\' : c;
    path = "Z:" + path;
  }
#endif
  return path;
}

}  // namespace kestrune::test
