#include "ui/window_options.h"

#include <QSettings>

namespace zr7 {
namespace {

const QString kOrganization = QStringLiteral("ZR-7");
const QString kApplication = QStringLiteral("zr7");
const QString kBrakingBlockPrinted = QStringLiteral("wydruk/analiza_hamowania");

} // namespace

bool BrakingBlockPrinted() {
  const QSettings options(kOrganization, kApplication);
  return options.value(kBrakingBlockPrinted, false).toBool();
}

void SetBrakingBlockPrinted(bool printed) {
  QSettings options(kOrganization, kApplication);
  options.setValue(kBrakingBlockPrinted, printed);
}

} // namespace zr7
