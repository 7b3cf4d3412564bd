#include "qt/ConfigDialog.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "resources/Strings.h"

namespace {

constexpr StringId kPortTexts[] = {kStrConfigCom1, kStrConfigCom2, kStrConfigCom3, kStrConfigCom4};

}  // namespace

CConfigDialog::CConfigDialog(const ConfigChoice& initial, const std::array<std::string, 4>& deviceForPort,
                             const CDialogUnits* units, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("dialog130");
  setWindowTitle(Text(kStrConfigTitle));
  setFont(CDialogUnits::TemplateFont(8));
  const CDialogUnits du = units ? *units : CDialogUnits::ForFont(font());
  setFixedSize(du.X(132), du.Y(107));
  auto* group = new QGroupBox(Text(kStrConfigComPort), this);
  du.Place(group, 2, 2, 59, 65);
  ports_.setExclusive(false);  // lets no button be selected, as a stored port 0 shows
  for (int i = 0; i < 4; ++i) {
    auto* radio = new QRadioButton(Text(kPortTexts[i]), this);
    radio->setObjectName(QString::number(1050 + i));
    radio->setAutoExclusive(false);
    radio->setToolTip(QString::fromStdString(deviceForPort[i]));
    du.Place(radio, 10, 13 + 12 * i, 38, 10);
    ports_.addButton(radio, i);
    radio->setChecked(initial.portChoice == i);
  }
  connect(&ports_, &QButtonGroup::idClicked, this, [this](int id) {
    for (QAbstractButton* b : ports_.buttons()) b->setChecked(ports_.id(b) == id);
  });
  auto* ok = new QPushButton(Text(kStrOk), this);
  ok->setObjectName("1");
  ok->setDefault(true);
  du.Place(ok, 68, 6, 43, 15);
  auto* cancel = new QPushButton(Text(kStrCancel), this);
  cancel->setObjectName("2");
  du.Place(cancel, 68, 26, 43, 15);
  verify_ = new QCheckBox(Text(kStrConfigVerify), this);
  verify_->setObjectName("1001");
  verify_->setChecked(initial.verify);
  du.Place(verify_, 8, 71, 76, 10);
  allowCpu0_ = new QCheckBox(Text(kStrConfigAllowCpu0), this);
  allowCpu0_->setObjectName("1002");
  allowCpu0_->setChecked(initial.allowCpu0);
  du.Place(allowCpu0_, 8, 84, 76, 10);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

ConfigChoice CConfigDialog::Choice() const {
  ConfigChoice choice;
  for (QAbstractButton* b : ports_.buttons())
    if (b->isChecked()) choice.portChoice = ports_.id(b);
  choice.verify = verify_->isChecked();
  choice.allowCpu0 = allowCpu0_->isChecked();
  return choice;
}
