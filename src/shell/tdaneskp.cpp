#include "tdaneskp.h"

#include "ui/caption_label.h"
#include "ui/program_font.h"
#include "ui/utf8_text.h"

#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace zr7 {
namespace {

QLineEdit* Edit(QWidget* parent, QRect geometry) {
  auto* edit = new QLineEdit(parent);
  edit->setGeometry(geometry);
  return edit;
}

QFrame* SunkenFrame(QWidget* parent, QRect geometry) {
  auto* frame = new QFrame(parent);
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  frame->setGeometry(geometry);
  return frame;
}

} // namespace

TdaneSKP::TdaneSKP(QWidget* parent) : QDialog(parent) {
  setFont(ProgramFont());
  setWindowTitle(QStringLiteral("Dane SKP / pojazdu"));
  setModal(false);
  // Client area of the 484 x 419 window less its frame and caption.
  setFixedSize(476, 392);
  move(369, 176);

  SunkenFrame(this, {16, 8, 433, 97});
  SunkenFrame(this, {16, 112, 433, 177});

  CaptionLabel(this, "Dane SKP / warsztatu", {168, 24}, true);
  Button1 = new QPushButton(QStringLiteral("modyfikuj"), this);
  Button1->setGeometry(312, 16, 97, 25);
  QFont modyfikujFont = Button1->font();
  modyfikujFont.setBold(true);
  modyfikujFont.setItalic(true);
  modyfikujFont.setPixelSize(13);
  Button1->setFont(modyfikujFont);
  Button1->setToolTip(QStringLiteral("zmiana: nazwy SKP, Adresu, Uwag i nrCOM"));

  CaptionLabel(this, "Nazwa", {38, 52});
  edSKP = Edit(this, {80, 48, 329, 21});
  CaptionLabel(this, "Adres", {43, 75});
  edAdres = Edit(this, {80, 72, 329, 21});

  CaptionLabel(this, "Dane Pojazdu", {192, 120}, true);
  CaptionLabel(this, "Rodzaj pojazdu", {80, 144});
  CaptionLabel(this, "Marka", {192, 144});
  CaptionLabel(this, "Typ / model", {304, 144});
  rodzaj_pojazdu = new QComboBox(this);
  rodzaj_pojazdu->setGeometry(80, 160, 105, 21);
  rodzaj_pojazdu->setEditable(true);
  rodzaj_pojazdu->setInsertPolicy(QComboBox::NoInsert);
  for (const TVehicleKind& kind : kVehicleKinds) rodzaj_pojazdu->addItem(FromUtf8(kind.name));
  rodzaj_pojazdu->setCurrentIndex(-1);
  QFont kindFont = rodzaj_pojazdu->font();
  kindFont.setBold(true);
  rodzaj_pojazdu->setFont(kindFont);
  edMarka = Edit(this, {192, 160, 105, 21});
  edModel = Edit(this, {304, 160, 105, 21});

  CaptionLabel(this, "Data 1-szej rej.", {80, 184});
  CaptionLabel(this, "Nr rejestracyjny", {192, 184});
  CaptionLabel(this, "Przebieg", {304, 184});
  ed1Rej = Edit(this, {80, 200, 105, 21});
  edRej = Edit(this, {192, 200, 105, 21});
  edPrzebieg = Edit(this, {304, 200, 105, 21});

  CaptionLabel(this, "Uwagi", {40, 238});
  edUwagi = Edit(this, {81, 232, 328, 21});
  CaptionLabel(this, "Diagnosta", {24, 265});
  edDiagnosta = Edit(this, {81, 264, 328, 21});

  BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton), QStringLiteral("OK"), this);
  BitBtn1->setGeometry(208, 312, 75, 41);
  BitBtn1->setDefault(true);

  QWidget* tabOrder[] = {BitBtn1,    rodzaj_pojazdu, edMarka,     edModel, ed1Rej,  edRej,
                         edPrzebieg, edUwagi,        edDiagnosta, edSKP,   edAdres, Button1};
  for (std::size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

  connect(BitBtn1, &QPushButton::clicked, this, &TdaneSKP::BitBtn1Click);
  connect(Button1, &QPushButton::clicked, this, &TdaneSKP::Button1Click);
  connect(rodzaj_pojazdu, &QComboBox::editTextChanged, this, &TdaneSKP::rodzaj_pojazduChange);
}

TStationData TdaneSKP::Values() const {
  const auto text = [](const QLineEdit* edit) { return edit->text().toStdString(); };
  TStationData data;
  data.SKP = text(edSKP);
  data.Adres = text(edAdres);
  data.RodzajPojazdu = rodzaj_pojazdu->currentIndex();
  data.Marka = text(edMarka);
  data.Model = text(edModel);
  data.PierwszaRej = text(ed1Rej);
  data.Rej = text(edRej);
  data.Przebieg = text(edPrzebieg);
  data.Uwagi = text(edUwagi);
  data.Diagnosta = text(edDiagnosta);
  return data;
}

void TdaneSKP::SetValues(const TStationData& data) {
  const auto setText = [](QLineEdit* edit, const std::string& text) { edit->setText(QString::fromStdString(text)); };
  setText(edSKP, data.SKP);
  setText(edAdres, data.Adres);
  rodzaj_pojazdu->setCurrentIndex(KnownVehicleKind(data.RodzajPojazdu));
  setText(edMarka, data.Marka);
  setText(edModel, data.Model);
  setText(ed1Rej, data.PierwszaRej);
  setText(edRej, data.Rej);
  setText(edPrzebieg, data.Przebieg);
  setText(edUwagi, data.Uwagi);
  setText(edDiagnosta, data.Diagnosta);
}

void TdaneSKP::BitBtn1Click() { hide(); }

void TdaneSKP::Button1Click() {
  if (OnModyfikuj && OnModyfikuj()) hide();
}

void TdaneSKP::rodzaj_pojazduChange(const QString& text) {
  const int kind = rodzaj_pojazdu->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (kind == rodzaj_pojazdu->currentIndex()) return;
  if (kind >= 0) {
    rodzaj_pojazdu->setCurrentIndex(kind);
    return;
  }
  // Choosing no entry empties the edit part: the operator's text goes back.
  QLineEdit* edit = rodzaj_pojazdu->lineEdit();
  const int cursor = edit->cursorPosition();
  rodzaj_pojazdu->setCurrentIndex(-1);
  edit->setText(text);
  edit->setCursorPosition(cursor);
}

void TdaneSKP::keyPressEvent(QKeyEvent* event) {
  // The dialog has no cancel: Esc leaves it open with everything typed.
  if (event->key() == Qt::Key_Escape) return;
  QDialog::keyPressEvent(event);
}

} // namespace zr7
