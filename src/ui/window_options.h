#pragma once

namespace zr7 {

// Choices the examiner makes in the window and that hold for later runs.
// They live in the user's settings of the program (on Windows the registry,
// elsewhere a file under the user's configuration folder), never in
// konfiguracja.txt, whose lines stay those of the instrument's program.

// Whether the printed page carries the braking figures under the results;
// off until the examiner turns it on.
bool BrakingBlockPrinted();
void SetBrakingBlockPrinted(bool printed);

} // namespace zr7
