// The one summary of every kind of handle the simulated handheld counts, for leak checks.
#include "platform/sim/device.h"
#include "platform/sim/internal.h"

namespace sim {

LiveCounts Live() {
  int windows = 0;
  for (const WindowRecord& window : Windows())
    windows += window.Foreign || window.Destroyed ? 0 : 1;
  return {windows,
          LiveBitmapCount(),
          LiveIconCount(),
          LiveMenuCount(),
          LiveImageListCount(),
          OpenRegistryKeyCount(),
          OpenDatabaseCount(),
          LiveRecordBuffers(),
          internal::LiveRegionCount(),
          internal::LiveSnapshotCount(),
          internal::OpenProcessHandleCount(),
          internal::OpenKernelObjectCount(true),
          internal::OpenKernelObjectCount(false)};
}

}  // namespace sim
