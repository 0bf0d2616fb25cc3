// core/nk_model_query.h -- the part selection question that the command
// interpreter asks of the model (ExecuteOnAllParts runs a command over runs
// of selected or unselected parts). It belongs with the part flag setters;
// until those exist it lives here. The "is a model loaded" test and the part
// count are in core/nk_frames.h.
#pragma once

// Placeholder: moves to the part flag setters when they land. The selected
// flag of part iPart (0-based) of the current frame's geometry; false for a
// bad index or when there is no current frame or geometry.
bool NKIsPartSelected(int iPart);
