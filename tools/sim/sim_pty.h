#pragma once

#include <string>

namespace zr7::sim {

// A raw pseudo-terminal. The simulator keeps a descriptor of the device side
// open itself, so the program on the other side may close and reopen the
// device without the master seeing a hang-up.
class TSimPty {
public:
  TSimPty(); // throws std::system_error
  ~TSimPty();
  TSimPty(const TSimPty&) = delete;
  TSimPty& operator=(const TSimPty&) = delete;

  int Master() const { return master_; }
  const std::string& DevicePath() const { return devicePath_; }

private:
  int master_ = -1;
  int slave_ = -1;
  std::string devicePath_;
};

// A symlink to the device for as long as the object lives. An existing
// symlink at the path is replaced; missing folders are made.
class TSimLink {
public:
  TSimLink(std::string path, const std::string& target); // throws std::system_error
  ~TSimLink();
  TSimLink(const TSimLink&) = delete;
  TSimLink& operator=(const TSimLink&) = delete;

private:
  std::string path_;
};

} // namespace zr7::sim
