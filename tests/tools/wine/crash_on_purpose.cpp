// Reads through a null pointer, so that the test beside it sees how a crash under Wine ends.
#include <cstdint>
#include <cstdio>

int main() {
  std::puts("crashing now");
  std::fflush(stdout);
  volatile std::uintptr_t address = 0;
  return *reinterpret_cast<volatile int*>(address);
}
