#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <functional>
#include <memory>

#include "qt/ConfigDialog.h"
#include "qt/NoticeDialogs.h"
#include "qt/SubmoduleDialog.h"

namespace {

// "text @ x,y wxh" of every child control in creation (tab) order.
QStringList Layout(const QDialog& dialog) {
  QStringList out;
  for (QObject* child : dialog.children()) {
    auto* w = qobject_cast<QWidget*>(child);
    if (!w) continue;
    QString text;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text();
    if (auto* l = qobject_cast<QLabel*>(w)) text = l->text().left(20);
    if (auto* g = qobject_cast<QGroupBox*>(w)) text = g->title();
    const QRect r = w->geometry();
    out << QString("%1 @ %2,%3 %4x%5").arg(text).arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
  }
  return out;
}

const CDialogUnits kMetric(6, 13);  // average width 6 px, height 13 px

}  // namespace

TEST(Dialogs, ConfigurationFollowsTheTemplateInPixels) {
  // Template units scale by width/4 and height/8 in template order, with the exact texts.
  CConfigDialog dialog({1, true, false}, {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"}, &kMetric);
  EXPECT_EQ(dialog.windowTitle(), "Tobrane Setup");
  EXPECT_EQ(dialog.size(), QSize(198, 173));
  const QStringList expected = {"&Com Port @ 3,3 88x105",
                                "Com1 @ 15,21 57x16",
                                "Com2 @ 15,40 57x16",
                                "Com3 @ 15,60 57x16",
                                "Com4 @ 15,79 57x16",
                                "OK @ 102,9 64x24",
                                "Cancel @ 102,42 64x24",
                                "Do &Verify after Flash @ 12,115 114x16",
                                "&Allow CPU ID 0 (this) @ 12,136 114x16"};
  EXPECT_EQ(Layout(dialog), expected);
  EXPECT_EQ(dialog.findChild<QAbstractButton*>("1052")->toolTip(), "/dev/ttyS2");
  const ConfigChoice back = dialog.Choice();
  EXPECT_EQ(back.portChoice, 1);
  EXPECT_TRUE(back.verify);
  EXPECT_FALSE(back.allowCpu0);
}

TEST(Dialogs, ConfigurationWithAPortOutsideOneToFourSelectsNoneAndReadsBackMinusOne) {
  // A stored port 0 shows no radio button; OK then hands back -1.
  CConfigDialog dialog({-1, false, false}, {}, &kMetric);
  for (int id = 1050; id <= 1053; ++id)
    EXPECT_FALSE(dialog.findChild<QAbstractButton*>(QString::number(id))->isChecked());
  EXPECT_EQ(dialog.Choice().portChoice, -1);
  dialog.findChild<QAbstractButton*>("1051")->click();
  dialog.findChild<QAbstractButton*>("1053")->click();
  EXPECT_EQ(dialog.Choice().portChoice, 3);
  EXPECT_FALSE(dialog.findChild<QAbstractButton*>("1051")->isChecked());
}

TEST(Dialogs, SubmoduleNoticeAndAboutFollowTheirTemplates) {
  // Titles, sizes, control order and the 15-character limit of edit 1003.
  CSubmoduleDialog submodule(&kMetric);
  EXPECT_EQ(submodule.windowTitle(), "Tobrane Submodule Select");
  EXPECT_EQ(submodule.size(), QSize(540, 221));
  const QStringList sub = Layout(submodule);
  ASSERT_EQ(sub.size(), 8);
  EXPECT_EQ(sub[0], "Send @ 444,175 76x21");
  EXPECT_EQ(sub[1], "Cancel @ 442,144 75x22");
  EXPECT_EQ(sub[2], " @ 109,167 69x19");
  EXPECT_EQ(sub[3], "SubModule   Data: @ 19,169 82x16");
  auto* edit = submodule.findChild<QLineEdit*>("1003");
  edit->setText("0123456789ABCDEFG");
  EXPECT_EQ(submodule.Text(), "0123456789ABCDE");

  CStartupNoticeDialog notice(&kMetric);
  EXPECT_EQ(notice.windowTitle(), "UPS Communications ");
  EXPECT_EQ(notice.size(), QSize(622, 165));
  const QStringList shown = Layout(notice);
  ASSERT_EQ(shown.size(), 5);
  EXPECT_EQ(shown[0], "OK @ 526,22 75x22");
  EXPECT_EQ(shown[3], "Tobrane PROM Loader  @ 150,24 292x17");
  const auto labels = notice.findChildren<QLabel*>();
  EXPECT_TRUE(
      labels[1]->text().contains("Lightning Bolt\" Icon located on the toolbar to establish communications "
                                 "with the UPS or Linkbay card.\nBy default"));

  CAboutDialog about(&kMetric);
  EXPECT_EQ(about.windowTitle(), "About Tobrane");
  EXPECT_EQ(about.size(), QSize(325, 89));
  EXPECT_EQ(Layout(about).back(), "OK @ 267,11 48x22");
}

namespace {

// The dialog's own rectangle, then every child control's, in creation order.
// Icons keep the system's 32 x 32 pixels at any font: only their place is in
// template units.
struct Placed {
  QRect rect;
  bool icon = false;
};

QList<Placed> Geometry(const QDialog& dialog) {
  QList<Placed> out{{QRect(QPoint(0, 0), dialog.size())}};
  for (QObject* child : dialog.children()) {
    if (auto* w = qobject_cast<QWidget*>(child)) {
      auto* label = qobject_cast<QLabel*>(w);
      out << Placed{w->geometry(), label != nullptr && !label->pixmap().isNull()};
    }
  }
  return out;
}

// Twice the value, give or take the pixel that rounding down loses.
bool Doubled(int single, int twice) {
  return twice >= 2 * single && twice <= 2 * single + 1;
}

bool Doubled(const Placed& a, const Placed& b) {
  const bool sized =
      a.icon ? b.rect.size() == a.rect.size()
             : Doubled(a.rect.width(), b.rect.width()) && Doubled(a.rect.height(), b.rect.height());
  return sized && Doubled(a.rect.x(), b.rect.x()) && Doubled(a.rect.y(), b.rect.y());
}

}  // namespace

TEST(Dialogs, OnAScreenOfTwiceTheDpiEveryDialogDoublesAndKeepsItsControlsInside) {
  // A font metric twice the 96-DPI one doubles the layout, control by control, within the dialog.
  const CDialogUnits doubled(12, 26);
  const std::vector<std::pair<std::function<std::unique_ptr<QDialog>(const CDialogUnits*)>, const char*>>
      dialogs = {
          {[](const CDialogUnits* m) {
             return std::make_unique<CConfigDialog>(ConfigChoice{0, true, false},
                                                    std::array<std::string, 4>{}, m);
           },
           "configuration"},
          {[](const CDialogUnits* m) { return std::make_unique<CSubmoduleDialog>(m); }, "submodule"},
          {[](const CDialogUnits* m) { return std::make_unique<CStartupNoticeDialog>(m); }, "notice"},
          {[](const CDialogUnits* m) { return std::make_unique<CAboutDialog>(m); }, "about"},
      };
  for (const auto& [make, name] : dialogs) {
    const QList<Placed> single = Geometry(*make(&kMetric));
    const QList<Placed> twice = Geometry(*make(&doubled));
    ASSERT_EQ(single.size(), twice.size()) << name;
    for (qsizetype i = 0; i < single.size(); ++i) {
      EXPECT_TRUE(Doubled(single[i], twice[i])) << name << " control " << i;
      EXPECT_TRUE(twice[0].rect.contains(twice[i].rect)) << name << " control " << i;
    }
  }
}
