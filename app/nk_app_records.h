// app/nk_app_records.h -- the records that live as long as the program:
// made in a fixed order at start-up, freed in reverse at shut-down, and the
// display state they hold put back to its defaults before a model loads.
#pragma once

// Makes the records; false when one cannot be made (those made before it
// stay).
bool InitApplication(void);
// Frees them.
void ExitApplication(void);
// The reset before a model load, keeping the display settings when bKeep
// (the load sequence calls it through its core slot).
void NKResetModelStateRecords(bool bKeep);
