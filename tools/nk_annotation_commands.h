// tools/nk_annotation_commands.h -- NKCommandHandleAnnotation, the command
// handler of the user's own drawing: 3-D text, drawn lines and line files,
// points, text labels, textured quadrilaterals, the 2-D text and its colour,
// the logo, the user labels and the 3-D primitives.
//
// It fills the NK_HANDLER_ANNOTATION slot of the handler chain
// (commands/nk_command.h). The line, drawing and text rows are in
// nk_annotation_commands.cpp, the label and primitive rows in
// nk_label_commands.cpp; both share the word list of nk_annotation_words.h.
#pragma once

struct CommandTableEntry;

// Answers 3 for a command that is not its own, 0 done, 1 failed.
int NKCommandHandleAnnotation(CommandTableEntry *pEntry, const char *pszArguments);
void NKRegisterAnnotationCommands(void);

// Makes the annotation records (line set list, user labels) at start-up,
// empties them before a new model (bKeepSettings: the reset that keeps the
// display settings) and frees them at exit.
void NKCreateAnnotationRecords(void);
void NKResetAnnotationRecords(bool bKeepSettings);
void NKFreeAnnotationRecords(void);
