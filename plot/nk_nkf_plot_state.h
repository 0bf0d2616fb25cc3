// plot/nk_nkf_plot_state.h -- the 2-D plots' part of the NKF display state
// (nkf/nkf_display_hooks.h): the extra settings record, which the settings
// export fills from the current plot and the settings import applies to
// it, and the node plot that the items import creates and shows before it
// adds the file's nodes.
//
// Extra record words (nkf/nkf_state_records.h; bytes of the axis-flag
// block by their index in core/nk_plot_records.h):
//   1-60     title, x-axis title, y-axis title (79 characters each)
//   61, 62   plot shown, plot in its own window (plt separate)
//   63, 64   plot skip, minimum and maximum shown on the axes
//   65, 66   x and y tick units
//   67-74    axis flags 10, 11, 12, 4, 14, 15, 16, 9
//   75-80    x grid, y grid, legend, stipple, background legend, x marker
//            line (plt grid, legend, stipple, bglegend, markerlinex)
//   81-84    placement over the view: x, y, width, height as fractions
//   85-88    background colour (c / 255) and its transparency byte
//   89       title shown
//   90       1 when the x axis shows time
//   91-93    axis flags 0, 1, 2;  94, 95 x range;  96 x-axis crossing
//   97-99    axis flags 5, 6, 7;  100, 101 y range;  102 y-axis crossing
//   103-106  x and y axis transforms: scale, offset each
#pragma once

// Adds (true) or removes (false) the plots' hooks; start-up and shut-down.
void NKInstallNKFPlotState(bool bInstall);
