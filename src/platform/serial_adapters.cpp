#include "platform/serial_adapters.h"

#include "platform/com_names.h"
#include "platform/system.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <optional>
#include <sstream>

namespace zr7 {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kAdapterKinds[] = {"ttyACM", "ttyUSB"};

// "ttyUSB12" gives {1, 12}: the place of its kind in kAdapterKinds and its
// number; any other name gives nothing.
std::optional<std::pair<std::size_t, unsigned>> AdapterSortKey(std::string_view name) {
  for (std::size_t kind = 0; kind < std::size(kAdapterKinds); ++kind) {
    const std::string_view prefix = kAdapterKinds[kind];
    if (!name.starts_with(prefix) || name.size() == prefix.size()) continue;
    unsigned number = 0;
    const char* end = name.data() + name.size();
    const auto [stop, error] = std::from_chars(name.data() + prefix.size(), end, number);
    if (error == std::errc() && stop == end) return std::pair{kind, number};
  }
  return std::nullopt;
}

// Where a path finally leads, links followed; nothing when it leads nowhere.
std::optional<fs::path> FinalTarget(const fs::path& path) {
  std::error_code error;
  fs::path target = fs::canonical(path, error);
  if (error) return std::nullopt;
  return target;
}

fs::path ComLinkPath(const TAdapterFolders& folders, int number) {
  return folders.ports / ("COM" + std::to_string(number));
}

bool EntryExists(const fs::path& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

fs::path StableNamesFolder(const TAdapterFolders& folders) { return folders.dev / "serial" / "by-id"; }

std::vector<fs::path> StableNamesOf(const fs::path& finalTarget, const TAdapterFolders& folders) {
  std::vector<fs::path> names;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(StableNamesFolder(folders), error)) {
    if (FinalTarget(entry.path()) == finalTarget) names.push_back(entry.path());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ComName(int number) { return "COM" + std::to_string(number); }

std::string DescribeRoute(const TComRoute& route, const TSerialAdapter& adapter, const TAdapterFolders& folders) {
  if (route.viaLink) return ComName(route.number) + " (its link in " + folders.ports.string() + ")";
  return ComName(route.number) + " (no link made: " + ComName(route.number) + " is " + adapter.device.string() + ")";
}

std::string DescribeAccess(const TDeviceAccess& access) {
  using enum TDeviceAccess::TKind;
  switch (access.kind) {
    case Opens:
      return "you may open it";
    case Busy:
      return "busy: another program has it open (a connected ZR-7 window, for one)";
    case NotInGroup:
      return "not allowed: it belongs to the group " + access.group +
             ", which you are not in.\n"
             "               Join it with: sudo usermod -aG " +
             access.group + " $USER, then log out and in again";
    case LoginPending:
      return "not allowed yet: you are in the group " + access.group +
             ", but that counts from your next login.\n"
             "               Log out and in again";
    case Denied:
      return "not allowed: permission denied" + (access.group.empty() ? "" : " (group " + access.group + ")");
    case Fails:
      return "cannot be opened: " + access.error;
  }
  return {};
}

// A hint to reach the adapter by its stable name, when no COM name does:
// its kernel name changes with the USB socket it is plugged into.
std::string LinkHint(const TSerialAdapter& adapter, const TAdapterScan& scan) {
  const auto stable = [](const TComRoute& r) { return r.viaStableName; };
  if (std::any_of(adapter.routes.begin(), adapter.routes.end(), stable)) return {};
  const bool reached = !adapter.routes.empty();
  if (reached && adapter.stableNames.empty()) return {};
  const int number = reached ? adapter.routes.front().number : scan.freeCom;
  if (number == 0) return {};
  const fs::path& name = adapter.stableNames.empty() ? adapter.device : adapter.stableNames.front();
  const std::string command = "zr7-cli ports --link " + ComName(number) + " " + name.string() + "\n";
  if (!reached) return "  link it:     " + command;
  return "  keep it:     " + command + "               (the same COM after plugging it into another USB socket)\n";
}

std::string DescribeLink(const TComLink& link) {
  std::string line = "  " + ComName(link.number) + " -> " + link.target.string();
  switch (link.leadsTo) {
    case TComLink::TLeadsTo::Adapter:
      return line + " (the adapter " + link.adapter.string() + ")\n";
    case TComLink::TLeadsTo::OtherDevice:
      return line + " (not a USB adapter; the simulated instrument, for one)\n";
    case TComLink::TLeadsTo::Nothing:
      return line + ": nothing there now (adapter unplugged?)\n";
  }
  return line + "\n";
}

} // namespace

TDeviceAccess JudgeAccess(const TOpenProbe& probe) {
  using enum TDeviceAccess::TKind;
  TDeviceAccess access;
  access.group = probe.group;
  if (probe.openError == 0) {
    access.kind = probe.locked ? Busy : Opens;
  } else if (probe.openError == EBUSY) {
    access.kind = Busy;
  } else if (probe.openError == EACCES || probe.openError == EPERM) {
    if (probe.group.empty() || probe.inSessionGroups) {
      access.kind = Denied;
    } else {
      access.kind = probe.inUserGroups ? LoginPending : NotInGroup;
    }
  } else {
    access.kind = Fails;
    access.error = SystemErrorText(probe.openError);
  }
  return access;
}

TAdapterScan ScanSerialAdapters(const TAdapterFolders& folders, const TDeviceProber& probe) {
  TAdapterScan scan;
  std::vector<std::pair<std::pair<std::size_t, unsigned>, fs::path>> found;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folders.dev, error)) {
    const auto key = AdapterSortKey(entry.path().filename().string());
    if (key && FinalTarget(entry.path())) found.emplace_back(*key, entry.path());
  }
  std::sort(found.begin(), found.end());

