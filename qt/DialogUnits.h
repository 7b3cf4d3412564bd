#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>

// Turns dialog-template units into pixels from the dialog font's average
// character width and height, so layouts keep their proportions at any DPI.
class CDialogUnits {
 public:
  CDialogUnits(int averageCharWidth, int charHeight) : width_(averageCharWidth), height_(charHeight) {}
  static CDialogUnits ForFont(const QFont& font);
  // The sans-serif stand-in for the templates' "MS Sans Serif" at a point size.
  static QFont TemplateFont(int pointSize);

  int X(int units) const { return units * width_ / 4; }
  int Y(int units) const { return units * height_ / 8; }
  QRect Rect(int left, int top, int width, int height) const {
    return {X(left), Y(top), X(width), Y(height)};
  }
  // Places a child at template coordinates.
  void Place(QWidget* child, int left, int top, int width, int height) const {
    child->setGeometry(Rect(left, top, width, height));
  }

 private:
  int width_;
  int height_;
};
