#include "frontend/LoaderStartup.h"

#include "frontend/PlatformPort.h"
#include "frontend/RunOverrides.h"

std::unique_ptr<CLoaderApp> StartLoader(ISettingsStore& store, IClock& clock,
                                        const LoaderCommandLine& options) {
  auto app = std::make_unique<CLoaderApp>(store, clock, MakeSerialDevice());
  app->Start("");
  ApplyRunOverrides(*app, options);
  return app;
}
