#include "memory_window.h"

#include "platform/file_io.h"
#include "tdialogs.h"
#include "text/number_format.h"
#include "transfer/bank_requests.h"
#include "ui/user_number.h"
#include "ui/utf8_text.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include <array>

namespace zr7 {
namespace {

enum TColumn { kBank, kDate, kTime, kBrake, kDuration, kDeviation, kColumns };

// The texts of a row: a bank without a test, or one not read, shows only
// its number.
std::array<QString, kColumns> RowTexts(const TBankHeader& header) {
  std::array<QString, kColumns> texts;
  texts[kBank] = QString::number(header.bank);
  if (!header.test) return texts;
  const TStoredTest& t = *header.test;
  const std::string separator = UserDecimalSeparator();
  texts[kDate] = QString::fromStdString(t.Date());
  texts[kTime] = QString::fromStdString(t.Time());
  texts[kBrake] = QString::fromStdString(t.BrakeText());
  texts[kDuration] = QString::fromStdString(FormatFixed(t.DurationSeconds(), 3, separator));
  // The deviation is known for the service brake only, as the tool panel shows it.
  if (t.brakeKind == 1) texts[kDeviation] = QString::fromStdString(FormatFixed(t.deviation, 1, separator));
  return texts;
}

} // namespace

TMemoryWindow::TMemoryWindow(TMemoryWindowLink link, TDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), link_(std::move(link)), dialogs_(dialogs) {
  setWindowTitle(QString::fromUtf8("Pamięć ZR-7"));
  resize(560, 400);

  tbBanki = new QTableWidget(kBankCount, kColumns, this);
  tbBanki->setHorizontalHeaderLabels({QStringLiteral("bank"), QStringLiteral("data"), QStringLiteral("godzina"),
                                      QStringLiteral("hamulec"), QStringLiteral("czas [s]"),
                                      QStringLiteral("odch. [m]")});
  tbBanki->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tbBanki->setSelectionBehavior(QAbstractItemView::SelectRows);
  tbBanki->setSelectionMode(QAbstractItemView::ExtendedSelection);
  // Rows are chosen, not cells: Tab goes on to the buttons.
  tbBanki->setTabKeyNavigation(false);
  // One line a bank, every column as wide as its texts and the brake's
  // taking the rest, and all twelve banks in sight without scrolling.
  tbBanki->setWordWrap(false);
  tbBanki->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tbBanki->horizontalHeader()->setSectionResizeMode(kBrake, QHeaderView::Stretch);
  QHeaderView* rows = tbBanki->verticalHeader();
  rows->hide();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(fontMetrics().height() + 8);
  tbBanki->setMinimumHeight(kBankCount * rows->defaultSectionSize() + tbBanki->horizontalHeader()->sizeHint().height() +
                            2 * tbBanki->frameWidth());
  tbBanki->setToolTip(QString::fromUtf8("podwójne kliknięcie lub Enter: czytaj ten pomiar"));
  ShowHeaders({});
  connect(tbBanki, &QTableWidget::activated, this, [this](const QModelIndex& index) { ChooseRow(index.row()); });

  btOdswiez = new QPushButton(QString::fromUtf8("Odśwież"), this);
  btOdswiez->setToolTip(QString::fromUtf8("czytaj nagłówki pomiarów z pamięci ZR-7"));
  connect(btOdswiez, &QPushButton::clicked, this, &TMemoryWindow::ReadList);
  btWszystkie = new QPushButton(QString::fromUtf8("Zaznacz wszystkie"), this);
  connect(btWszystkie, &QPushButton::clicked, tbBanki, &QTableWidget::selectAll);
  btDoFolderu = new QPushButton(QString::fromUtf8("Zapisz do folderu..."), this);
  btDoFolderu->setToolTip(
      QString::fromUtf8("czytaj zaznaczone pomiary (bez zaznaczenia: wszystkie) i zapisz je w wybranym folderze"));
  connect(btDoFolderu, &QPushButton::clicked, this, &TMemoryWindow::ReadIntoFolder);

  pbPostep = new QProgressBar(this);
  pbPostep->setTextVisible(false);
  pbPostep->setToolTip(QString::fromUtf8("pasek postępu transferu danych"));
  btPrzerwij = new QPushButton(QString::fromUtf8("Przerwij"), this);
  btPrzerwij->setToolTip(QString::fromUtf8("przerwij odczyt z pamięci ZR-7 (Esc)"));
  connect(btPrzerwij, &QPushButton::clicked, this, [this] { link_.stopper.Stop(); });
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, [this] {
    if (btPrzerwij->isEnabled()) link_.stopper.Stop();
  });
  lbStan = new QLabel(this);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btOdswiez);
  buttons->addWidget(btWszystkie);
  buttons->addStretch();
  buttons->addWidget(btDoFolderu);
  auto* progress = new QHBoxLayout;
  progress->addWidget(pbPostep, 1);
  progress->addWidget(btPrzerwij);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tbBanki, 1);
  layout->addLayout(buttons);
  layout->addLayout(progress);
  layout->addWidget(lbStan);
  SetRunning(false);
}

