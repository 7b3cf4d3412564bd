#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "TestRig.h"
#include "app/LoaderApp.h"
#include "app/MainFrame.h"
#include "cli/CliView.h"
#include "qt/MainWindow.h"
#include "tests/qt/WindowRig.h"

// Runs the event loop until done() holds; false when it never does. The
// limit only stops a broken test, no outcome depends on it.
inline bool WaitUntil(const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > 20000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

// A working directory with the examples' model file, which the loader reads from there.
class CModelDir : public CWorkDir {
 public:
  CModelDir() { Write("OEMModel.ini", ExampleModelFile()); }
  std::string WriteRom(const SampleRomFields& fields = {}, const std::string& name = "image.rom") const {
    return Write(name, BuildSampleRom(fields));
  }
};

// The window over a test rig's simulated UPS: the rig's application started
// as tobrane-loader starts it, with the window as its main window. Every
// modal dialog is answered, to the window's end: the Open dialog with
// romFile, message boxes with OK (recorded in boxes), the others with OK.
struct SimWindow {
  CTestRig rig;
  std::string romFile;
  std::string submoduleText;  // typed into the Select SubModule dialog
  QStringList boxes;
  ModalAnswerer modal{[this](QWidget& w) { Answer(w); }};
  std::unique_ptr<CMainWindow> window;

  explicit SimWindow(SimProfile profile = CTestRig::Profile(), const std::string& commandLine = "")
      : rig(std::move(profile)) {
    rig.app->Start(commandLine);
    window = std::make_unique<CMainWindow>(*rig.app);
    rig.app->AttachMainWindow(window->Frame());
  }

  void Answer(QWidget& dialog) {
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
      boxes << box->text();
      box->accept();
      return;
    }
    if (auto* files = qobject_cast<QFileDialog*>(&dialog)) files->selectFile(QString::fromStdString(romFile));
    if (auto* route = dialog.findChild<QLineEdit*>("1003"))
      route->setText(QString::fromStdString(submoduleText));
    static_cast<QDialog&>(dialog).accept();  // QFileDialog keeps its own accept() protected
  }
};

// What tobrane-cli prints on stdout for the same run: the steps run on a
// CMainFrame over a CCliView, then the close request and Finish.
inline std::string CliTranscript(CLoaderApp& app, const std::function<void(CMainFrame&)>& steps) {
  std::ostringstream out;
  std::ostringstream err;
  CCliView view({out, err, false, false}, "", "");
  CMainFrame frame(app, view);
  app.AttachMainWindow(frame);
  frame.Create();
  frame.FirstPaint();
  steps(frame);
  frame.OnCloseRequest();
  view.Finish(frame.Transcript());
  return out.str();
}

// The same, over a fresh rig of the given profile.
inline std::string CliTranscript(SimProfile profile, const std::function<void(CMainFrame&)>& steps) {
  CTestRig cli(std::move(profile));
  cli.app->Start("");
  return CliTranscript(*cli.app, steps);
}
