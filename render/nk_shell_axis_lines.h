// render/nk_shell_axis_lines.h -- the local axes and principal strain lines
// of the shell elements in the selection list, drawn in the scene's 3-D
// overlays.
//
// The lines come from the NKShellAxes record (readers/nk_shell_axes.h),
// which reads them from the LS-DYNA database and caches them; the shellaxes
// command switches them on.
#pragma once

struct NKFrame;
struct NKSelectionList;
class NKShellAxes;

// For every element entry of the list whose element is a 4-node shell: with
// coordinate-system axes on, three lines from the element centre along its
// local x, y and z axes in their axis colours, each with an arrow head; with
// strain axes on, the major and minor principal strain lines through the
// centre in their tensile or compressive colours, with a head at each end.
// Lines are drawn unlit at the axes' line width. Nothing while the list is
// disabled or both switches are off; the GL state is left as found.
void NKDrawShellAxes(NKFrame *pFrame, const NKSelectionList *pSelection, NKShellAxes *pAxes);
