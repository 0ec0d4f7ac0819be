#include "comm_fixture.h"

#include "unique_folder.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace zr7::test {

CommFixture::CommFixture() : logFolder(MakeUniqueFolder("zr7-comm")) { logPath = (logFolder / "comm.log").string(); }

CommFixture::~CommFixture() {
  std::error_code ignored;
  std::filesystem::remove_all(logFolder, ignored);
}

void CommFixture::Attach(TComm32& comm) {
  comm.SetCommsLogFileName(logPath);
  comm.OnReceiveData = [this](const char* buffer, std::uint16_t length) {
    if (std::this_thread::get_id() != owner) ++eventsOffTheOwnerThread;
    chunks.push_back({std::string(buffer, length), buffer[length] == 0});
  };
  comm.OnErrorData = [this](std::uint8_t status) {
    if (std::this_thread::get_id() != owner) ++eventsOffTheOwnerThread;
    errorReports.push_back(status);
  };
  comm.OnRequestHangup = [this, &comm](TComm32* sender) {
    if (std::this_thread::get_id() != owner) ++eventsOffTheOwnerThread;
    EXPECT_EQ(sender, &comm);
    ++hangups;
  };
}

bool CommFixture::WaitFor(const std::function<bool()>& condition) {
  return loop.ProcessMessagesUntil(condition, std::chrono::seconds(5));
}

bool CommFixture::PollFor(const std::function<bool()>& condition) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < end)
    if (loop.ProcessMessagesUntil(condition, std::chrono::milliseconds(2))) return true;
  return false;
}

void CommFixture::Drain(std::chrono::milliseconds time) {
  loop.ProcessMessagesUntil([] { return false; }, time);
}

std::string CommFixture::Received() const {
  std::string all;
  for (const Chunk& chunk : chunks) all += chunk.bytes;
  return all;
}

std::vector<std::string> CommFixture::LogLines() const {
  std::ifstream file(logPath, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "the log ends in a whole line";
  return lines;
}

bool CommFixture::Logged(const std::string& line) const {
  const auto lines = LogLines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

} // namespace zr7::test
