#include "qt/SubmoduleDialog.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "resources/Strings.h"

namespace {

void AddText(QDialog* dialog, const CDialogUnits& du, const QString& text, QRect units, bool sunken = false) {
  auto* label = new QLabel(text, dialog);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  if (sunken) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  du.Place(label, units.x(), units.y(), units.width(), units.height());
}

}  // namespace

CSubmoduleDialog::CSubmoduleDialog(const CDialogUnits* units, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint | Qt::WindowTitleHint) {
  setObjectName("dialog133");
  setWindowTitle(::Text(kStrSubmoduleTitle));
  setFont(CDialogUnits::TemplateFont(10));
  const CDialogUnits du = units ? *units : CDialogUnits::ForFont(font());
  resize(du.X(360), du.Y(136));
  auto* send = new QPushButton(::Text(kStrSubmoduleSend), this);
  send->setObjectName("1");
  send->setDefault(true);
  du.Place(send, 296, 108, 51, 13);
  auto* cancel = new QPushButton(::Text(kStrCancel), this);
  cancel->setObjectName("2");
  du.Place(cancel, 295, 89, 50, 14);
  edit_ = new QLineEdit(this);
  edit_->setObjectName("1003");
  edit_->setMaxLength(kMaxChars);
  du.Place(edit_, 73, 103, 46, 12);
  AddText(this, du, ::Text(kStrSubmoduleDataLabel), {13, 104, 55, 10}, true);
  AddText(this, du, ::Text(kStrSubmoduleIntro), {49, 14, 293, 18});
  AddText(this, du, ::Text(kStrSubmoduleExampleVelmora), {17, 37, 322, 26});
  auto* icon = new QLabel(this);
  icon->setPixmap(QIcon(":/icons/submodule.xpm").pixmap(32, 32));
  icon->setGeometry(du.X(16), du.Y(10), 32, 32);
  AddText(this, du, ::Text(kStrSubmoduleExampleSinglePort), {17, 66, 327, 19});
  connect(send, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}
