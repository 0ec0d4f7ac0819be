#pragma once

#include "tpomiar.h"

#include <array>
#include <string>
#include <string_view>

namespace zr7 {

// One entry of the vehicle kind list: its text in the data dialog's list
// (and in `zr7-cli show`) and its line on the report.
struct TVehicleKind {
  std::string_view name;
  std::string_view reportLine;
};

inline constexpr std::array<TVehicleKind, 5> kVehicleKinds{{
    {"sam.osobowy", "    Rodzaj pojazdu: samochód osobowy"},
    {"sam.ciężarowy", "    Rodzaj pojazdu: samochód ciężarowy"},
    {"autobus", "    Rodzaj pojazdu: autobus"},
    {"motocykl", "    Rodzaj pojazdu: motocykl"},
    {"inny", "    Rodzaj pojazdu: inny..........................."},
}};

// A vehicle kind index as a record may hold it: one of the list's, or -1
// for none (a kind outside the list, possible only in a foreign file).
int KnownVehicleKind(int index);

// The brake kinds the instrument tests, kinds 1 to 3 of a bank's header:
// the brake's name, the note printed at the foot of the report and the
// brake's line on the report. The asterisks point to the motorcycle note.
struct TBrakeKind {
  std::string_view hamulec;
  std::string_view uwaga;
  std::string_view reportLine;
};

inline constexpr std::array<TBrakeKind, 3> kBrakeKinds{{
    {"hamulec roboczy", "(*) w przypadku motocykla - hamulec obu kół", "    rodzaj hamulca: hamulec roboczy (HR)*"},
    {"hamulec awaryjny", "", "    rodzaj hamulca: hamulec awaryjny (HA)"},
    {"hamulec pomocniczy", "(*) w przypadku motocykla - hamulec koła tylnego",
     "    rodzaj hamulca: hamulec pomocniczy (HP)*"},
}};

// Only the service brake's test measures the deviation from the driving
// direction.
inline constexpr std::string_view kServiceBrake = kBrakeKinds[0].hamulec;

// The station and vehicle data of a test as the operator types them into
// the data dialog, the report prints them and measurement files keep them
// (UTF-8).
struct TStationData {
  std::string SKP;
  std::string Adres;
  int RodzajPojazdu = -1; // index into kVehicleKinds, -1 for none
  std::string Marka;
  std::string Model;
  std::string PierwszaRej;
  std::string Rej;
  std::string Przebieg;
  std::string Uwagi;
  std::string Diagnosta;

  bool operator==(const TStationData&) const = default;
};

TStationData StationDataOf(const TPomiar& pomiar);

// The test's own texts: date and time as shown (UTF-8), and the brake texts
// as the bank's header gave them.
struct TTestTexts {
  std::string Data;
  std::string Godzina;
  TShortString Hamulec;
  TShortString Uwaga;
  TShortString Odchylenie;
};

// Puts the texts a save stores into the record: the test's own and the
// station and vehicle data. The window's save and `zr7-cli read` both use
// it, so their files agree byte for byte.
void FillRecordTexts(TPomiar& pomiar, const TTestTexts& test, const TStationData& station);

} // namespace zr7
