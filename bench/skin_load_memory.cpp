// What a skin load keeps in memory. Each load runs in a process of its own and loads one skin
// from a skin folder through the skin manager, as the window finds a skin by name; it prints the
// process's resident memory before the load, the peak during it, what stays after it (the skin
// in use, or the refusal shown) and after loading it once more:
//   skin_load_memory make FOLDER        writes the test skins into FOLDER
//   skin_load_memory load FOLDER NAME   loads the skin NAME from FOLDER and prints the figures
// The test skins: "Refused", whose two members of 250 MB each unpack to more than the limit, so
// that the second is refused; "BigMember", a valid archive whose one picture unpacks to 250 MB;
// "ManyKeys", whose options file holds a million keys. bench/skin_load_memory.sh runs all three
// natively and under Wine.

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "bench/process_memory.h"
#include "skin/data/skin_manager.h"

namespace {

using namespace kestrune::skin;

constexpr std::uint32_t kBigMember = 250u << 20;
constexpr int kManyKeys = 1'000'000;
constexpr std::string_view kSmallOptions = "[GLOBALINFO]\r\nVERSION=16.13\r\n";

void PutU32(std::ofstream& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.put(static_cast<char>(value >> shift));
}

// A member of `size` zero bytes, deflated a megabyte at a time so that making it costs little
// memory: 250 MB packs into about 250 KB.
void PutZeroMember(std::ofstream& out, std::string_view name, std::uint32_t size) {
  PutU32(out, static_cast<std::uint32_t>(name.size()));
  out.write(name.data(), static_cast<std::streamsize>(name.size()));
  PutU32(out, size);
  z_stream z{};
  deflateInit(&z, Z_BEST_COMPRESSION);
  std::vector<unsigned char> zeros(1u << 20);
  std::vector<unsigned char> packed(1u << 20);
  std::uint32_t left = size;
  int flush = Z_NO_FLUSH;
  while (flush != Z_FINISH) {
    const auto take = static_cast<uInt>(std::min<std::size_t>(left, zeros.size()));
    left -= take;
    z.next_in = zeros.data();
    z.avail_in = take;
    flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
    do {
      z.next_out = packed.data();
      z.avail_out = static_cast<uInt>(packed.size());
      deflate(&z, flush);
      out.write(reinterpret_cast<const char*>(packed.data()),
                static_cast<std::streamsize>(packed.size() - z.avail_out));
    } while (z.avail_out == 0);
  }
  deflateEnd(&z);
}

void PutTextMember(std::ofstream& out, std::string_view name, std::string_view text) {
  PutU32(out, static_cast<std::uint32_t>(name.size()));
  out.write(name.data(), static_cast<std::streamsize>(name.size()));
  PutU32(out, static_cast<std::uint32_t>(text.size()));
  uLongf size = compressBound(static_cast<uLong>(text.size()));
  std::vector<unsigned char> packed(size);
  compress2(packed.data(), &size, reinterpret_cast<const Bytef*>(text.data()),
            static_cast<uLong>(text.size()), Z_BEST_COMPRESSION);
  out.write(reinterpret_cast<const char*>(packed.data()), static_cast<std::streamsize>(size));
}

// One section of a million distinct short keys without values.
std::string ManyKeysOptions() {
  std::string text(kSmallOptions);
  text += "[MANY]\n";
  for (int i = 0; i < kManyKeys; ++i) {
    for (int rest = i;; rest /= 60) {
      text += static_cast<char>('A' + rest % 60);
      if (rest < 60)
        break;
    }
    text += "=\n";
  }
  return text;
}

std::ofstream OpenArchive(const std::string& folder, std::string_view name, std::uint32_t count) {
  std::ofstream out(folder + "/" + std::string(name) + ".asz", std::ios::binary);
  out.write("ASzf", 4);
  PutU32(out, count);
  return out;
}

int Make(const std::string& folder) {
  {
    std::ofstream out = OpenArchive(folder, "Refused", 3);
    PutTextMember(out, "OPTIONS.DAT", kSmallOptions);
    PutZeroMember(out, "ONE.BMP", kBigMember);
    PutZeroMember(out, "TWO.BMP", kBigMember);
  }
  {
    std::ofstream out = OpenArchive(folder, "BigMember", 2);
    PutTextMember(out, "OPTIONS.DAT", kSmallOptions);
    PutZeroMember(out, "BIG.BMP", kBigMember);
  }
  {
    std::ofstream out = OpenArchive(folder, "ManyKeys", 1);
    PutTextMember(out, "OPTIONS.DAT", ManyKeysOptions());
  }
  return 0;
}

double Megabytes(std::size_t bytes) {
  return static_cast<double>(bytes) / (1 << 20);
}

int Load(const std::string& folder, const std::string& name) {
  HeadlessSkinPlatform platform(96);
  TsSkinManager manager(platform);
  manager.InternalSkins = BuiltinStoredSkins();
  manager.SkinDirectory = folder;
  const kestrune::bench::ProcessMemory before = kestrune::bench::CurrentProcessMemory();
  manager.SetSkinName(name);
  const kestrune::bench::ProcessMemory after = kestrune::bench::CurrentProcessMemory();
  const std::string outcome = platform.messages.empty() ? "loaded" : "refused";
  // A second load shows whether what stays grows from load to load.
  manager.SetSkinName(name);
  const kestrune::bench::ProcessMemory again = kestrune::bench::CurrentProcessMemory();
  std::printf("%-10s %-8s before %6.1f MB  peak %6.1f MB  after %6.1f MB  after another %6.1f MB\n",
              name.c_str(), outcome.c_str(), Megabytes(before.resident), Megabytes(after.peak),
              Megabytes(after.resident), Megabytes(again.resident));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "make")
    return Make(args[1]);
  if (args.size() == 3 && args[0] == "load")
    return Load(args[1], args[2]);
  std::fputs(
      "usage: skin_load_memory make FOLDER\n"
      "       skin_load_memory load FOLDER NAME\n",
      stderr);
  return 2;
}
