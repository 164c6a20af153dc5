#pragma once
// Paths of the build handed to Windows tests as Linux paths; under Wine the root is drive Z:.

#include <string>

namespace kestrune::test {

inline std::string WindowsPath(std::string path) {
  if (!path.empty() && path.front() == '/')
    path = "Z:" + path;
  for (char& c : path) {
    if (c == '/')
      c = '\\';
  }
  return path;
}

}  // namespace kestrune::test
