#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <array>
#include <string>

#include "app/View.h"
#include "qt/DialogUnits.h"

// Template 130: the COM port group and the two options. Values in, values out;
// the main frame's OK steps do the work.
class CConfigDialog : public QDialog {
  Q_OBJECT
 public:
  // deviceForPort names the device each radio button opens (tooltips).
  CConfigDialog(const ConfigChoice& initial, const std::array<std::string, 4>& deviceForPort,
                const CDialogUnits* units = nullptr, QWidget* parent = nullptr);
  ConfigChoice Choice() const;

 private:
  QButtonGroup ports_;
  QCheckBox* verify_ = nullptr;
  QCheckBox* allowCpu0_ = nullptr;
};