  std::vector<fs::path> finalTargets;
  for (const auto& [key, device] : found) {
    TSerialAdapter adapter;
    adapter.device = device;
    finalTargets.push_back(*FinalTarget(device));
    adapter.stableNames = StableNamesOf(finalTargets.back(), folders);
    adapter.access = JudgeAccess(probe(device));
    scan.adapters.push_back(std::move(adapter));
  }
  const auto adapterAt = [&](const fs::path& path) -> TSerialAdapter* {
    const std::optional<fs::path> target = FinalTarget(path);
    if (!target) return nullptr;
    const auto it = std::find(finalTargets.begin(), finalTargets.end(), *target);
    return it == finalTargets.end() ? nullptr : &scan.adapters[static_cast<std::size_t>(it - finalTargets.begin())];
  };

  for (int number = 1; number <= kComPortCount; ++number) {
    const fs::path linkPath = ComLinkPath(folders, number);
    const bool linked = !folders.ports.empty() && fs::is_symlink(fs::symlink_status(linkPath, error));
    const fs::path device = ComDevicePath(ComName(number), folders.ports, folders.dev);
    TSerialAdapter* adapter = adapterAt(device);
    const fs::path target = linked ? fs::read_symlink(linkPath, error) : fs::path();
    if (adapter) adapter->routes.push_back({number, linked, target.parent_path() == StableNamesFolder(folders)});
    if (linked) {
      TComLink link;
      link.number = number;
      link.target = target;
      if (adapter) {
        link.leadsTo = TComLink::TLeadsTo::Adapter;
        link.adapter = adapter->device;
      } else {
        link.leadsTo = FinalTarget(linkPath) ? TComLink::TLeadsTo::OtherDevice : TComLink::TLeadsTo::Nothing;
      }
      scan.links.push_back(std::move(link));
    }
    if (scan.freeCom == 0 && !EntryExists(device)) scan.freeCom = number;
  }
  return scan;
}

std::string DescribeAdapterScan(const TAdapterScan& scan, const TAdapterFolders& folders) {
  std::ostringstream out;
  if (scan.adapters.empty()) {
    out << "No serial adapter found (looked for " << (folders.dev / "ttyUSB*").string() << " and "
        << (folders.dev / "ttyACM*").string() << ").\n"
        << "Plug the instrument's USB adapter in and run zr7-cli ports again.\n";
  }
  for (const TSerialAdapter& adapter : scan.adapters) {
    out << adapter.device.string() << "\n";
    for (const fs::path& name : adapter.stableNames) out << "  stable name: " << name.string() << "\n";
    if (adapter.routes.empty()) out << "  COM port:    none reaches it\n";
    for (const TComRoute& route : adapter.routes)
      out << "  COM port:    " << DescribeRoute(route, adapter, folders) << "\n";
    out << LinkHint(adapter, scan);
    out << "  access:      " << DescribeAccess(adapter.access) << "\n";
  }
  if (!scan.links.empty()) {
    out << "Links in " << folders.ports.string() << ":\n";
    for (const TComLink& link : scan.links) out << DescribeLink(link);
  }
  if (!scan.adapters.empty()) out << "In the window choose the COM port in the list and press \"Polącz\".\n";
  return out.str();
}

TLinkResult LinkComPort(std::string_view comName, const fs::path& device, const TAdapterFolders& folders) {
  const unsigned number = ComNumber(comName);
  if (number == 0 || number > static_cast<unsigned>(kComPortCount)) {
    return {std::string(comName) + ": not a port of the list (COM1 to COM32)", {}};
  }
  std::error_code error;
  const fs::path target = device.is_absolute() ? device : fs::absolute(device, error);
  if (!FinalTarget(target)) return {target.string() + ": no such device", {}};
  const fs::path link = ComLinkPath(folders, static_cast<int>(number));
  const fs::file_status status = fs::symlink_status(link, error);
  if (fs::exists(status) && !fs::is_symlink(status)) return {link.string() + ": not a link; remove it first", {}};

  fs::create_directories(folders.ports, error);
  if (error) return {folders.ports.string() + ": " + error.message(), {}};
  // A new link beside the old one, renamed over it: the name never dangles.
  const fs::path fresh = folders.ports / ("." + link.filename().string() + ".new");
  fs::remove(fresh, error);
  fs::create_symlink(target, fresh, error);
  if (!error) fs::rename(fresh, link, error);
  if (error) {
    const std::string text = link.string() + ": " + error.message();
    fs::remove(fresh, error);
    return {text, {}};
  }

  std::string message = ComName(static_cast<int>(number)) + " -> " + target.string() + "\n";
  if (target.parent_path() != StableNamesFolder(folders)) {
    const std::vector<fs::path> stable = StableNamesOf(*FinalTarget(target), folders);
    if (!stable.empty()) {
      message += "Note: " + stable.front().string() +
                 " names the same adapter and keeps working when it is plugged into another USB socket:\n"
                 "  zr7-cli ports --link " +
                 ComName(static_cast<int>(number)) + " " + stable.front().string() + "\n";
    }
  }
  return {{}, message};
}

} // namespace zr7
