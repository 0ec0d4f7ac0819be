#pragma once

#include "unique_folder.h"

#include <filesystem>

namespace zr7 {

// A fresh folder that is the working directory while the object lives, for
// handlers that read and write files such as konfiguracja.txt beside them.
class TWorkingDirectory {
public:
  TWorkingDirectory() : previous_(std::filesystem::current_path()), path_(MakeUniqueFolder("zr7-test")) {
    std::filesystem::current_path(path_);
  }
  ~TWorkingDirectory() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(path_);
  }
  TWorkingDirectory(const TWorkingDirectory&) = delete;
  TWorkingDirectory& operator=(const TWorkingDirectory&) = delete;

  const std::filesystem::path& Path() const { return path_; }

private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

} // namespace zr7
