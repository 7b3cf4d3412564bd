#pragma once

#include <chrono>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "app/View.h"
#include "frontend/RomFacts.h"

class CMainFrame;

// Collects a run report from what the front end sees: the steps it runs
// (timed here), the view's message boxes and transfer progress, and the
// main frame's state after each step. Builds the JSON document that
// docs/run-report.schema.json describes. Never replaces the transcript.
class CRunReport {
 public:
  using WallClock = std::chrono::system_clock;
  using StepClock = std::chrono::steady_clock;

  // A new report: no steps, boxes or transfers; the run starts now. The
  // UPS and image facts of earlier steps are kept (the window reports a
  // Program on the image opened and the UPS connected before it).
  void Restart(std::string command);
  // A step ("connect", "open", "select-submodule", "program", "verify").
  // The image open in the frame is recorded when a step begins or ends;
  // the UPS when a connect or select-submodule step ends.
  void BeginStep(const CMainFrame& frame, const std::string& name);
  void EndStep(const CMainFrame& frame, const std::string& outcome);
  void SetRoute(const std::string& text) { routeText_ = text; }
  // The model table the lookups read; reported only when it exists.
  void SetModelTable(const std::string& path);

  // From the view.
  void MessageBox(const std::string& text) { boxes_.push_back(text); }
  void TransferProgress(TransferKind kind, std::uint32_t done, std::uint32_t total);

  bool HasSteps() const { return !steps_.empty(); }
  // The document, with the run ending now.
  nlohmann::json Document(const std::string& tool, int exitStatus) const;

 private:
  struct Step {
    std::string name;
    std::string outcome;  // empty while it runs
    StepClock::time_point begun;
    double seconds = 0;
  };
  struct Transfer {
    std::uint32_t done = 0;
    std::uint32_t total = 0;
    StepClock::time_point first;
    StepClock::time_point last;
    bool seen = false;
  };

  void StartStep(const std::string& name);
  void FinishStep(const std::string& outcome);
  void CaptureImage(const CMainFrame& frame);
  void CaptureUps(const CMainFrame& frame);
  nlohmann::json TransferJson() const;

  std::string command_;
  WallClock::time_point start_ = WallClock::now();
  std::vector<Step> steps_;
  std::vector<std::string> boxes_;
  Transfer programmed_;
  Transfer verified_;
  std::string routeText_;
  std::uint16_t lineSpeed_ = 0;
  nlohmann::json ups_;    // null until a connect step ends
  nlohmann::json image_;  // null until an image is open
  std::string imagePath_;
  std::string modelTable_;
};

// Writes the document, indented, to an open stream; false when it fails.
bool WriteRunReport(std::ostream& out, const nlohmann::json& document);

// A wall-clock time as ISO 8601 local time with its offset from UTC,
// e.g. 2026-12-08T09:30:00+01:00.
std::string LocalTimeText(CRunReport::WallClock::time_point when);
