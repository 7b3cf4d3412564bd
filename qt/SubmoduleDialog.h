#pragma once

#include <QDialog>
#include <QLineEdit>
#include <string>

#include "qt/DialogUnits.h"

// Template 133: the route to a module behind the communication processor.
class CSubmoduleDialog : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kMaxChars = 15;
  explicit CSubmoduleDialog(const CDialogUnits* units = nullptr, QWidget* parent = nullptr);
  std::string Text() const { return edit_->text().toStdString(); }

 private:
  QLineEdit* edit_ = nullptr;
};