void TMemoryWindow::SetRunning(bool running) {
  btPrzerwij->setEnabled(running);
  btOdswiez->setEnabled(!running);
  btDoFolderu->setEnabled(!running);
  if (!running) pbPostep->setValue(0);
}

TMemoryProgress TMemoryWindow::Progress() {
  return [this](int done, int total) {
    pbPostep->setRange(0, total);
    pbPostep->setValue(done);
  };
}

void TMemoryWindow::GoToBank(int bank) {
  if (bank < 1 || bank > kBankCount) return;
  const QModelIndex index = tbBanki->model()->index(bank - 1, kBank);
  tbBanki->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  tbBanki->scrollTo(index);
  tbBanki->setFocus();
}

void TMemoryWindow::ReadList() {
  if (!link_.beginRead()) return;
  link_.stopper = TReadStopper();
  SetRunning(true);
  lbStan->setText(QString::fromUtf8("Odczyt nagłówków..."));
  const std::vector<TBankHeader> headers =
      ReadBankHeaders(link_.comm, link_.loop, AllBanks(), link_.stopper, Progress());
  SetRunning(false);
  link_.endRead();
  ShowHeaders(headers);
  int unread = 0;
  for (const TBankHeader& h : headers) unread += !h.read;
  lbStan->setText(unread == 0 ? QString()
                              : QString::fromUtf8("Nie odczytano nagłówków: %1 z %2 (przyczyna w podpowiedzi wiersza).")
                                    .arg(unread)
                                    .arg(headers.size()));
}

void TMemoryWindow::ShowHeaders(const std::vector<TBankHeader>& headers) {
  for (int row = 0; row < kBankCount; ++row) {
    TBankHeader header;
    header.bank = row + 1;
    for (const TBankHeader& h : headers) {
      if (h.bank == header.bank) header = h;
    }
    const std::array<QString, kColumns> texts = RowTexts(header);
    for (int column = 0; column < kColumns; ++column) {
      auto* item = new QTableWidgetItem(texts[static_cast<std::size_t>(column)]);
      if (!header.reason.empty()) item->setToolTip(QString::fromStdString(header.reason));
      tbBanki->setItem(row, column, item);
    }
  }
}

void TMemoryWindow::ChooseRow(int row) {
  if (row < 0 || row >= kBankCount) return;
  // The main window reads the bank and shows its progress; the list stays in
  // front, so its Escape and "Przerwij" stop that read too.
  SetRunning(true);
  link_.readBank(row + 1);
  SetRunning(false);
}

std::vector<int> TMemoryWindow::MarkedBanks() const {
  std::vector<int> banks;
  for (int row = 0; row < kBankCount; ++row) {
    if (tbBanki->selectionModel()->isRowSelected(row, {})) banks.push_back(row + 1);
  }
  return banks;
}

void TMemoryWindow::ReadIntoFolder() {
  std::vector<int> banks = MarkedBanks();
  if (banks.empty()) banks = AllBanks();
  const QString folder = dialogs_.FolderName(QString::fromUtf8("Folder na pomiary"), lastFolder_);
  if (folder.isEmpty()) return;
  lastFolder_ = folder;
  if (!link_.beginRead()) return;
  link_.stopper = TReadStopper();
  SetRunning(true);
  lbStan->setText(QString::fromUtf8("Odczyt pomiarów do folderu %1...").arg(folder));
  const TBatchSettings settings{PathFromUtf8(folder.toStdString()), link_.station(), UserDecimalSeparator()};
  const std::vector<TBankFileEntry> entries =
      ReadBanksIntoFolder(link_.comm, link_.loop, banks, settings, link_.stopper, Progress());
  SetRunning(false);
  link_.endRead();
  lbStan->clear();
  // A main window closed during the batch has ended the program's work: no box.
  if (parentWidget() != nullptr && !parentWidget()->isVisible()) return;
  ShowMessage(dialogs_, FromUtf8(DescribeBatch(entries)));
}

} // namespace zr7
