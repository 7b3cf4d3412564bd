#include "qt/NoticeDialogs.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "resources/Strings.h"

namespace {

QLabel* AddText(QDialog* dialog, const CDialogUnits& du, const QString& text, QRect units) {
  auto* label = new QLabel(text, dialog);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  du.Place(label, units.x(), units.y(), units.width(), units.height());
  return label;
}

QLabel* AddIcon(QDialog* dialog, const CDialogUnits& du, const char* resource, int left, int top) {
  auto* icon = new QLabel(dialog);
  icon->setPixmap(QIcon(resource).pixmap(32, 32));
  icon->setGeometry(du.X(left), du.Y(top), 32, 32);
  return icon;
}

QPushButton* AddOk(QDialog* dialog, const CDialogUnits& du, QRect units) {
  auto* ok = new QPushButton(Text(kStrOk), dialog);
  ok->setObjectName("1");
  ok->setDefault(true);
  du.Place(ok, units.x(), units.y(), units.width(), units.height());
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  return ok;
}

// "Tobrane PROM Loader 1.9.0.7": the title and the project's version.
QString VersionLine() {
  return QString("%1 %2").arg(Text(kStrAppTitle), TOBRANE_VERSION);
}

}  // namespace

CStartupNoticeDialog::CStartupNoticeDialog(const CDialogUnits* units, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("dialog151");
  setWindowTitle(Text(kStrNoticeTitle));
  setFont(CDialogUnits::TemplateFont(8));
  const CDialogUnits du = units ? *units : CDialogUnits::ForFont(font());
  setFixedSize(du.X(415), du.Y(102));
  AddOk(this, du, {351, 14, 50, 14});
  AddIcon(this, du, ":/icons/connect.xpm", 18, 42)->setObjectName("143");
  // The template's line breaks are "\n\r"; each pair shows as one break.
  AddText(this, du, QString(Text(kStrNoticeToolbar)).replace("\n\r", "\n"), {54, 42, 347, 25});
  AddText(this, du, VersionLine(), {100, 15, 195, 11})->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  AddText(this, du, Text(kStrNoticeConfiguration), {54, 68, 350, 17});
}

CAboutDialog::CAboutDialog(const CDialogUnits* units, QWidget* parent) : QDialog(parent) {
  setObjectName("dialog100");
  setWindowTitle(Text(kStrAboutTitle));
  setFont(CDialogUnits::TemplateFont(8));
  const CDialogUnits du = units ? *units : CDialogUnits::ForFont(font());
  setFixedSize(du.X(217), du.Y(55));
  AddIcon(this, du, kApplicationIcon, 11, 17);
  AddText(this, du, VersionLine(), {40, 10, 119, 8});
  AddText(this, du, Text(kStrAboutRights), {40, 25, 153, 23});
  AddOk(this, du, {178, 7, 32, 14});
}
