#include "station_data.h"

namespace zr7 {

int KnownVehicleKind(int index) { return index >= 0 && index < static_cast<int>(kVehicleKinds.size()) ? index : -1; }

TStationData StationDataOf(const TPomiar& p) {
  TStationData data;
  data.SKP = p.SKP.Utf8();
  data.Adres = p.Adres.Utf8();
  data.RodzajPojazdu = KnownVehicleKind(p.RodzajPojazdu);
  data.Marka = p.Marka.Utf8();
  data.Model = p.Model.Utf8();
  data.PierwszaRej = p.PierwszaRej.Utf8();
  data.Rej = p.Rej.Utf8();
  data.Przebieg = p.Przebieg.Utf8();
  data.Uwagi = p.Uwagi.Utf8();
  data.Diagnosta = p.Diagnosta.Utf8();
  return data;
}

void FillRecordTexts(TPomiar& p, const TTestTexts& test, const TStationData& station) {
  p.Godzina.AssignUtf8(test.Godzina);
  p.Data.AssignUtf8(test.Data);
  p.Hamulec = test.Hamulec;
  p.Uwaga = test.Uwaga;
  p.Odchylenie = test.Odchylenie;
  p.SKP.AssignUtf8(station.SKP);
  p.Adres.AssignUtf8(station.Adres);
  p.Rej.AssignUtf8(station.Rej);
  p.Marka.AssignUtf8(station.Marka);
  p.Model.AssignUtf8(station.Model);
  p.Przebieg.AssignUtf8(station.Przebieg);
  p.PierwszaRej.AssignUtf8(station.PierwszaRej);
  p.Uwagi.AssignUtf8(station.Uwagi);
  p.Diagnosta.AssignUtf8(station.Diagnosta);
  p.RodzajPojazdu = station.RodzajPojazdu;
}

} // namespace zr7
