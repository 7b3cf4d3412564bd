#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "app/CommandIds.h"
#include "qt/NoticeDialogs.h"
#include "tests/qt/WindowRig.h"

namespace {

QStringList Describe(const QList<QAction*>& actions) {
  QStringList out;
  for (QAction* a : actions) {
    if (a->isSeparator()) {
      out << "-";
    } else {
      out << QString("%1 %2 [%3] %4 / %5")
                 .arg(a->data().toInt())
                 .arg(a->text(), a->shortcut().toString(), a->statusTip(), a->toolTip());
    }
  }
  return out;
}

}  // namespace

TEST(MenuAndToolbar, MenusHoldTheCommandsInOrderWithTheirTipsAndOnlyCtrlO) {
  // The menu bar offers File, View and Help with the exact items, separators, ids, tips and one shortcut.
  WindowRig rig;
  ModalAnswerer ok([](QWidget& modal) { static_cast<QDialog&>(modal).accept(); });
  ASSERT_EQ(rig.window->Create(), 0);
  const QList<QAction*> menus = rig.window->menuBar()->actions();
  ASSERT_EQ(menus.size(), 3);
  EXPECT_EQ(menus[0]->text(), "&File");
  EXPECT_EQ(menus[1]->text(), "&View");
  EXPECT_EQ(menus[2]->text(), "&Help");
  const QStringList file = {
      "57601 &Open... [Ctrl+O] Open a ROM data file for downloading / Open",
      "57602 &Close [] Close the active ROM image file / Close",
      "-",
      "130 Con&figuration... [] Configure Flash Settings / Config COM",
      "-",
      "32773 Connect to &UPS [] Attempt to establish connection with UPS / Connect to UPS",
      "-",
      "101 &Select SubModule... [] Select submodule to flash / Select SubModule",
      "-",
      "32772 &Program UPS [] Start programming the UPS with the currently open file / Program UPS",
      "32774 &Verify Program [] Verify UPS Data to File Data / Verify Programming",
      "-",
      "32776 Save &Report... [] Save a JSON report of the last Connect, Program or Verify / Save Report",
      "-",
      "57665 E&xit [] Quit the application / Exit",
  };
  EXPECT_EQ(Describe(menus[0]->menu()->actions()), file);
  const QStringList view = {"59392 &Toolbar [] Show or hide the toolbar / Toggle ToolBar",
                            "59393 &Status Bar [] Show or hide the status bar / Toggle StatusBar",
                            "32775 &Frame Trace... [] Write every frame and line-speed change to a file / "
                            "Toggle Frame Trace"};
  EXPECT_EQ(Describe(menus[1]->menu()->actions()), view);
  EXPECT_FALSE(rig.window->Action(kCmdViewFrameTrace)->isChecked());
  const QStringList help = {
      "57664 &About Tobrane... [] Display program information, version number and copyright / About"};
  EXPECT_EQ(Describe(menus[2]->menu()->actions()), help);
  QStringList toolbarIds;
  for (QAction* a : rig.window->ToolBar().actions()) {
    toolbarIds << (a->isSeparator() ? "-" : QString::number(a->data().toInt()));
    if (!a->isSeparator()) {
      EXPECT_FALSE(a->icon().pixmap(QSize(16, 15)).isNull()) << a->data().toInt();
    }
  }
  EXPECT_EQ(toolbarIds, QStringList({"57601", "57602", "32773", "101", "32772", "32774", "-", "57664"}));
  EXPECT_EQ(rig.window->ToolBar().iconSize(), QSize(16, 15));
  EXPECT_EQ(rig.window->toolBarArea(&rig.window->ToolBar()), Qt::TopToolBarArea);
  EXPECT_EQ(rig.window->ToolBar().allowedAreas(), Qt::AllToolBarAreas);
}

TEST(MenuAndToolbar, WithNoImageOnlyTheImageCommandsAreDisabledAfterAnIdleUpdate) {
  // The idle update takes every action's state from the core's enabling rules.
  WindowRig rig;
  ModalAnswerer ok([](QWidget& modal) { static_cast<QDialog&>(modal).accept(); });
  ASSERT_EQ(rig.window->Create(), 0);
  rig.window->UpdateCommandStates();
  for (int id : {kCmdOpen, kCmdConfiguration, kCmdConnect, kCmdSelectSubmodule, kCmdExit, kCmdViewToolbar,
                 kCmdViewStatusBar, kCmdAbout})
    EXPECT_TRUE(rig.window->Action(id)->isEnabled()) << id;
  for (int id : {kCmdClose, kCmdProgram, kCmdVerify}) EXPECT_FALSE(rig.window->Action(id)->isEnabled()) << id;
}

