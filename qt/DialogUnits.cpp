#include "qt/DialogUnits.h"

#include <QFontMetrics>

CDialogUnits CDialogUnits::ForFont(const QFont& font) {
  const QFontMetrics metrics(font);
  return CDialogUnits(metrics.averageCharWidth(), metrics.height());
}

QFont CDialogUnits::TemplateFont(int pointSize) {
  QFont font("Sans Serif", pointSize);
  font.setStyleHint(QFont::SansSerif);
  return font;
}
