// What a skin load leaves allocated, counted by this program's own operator new: a load keeps
// the tables it built, and nothing of the unpacked archive or the options text they came from,
// whether it succeeds or is refused.

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

#include "assets/skin/builtin_skin.h"
#include "skin/data/skin_manager.h"
#include "tests/skin/data/archive_builder.h"
#include "tests/support/temp_dir.h"

namespace {

std::atomic<std::int64_t> g_live_bytes{0};

// Each block carries its size in front, so that a delete knows what it gives back.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size) {
  auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
  if (block == nullptr)
    return nullptr;
  *reinterpret_cast<std::size_t*>(block) = size;
  g_live_bytes += static_cast<std::int64_t>(size);
  return block + kHeader;
}

void Release(void* pointer) {
  if (pointer == nullptr)
    return;
  auto* block = static_cast<unsigned char*>(pointer) - kHeader;
  g_live_bytes -= static_cast<std::int64_t>(*reinterpret_cast<std::size_t*>(block));
  std::free(block);
}

void* AllocateOrThrow(std::size_t size) {
  if (void* pointer = Allocate(size))
    return pointer;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
  return AllocateOrThrow(size);
}
void* operator new[](std::size_t size) {
  return AllocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void operator delete(void* pointer) noexcept {
  Release(pointer);
}
void operator delete[](void* pointer) noexcept {
  Release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
  Release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
  Release(pointer);
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept {
  Release(pointer);
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept {
  Release(pointer);
}

namespace kestrune::skin {
namespace {

constexpr std::size_t kBigMember = std::size_t{16} << 20;
// The small skin's tables and the test's own bookkeeping stay far below this; each skin below
// unpacks to 16 MB or reads into an options store of more.
constexpr std::int64_t kKeptAtMost = std::int64_t{1} << 20;

const std::string kSmallOptions = "[GLOBALINFO]\nVERSION=16.13\n[BUTTON]\nCOLOR=255\n";

std::string ManyKeys(int count) {
  std::string text = kSmallOptions + "[MANY]\n";
  for (int i = 0; i < count; ++i)
    text += "K" + std::to_string(i) + "=\n";
  return text;
}

class SkinLoadMemoryTest : public testing::Test {
 protected:
  SkinLoadMemoryTest() {
    platform.program_folder = folder.Folder();
    manager.InternalSkins = BuiltinStoredSkins();
    manager.SkinDirectory = ".";
  }

  void Write(const std::string& name, const Bytes& archive) const {
    folder.Write(name + ".asz", std::string(archive.begin(), archive.end()));
  }

  kestrune::test::TempDir folder;
  HeadlessSkinPlatform platform{96};
  TsSkinManager manager{platform};
};

TEST_F(SkinLoadMemoryTest, ALoadKeepsItsTablesAndNothingOfItsSource) {
  const Bytes big(kBigMember, 0);
  Write("Small", test::ArchiveBuilder(1).Member("OPTIONS.DAT", test::ToBytes(kSmallOptions)).bytes);
  Write("BigMember", test::ArchiveBuilder(2)
                         .Member("OPTIONS.DAT", test::ToBytes(kSmallOptions))
                         .Member("BIG.BMP", big)
                         .bytes);
  Write("ManyKeys",
        test::ArchiveBuilder(1).Member("OPTIONS.DAT", test::ToBytes(ManyKeys(200'000))).bytes);
  test::ArchiveBuilder cut_short(3);
  cut_short.Member("OPTIONS.DAT", test::ToBytes(kSmallOptions)).Member("BIG.BMP", big);
  cut_short.Member("LAST.PNG", test::NoiseBytes(4096, 1));
  cut_short.bytes.resize(cut_short.bytes.size() - 100);
  Write("CutShort", cut_short.bytes);
  Write("NoOptions", test::ArchiveBuilder(1).Member("BIG.BMP", big).bytes);

  const struct {
    const char* name;
    bool loads;
  } rows[] = {
      {"BigMember", true},
      {"ManyKeys", true},
      {"CutShort", false},
      {"NoOptions", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    manager.SetSkinName("Small");
    ASSERT_TRUE(manager.IsActive());
    const std::int64_t before = g_live_bytes;
    platform.messages.clear();
    manager.SetSkinName(row.name);
    EXPECT_EQ(manager.IsActive(), row.loads);
    EXPECT_EQ(platform.messages.empty(), row.loads);
    EXPECT_LT(g_live_bytes - before, kKeptAtMost);
    if (row.loads) {
      // A record for another density reads the skin again, and lets it go again.
      TsMaskData md;
      EXPECT_EQ(manager.GetScaledMaskData("BUTTON", "BORDERSMASK", md, 120), -1);
      EXPECT_LT(g_live_bytes - before, kKeptAtMost);
    }
  }
}

}  // namespace
}  // namespace kestrune::skin
