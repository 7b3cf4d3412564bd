#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/LoaderApp.h"
#include "qt/MainWindow.h"
#include "seams/Clock.h"
#include "serial/TermiosDevice.h"
#include "sim/MemorySettingsStore.h"

// A window over a port whose device path never exists, with settings in memory.
struct WindowRig {
  CMemorySettingsStore store;
  CSystemClock clock;
  CLoaderApp app{store, clock, std::make_unique<CTermiosDevice>()};
  std::unique_ptr<CMainWindow> window;

  explicit WindowRig(const std::string& commandLine = "", const std::string& port = "2") {
    store.Write("Serial", "Port", port);
    store.Write("Serial", "Device", "/nonexistent/tobrane-test-tty");
    app.Start(commandLine);
    window = std::make_unique<CMainWindow>(app);
    app.AttachMainWindow(window->Frame());
  }
};

// Answers every modal dialog that opens from now on with the given handler.
class ModalAnswerer {
 public:
  explicit ModalAnswerer(std::function<void(QWidget&)> answer) : answer_(std::move(answer)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        seen_.push_back(modal->windowTitle() + "|" + modal->objectName());
        answer_(*modal);
      }
    });
    timer_.start(5);
  }
  const QStringList& Seen() const { return seen_; }

 private:
  std::function<void(QWidget&)> answer_;
  QTimer timer_;
  QStringList seen_;
};
