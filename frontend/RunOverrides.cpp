#include "frontend/RunOverrides.h"

#include "app/LoaderApp.h"
#include "frontend/ModelTable.h"

void ApplyRunOverrides(CLoaderApp& app, const LoaderCommandLine& command) {
  if (!command.device.empty() && app.Port()) app.Port()->SetDeviceOverride(command.device);
  if (command.verify) app.options.verifyAfterFlash = *command.verify ? 1 : 0;
  if (command.allowCpu0) app.options.allowCpu0 = 1;
  app.modelTable = ChooseModelTable(command.models).path;
}
