#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zr7 {

// Where the serial adapters and the COM links are looked for.
struct TAdapterFolders {
  std::filesystem::path dev = "/dev"; // ttyUSB*, ttyACM* and serial/by-id/
  std::filesystem::path ports;        // the COM links, see ComDevicePath
};

// What the system answers when the user opens a device for reading and
// writing, and the user's standing with the group that owns it.
struct TOpenProbe {
  int openError = 0;            // errno of the open, 0 when it opened
  bool locked = false;          // it opened, but another program holds its lock
  std::string group;            // the group that owns the device
  bool inSessionGroups = false; // this login session has that group
  bool inUserGroups = false;    // the group database lists the user in it
};

// Asks the system about one device: opens it briefly and looks up its group.
TOpenProbe ProbeDevice(const std::filesystem::path& device);

struct TDeviceAccess {
  enum class TKind {
    Opens,        // the user may open it now
    Busy,         // another program has it open
    NotInGroup,   // permission denied; the user is not in the device's group
    LoginPending, // permission denied; the user was added to the group, which counts from the next login
    Denied,       // permission denied for another reason
    Fails,        // another error, in `error`
  };
  TKind kind = TKind::Opens;
  std::string group;
  std::string error;
};
TDeviceAccess JudgeAccess(const TOpenProbe& probe);

// A COM name of the list that reaches an adapter, through its link in the
// ports folder or, with no link, as <dev>/ttyUSB<n-1>.
struct TComRoute {
  int number = 0;
  bool viaLink = false;
  bool viaStableName = false; // the link names the adapter under serial/by-id
};

struct TSerialAdapter {
  std::filesystem::path device;                   // <dev>/ttyUSB0
  std::vector<std::filesystem::path> stableNames; // <dev>/serial/by-id/... leading to it
  std::vector<TComRoute> routes;
  TDeviceAccess access;
};

// A COMn link of the ports folder and where it leads today.
struct TComLink {
  int number = 0;
  std::filesystem::path target; // as written in the link
  enum class TLeadsTo { Adapter, OtherDevice, Nothing } leadsTo = TLeadsTo::Nothing;
  std::filesystem::path adapter; // the adapter's device, for Adapter
};

struct TAdapterScan {
  std::vector<TSerialAdapter> adapters; // ttyACM* then ttyUSB*, by number
  std::vector<TComLink> links;          // by COM number
  int freeCom = 0;                      // the first COM with no link and no adapter at its default; 0 when none
};

using TDeviceProber = std::function<TOpenProbe(const std::filesystem::path&)>;

// The adapters present, the COM names that reach each of them and whether
// the user may open them.
TAdapterScan ScanSerialAdapters(const TAdapterFolders& folders, const TDeviceProber& probe);

// The scan as zr7-cli ports prints it, with the next steps for the user.
std::string DescribeAdapterScan(const TAdapterScan& scan, const TAdapterFolders& folders);

struct TLinkResult {
  std::string error;   // empty when the link was made
  std::string message; // what was done, for the user
};

// Makes <ports>/COMn a link to device (a relative device path is taken from
// the working directory), replacing an earlier link of that name at once.
// A COM name outside the list, a missing device or a COMn that is not a
// link are refused.
TLinkResult LinkComPort(std::string_view comName, const std::filesystem::path& device, const TAdapterFolders& folders);

} // namespace zr7