TEST(MenuAndToolbar, ViewTogglesHideTheBarsAndShowTheirState) {
  // Unticking View > Toolbar and View > Status Bar hides both bars.
  WindowRig rig;
  ModalAnswerer ok([](QWidget& modal) { static_cast<QDialog&>(modal).accept(); });
  ASSERT_EQ(rig.window->Create(), 0);
  rig.window->show();
  EXPECT_TRUE(rig.window->Action(kCmdViewToolbar)->isChecked());
  rig.window->Action(kCmdViewToolbar)->trigger();
  rig.window->Action(kCmdViewStatusBar)->trigger();
  EXPECT_FALSE(rig.window->ToolBar().isVisible());
  EXPECT_FALSE(rig.window->statusBar()->isVisible());
  EXPECT_FALSE(rig.window->Action(kCmdViewToolbar)->isChecked());
  rig.window->Action(kCmdViewToolbar)->trigger();
  EXPECT_TRUE(rig.window->ToolBar().isVisible());
}

TEST(MenuAndToolbar, OpenOffersTheTwoRomFiltersWithDefaultExtensionRom) {
  // Flash PROM files first, then all files; a name typed without an extension gets ".ROM".
  WindowRig rig;
  QStringList filters;
  QString suffix;
  ModalAnswerer answer([&](QWidget& modal) {
    if (auto* files = qobject_cast<QFileDialog*>(&modal)) {
      filters = files->nameFilters();
      suffix = files->defaultSuffix();
      files->reject();
      return;
    }
    static_cast<QDialog&>(modal).accept();
  });
  ASSERT_EQ(rig.window->Create(), 0);
  rig.window->Trigger(kCmdOpen);
  EXPECT_EQ(filters, QStringList({"Flash PROM Files (*.rom)", "All Files (*.*)"}));
  EXPECT_EQ(suffix, "ROM");
}

TEST(MenuAndToolbar, LockPanesFollowTheirKeysAndTheWindowHasTheApplicationIcon) {
  // Each lock key press turns its pane's text on or off; the others stay as they were.
  WindowRig rig;
  ModalAnswerer ok([](QWidget& modal) { static_cast<QDialog&>(modal).accept(); });
  ASSERT_EQ(rig.window->Create(), 0);
  rig.window->winId();  // a window object to press the keys in, without painting
  auto panes = [&] {
    QStringList texts;
    for (const char* name : {"CAP", "NUM", "SCRL"})
      texts << rig.window->statusBar()->findChild<QLabel*>(name)->text();
    return texts;
  };
  EXPECT_EQ(panes(), QStringList({"", "", ""}));
  QWindow* handle = rig.window->windowHandle();
  ASSERT_NE(handle, nullptr);
  QTest::keyClick(handle, Qt::Key_CapsLock);
  QTest::keyClick(handle, Qt::Key_ScrollLock);
  EXPECT_EQ(panes(), QStringList({"CAP", "", "SCRL"}));
  QTest::keyClick(handle, Qt::Key_CapsLock);
  QTest::keyClick(handle, Qt::Key_NumLock);
  EXPECT_EQ(panes(), QStringList({"", "NUM", "SCRL"}));

  const QImage icon = rig.window->windowIcon().pixmap(32, 32).toImage();
  EXPECT_FALSE(icon.isNull());
  EXPECT_EQ(icon, QIcon(kApplicationIcon).pixmap(32, 32).toImage());
}

TEST(MenuAndToolbar, AClosingMenuBringsBackTheIdleTextBeforeItsCommandRuns) {
  // A command's line stays until the next prompt goes; the prompt is gone before the chosen command runs.
  WindowRig rig;
  ModalAnswerer ok([](QWidget& modal) { static_cast<QDialog&>(modal).accept(); });
  ASSERT_EQ(rig.window->Create(), 0);
  rig.window->show();
  QMenu* help = rig.window->menuBar()->actions()[2]->menu();
  QString paneWhenRun;
  QObject::connect(rig.window->Action(kCmdAbout), &QAction::triggered, [&] {
    paneWhenRun = rig.window->statusBar()->currentMessage() + rig.window->MessagePaneText();
  });
  for (int key : {Qt::Key_Escape, Qt::Key_Return}) {
    rig.window->SetStatusText("Submodule ACK received: Manifold Module");
    help->popup(rig.window->mapToGlobal(QPoint(0, 0)));
    help->setActiveAction(rig.window->Action(kCmdAbout));
    EXPECT_EQ(rig.window->statusBar()->currentMessage(), rig.window->Action(kCmdAbout)->statusTip());
    QTest::keyClick(help, static_cast<Qt::Key>(key));
    EXPECT_EQ(rig.window->statusBar()->currentMessage(), "") << key;
    EXPECT_EQ(rig.window->MessagePaneText(), "Ready") << key;
  }
  EXPECT_EQ(paneWhenRun, "Ready");
}
