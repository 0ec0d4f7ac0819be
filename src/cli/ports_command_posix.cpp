#include "ports_command.h"

#include "cli_commands.h"
#include "platform/serial_adapters.h"
#include "qt_parts.h"

namespace zr7 {

int PortsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TAdapterFolders folders;
  folders.ports = PortsFolder();
  if (folders.ports.empty()) {
    err << "zr7-cli ports: this zr7-cli was built without Qt, which finds the ports folder\n";
    return 2;
  }
  std::vector<std::string> link;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--dev" && i + 1 < args.size()) {
      folders.dev = args[++i];
    } else if (args[i] == "--link" && i + 2 < args.size()) {
      link = {args[i + 1], args[i + 2]};
      i += 2;
    } else {
      return Usage(err);
    }
  }
  if (link.empty()) {
    out << DescribeAdapterScan(ScanSerialAdapters(folders, ProbeDevice), folders);
    return 0;
  }
  const TLinkResult result = LinkComPort(link[0], link[1], folders);
  if (!result.error.empty()) {
    err << result.error << "\n";
    return 1;
  }
  out << result.message;
  return 0;
}

} // namespace zr7
