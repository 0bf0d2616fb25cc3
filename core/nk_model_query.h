// core/nk_model_query.h -- the questions the command interpreter asks of the
// model: is one loaded, how many parts does the current geometry have, and is
// a part selected. They belong to the model records and frame array; until
// those exist here, the bodies give neutral answers (no model, no parts,
// nothing selected) that tests can change with NKSetModelQueryAnswers.
#pragma once

#include <vector>

// Placeholder: true when the model's frame array exists and frame 0 has a
// geometry; answers false (or the test answer) until the model records exist.
bool NKModelHasGeometry(void);
// Placeholder: part count of the current geometry, 0 without one.
int NKGetNumParts(void);
// Placeholder: the selected byte of part iPart (0-based) of the current
// geometry; false for an invalid index.
bool NKIsPartSelected(int iPart);

// Placeholder test hook: sets what the three questions answer. The part
// count is the size of the selection vector.
void NKSetModelQueryAnswers(bool bHasGeometry, const std::vector<bool> &selected);
// Placeholder test hook: back to the neutral answers.
void NKResetModelQueryAnswers(void);
