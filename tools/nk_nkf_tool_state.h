// tools/nk_nkf_tool_state.h -- the tools' hooks of the NKF display state
// (nkf/nkf_display_hooks.h): cutting planes and the planes that clip,
// particle-trace settings and seed boxes, traced nodes; and the item
// records of the NKF export (core/nk_export_items.h).
#pragma once

// Fills (true) or empties (false) both slots; start-up and shut-down.
void NKInstallNKFToolState(bool bInstall);
