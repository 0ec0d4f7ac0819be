#pragma once

#include "tpomiar.h"

#include <string>

namespace zr7 {

// Reading a measurement file (*.zr) into the record. Either the system's
// error (errno, for the runtime's message) or a refusal of a file that is
// not a measurement: the record is replaced only when both are clear.
struct TLoadResult {
  int error = 0;
  std::string refusal; // Polish, UTF-8
  bool Ok() const { return error == 0 && refusal.empty(); }
};

TLoadResult LoadMeasurementFile(const std::string& path, TPomiar& pomiar);

// Writes the record's 27592-byte image; the previous file stays whole when
// anything fails. Returns errno, 0 on success.
int SaveMeasurementFile(const std::string& path, const TPomiar& pomiar);

// The brake caption of an opened measurement (Windows-1250): the service
// brake carries its deviation, written straight after the "=".
std::string BrakeCaptionOfFile(const TPomiar& pomiar);

} // namespace zr7
