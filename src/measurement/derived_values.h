#pragma once

#include "tpomiar.h"

namespace zr7 {

// Sets ax, az and a of a sample from its raw surX and surZ.
void ComputeDerived(TProbka& sample);

} // namespace zr7
