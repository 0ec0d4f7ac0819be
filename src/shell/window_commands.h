#pragma once

namespace zr7 {

// What the main window is doing with the instrument's link. A connect and a
// read wait in nested message loops inside their click handlers, so other
// handlers can run meanwhile; this state alone decides which may.
enum class TLinkState {
  Idle,       // no port open
  Connecting, // the connect waits for the serial workers to start
  Connected,  // the port is open, no read runs
  Reading,    // a bank read runs
  Closing,    // the port is being closed, or a read is ending after its port closed
};

// The operator's commands.
enum class TCommand {
  ConnectOrDisconnect, // "Polącz" / "Rozlącz"
  ReadBank,            // "Czytaj"
  ChoosePort,
  ChooseBank,
  OpenFile,
  SaveFile,
  Print,
  PrinterSetup,
  StationData, // the data dialog, which only edits texts
};

// Whether the command may start in the state. During a read only
// "Rozlącz" (which ends it) and the texts of the data dialog are taken:
// a file, a print or a modal dialog would save, print or hold up a test
// that is only half read.
constexpr bool CommandAllowed(TCommand command, TLinkState state) {
  switch (state) {
    case TLinkState::Idle:
      return command != TCommand::ReadBank;
    case TLinkState::Connected:
      return true;
    case TLinkState::Reading:
      return command == TCommand::ConnectOrDisconnect || command == TCommand::StationData;
    case TLinkState::Connecting:
    case TLinkState::Closing:
      return command == TCommand::StationData;
  }
  return false;
}

} // namespace zr7
