#pragma once

// The Configuration dialog's switches, as the commands read them.
struct LoaderOptions {
  int allowCpu0 = 0;
  int verifyAfterFlash = 1;
  int passthrough = 0;
};
