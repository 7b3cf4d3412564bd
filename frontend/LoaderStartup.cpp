#include "frontend/LoaderStartup.h"

#include "frontend/ModelTable.h"
#include "frontend/PlatformPort.h"
#include "frontend/RunOverrides.h"

std::unique_ptr<CLoaderApp> StartLoader(ISettingsStore& store, IClock& clock,
                                        const LoaderCommandLine& options) {
  auto app = std::make_unique<CLoaderApp>(store, clock, MakeSerialDevice());
  app->Start("");
  ApplyRunOverrides(*app, options);
  return app;
}

namespace {

// The command line's lower-case message as a box's sentence.
std::string AsSentence(std::string text) {
  if (!text.empty() && text.front() >= 'a' && text.front() <= 'z')
    text.front() = static_cast<char>(text.front() - 'a' + 'A');
  return text + ".";
}

}  // namespace

std::vector<std::string> StartupWarnings(const CLoaderApp& app, const LoaderCommandLine& options) {
  std::vector<std::string> warnings = app.SettingsWarnings();
  const std::string table = ChooseModelTable(options.models).problem;
  if (!table.empty()) warnings.push_back(AsSentence(table));
  return warnings;
}
