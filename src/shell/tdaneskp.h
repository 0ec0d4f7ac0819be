#pragma once

#include "measurement/station_data.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zr7 {

// The station and vehicle data: one modeless dialog for the whole run whose
// fields hold the data the report prints and measurement files store.
class TdaneSKP : public QDialog {
  Q_OBJECT
public:
  explicit TdaneSKP(QWidget* parent = nullptr);

  // "modyfikuj" stores the station data; the dialog hides when that worked.
  std::function<bool()> OnModyfikuj;

  QLineEdit* edSKP;
  QLineEdit* edAdres;
  QComboBox* rodzaj_pojazdu;
  QLineEdit* edMarka;
  QLineEdit* edModel;
  QLineEdit* ed1Rej;
  QLineEdit* edRej;
  QLineEdit* edPrzebieg;
  QLineEdit* edUwagi;
  QLineEdit* edDiagnosta;
  QPushButton* Button1; // "modyfikuj"
  QPushButton* BitBtn1; // "OK"

  // The fields' texts and the chosen vehicle kind; SetValues chooses no
  // kind for an index outside the list.
  TStationData Values() const;
  void SetValues(const TStationData& data);

  void BitBtn1Click();
  void Button1Click();
  // The vehicle kind follows the text of the box: the entry with that text,
  // or none (-1) when no entry has it.
  void rodzaj_pojazduChange(const QString& text);

protected:
  void keyPressEvent(QKeyEvent* event) override;
};

} // namespace zr7
