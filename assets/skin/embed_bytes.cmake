# cmake -DINPUT=file -DOUTPUT=file.cpp -P embed_bytes.cmake
# Writes the bytes of INPUT as the definition of kestrune::skin::detail::kBuiltinSkinBytes.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Twenty bytes a line keeps the file readable in a diff tool.
string(REGEX REPLACE "((0x..,){20})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT} by embed_bytes.cmake; do not edit.\n"
  "#include <cstddef>\n#include <cstdint>\n\n"
  "namespace kestrune::skin::detail {\n"
  "extern const std::uint8_t kBuiltinSkinBytes[];\n"
  "extern const std::size_t kBuiltinSkinSize;\n"
  "const std::uint8_t kBuiltinSkinBytes[] = {\n${bytes}\n};\n"
  "const std::size_t kBuiltinSkinSize = ${size};\n"
  "}  // namespace kestrune::skin::detail\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
