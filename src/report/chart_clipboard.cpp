#include "report/chart_clipboard.h"

#include "chart/tchart.h"

#include <QClipboard>
#include <QMimeData>

namespace zr7 {

void PutRasterPicture(TChart& chart, QClipboard& clipboard) { clipboard.setImage(chart.RasterPicture()); }

void PutVectorPicture(TChart& chart, QClipboard& clipboard) {
  auto* pictures = new QMimeData;
  pictures->setData(QStringLiteral("image/svg+xml"), chart.SvgPicture());
  pictures->setImageData(chart.RasterPicture());
  clipboard.setMimeData(pictures);
}

} // namespace zr7
