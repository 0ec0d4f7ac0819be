#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zr7 {

// `zr7-cli list --port PORT [--json]`: the tests stored in the instrument's
// twelve banks, one line a bank.
int ListCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// `zr7-cli read --port PORT (--all | --banks N,N) --dir DIR`: banks into
// files of the folder, named after their tests.
int ReadBanksCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace zr7
