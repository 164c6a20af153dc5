#include "tests/support/small_disk.h"

#include <random>

#ifdef __linux__
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#endif

namespace kestrune::test {

SmallDisk::SmallDisk(std::size_t bytes) {
#ifdef __linux__
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() /
          ("kestrune-disk-" + std::to_string(random()) + std::to_string(random()));
  std::error_code error;
  if (!std::filesystem::create_directory(path_, error)) {
    why_ = "cannot make " + path_.string();
    return;
  }
  const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
  if (::mount("tmpfs", path_.c_str(), "tmpfs", 0, options.c_str()) != 0) {
    why_ = std::string("mounting a small tmpfs is not permitted here: ") + std::strerror(errno);
    std::filesystem::remove(path_, error);
    return;
  }
  mounted_ = true;
#else
  (void)bytes;
  why_ = "small disks are made on Linux only";
#endif
}

SmallDisk::~SmallDisk() {
#ifdef __linux__
  if (mounted_)
    ::umount2(path_.c_str(), MNT_DETACH);
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
#endif
}

std::string SmallDisk::Folder() const {
  return path_.string() + "/";
}

}  // namespace kestrune::test
