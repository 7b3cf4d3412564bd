#pragma once

#include <QDialog>

#include "qt/DialogUnits.h"

// Icon resource 128, the application's: the About box and the main window.
inline constexpr const char* kApplicationIcon = ":/icons/program.xpm";

// Template 151: shown at the first paint, closes with OK.
class CStartupNoticeDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CStartupNoticeDialog(const CDialogUnits* units = nullptr, QWidget* parent = nullptr);
};

// Template 100: the About box.
class CAboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDialog(const CDialogUnits* units = nullptr, QWidget* parent = nullptr);
};
