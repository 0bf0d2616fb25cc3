// commands/nk_command.h -- the command interpreter: the one entry by which
// every command line runs, whatever its source (menus, keys, dropped files,
// start-up and command files, macros, requests from other programs).
//
// ExecuteCommand keeps the nesting level, logs top-level lines, brackets them
// with a message collection and shows "Done." on the status line after a
// top-level success. DispatchCommand looks the command up in the command
// table (nk_command_table.h), refuses unavailable commands and commands that
// need a model while none is loaded, and offers "PARAMS " plus the arguments
// to the chain of 20 command handlers in a fixed order until one claims it.
// Each subsystem fills its slot of the chain at start-up with
// NKSetCommandHandler; an empty slot answers 3 (not mine).
#pragma once

#include "commands/nk_command_ids.h"
#include "commands/nk_command_runner.h"
#include "commands/nk_command_table.h"
#include "core/nk_string.h"

// Command result codes.
enum {
    NK_CMD_DONE = 0,      // done (also: comment, ignored, refused as unavailable)
    NK_CMD_FAILED = 1,    // failed
    NK_CMD_NO_MODEL = 2,  // refused because no model is loaded
    NK_CMD_NOT_MINE = 3,  // not recognised, ambiguous, or not this handler's command
    NK_CMD_PAUSE = 4      // pause the running command file
};

// A command handler: switches on pEntry->id, reads its arguments from
// pszArguments ("PARAMS " followed by the arguments) and returns a result
// code; for every id that is not its own it returns NK_CMD_NOT_MINE and does
// nothing else.
typedef int (*NKCommandHandler)(CommandTableEntry *pEntry, const char *pszArguments);

// The slots of the handler chain, in the order the chain asks them.
enum NKCommandHandlerSlot {
    NK_HANDLER_FILES = 0,     // NKCommandHandleFiles
    NK_HANDLER_PART_DISPLAY,  // NKCommandHandlePartDisplay
    NK_HANDLER_RENDER_FIX,    // NKCommandHandleRenderFix
    NK_HANDLER_LINE_STYLE,    // NKCommandHandleLineStyle
    NK_HANDLER_COMPLEX,       // NKCommandHandleComplex
    NK_HANDLER_FRINGES,       // NKCommandHandleFringes
    NK_HANDLER_VECTORS,       // NKCommandHandleVectors
    NK_HANDLER_CUT_PLANES,    // NKCommandHandleCutPlanes
    NK_HANDLER_BOUNDARY,      // NKCommandHandleBoundary
    NK_HANDLER_BACKGROUND,    // NKCommandHandleBackground
    NK_HANDLER_VIEW,          // NKCommandHandleView
    NK_HANDLER_MATERIAL,      // NKCommandHandleMaterial
    NK_HANDLER_TRANSFORM,     // NKCommandHandleTransform
    NK_HANDLER_ANIMATION,     // NKCommandHandleAnimation
    NK_HANDLER_ANNOTATION,    // NKCommandHandleAnnotation
    NK_HANDLER_VIEWPOINT,     // NKCommandHandleViewpoint
    NK_HANDLER_INFO,          // NKCommandHandleInfo
    NK_HANDLER_TEXTURE,       // NKCommandHandleTexture
    NK_HANDLER_PLOT,          // NKCommandHandlePlot
    NK_HANDLER_SYSTEM,        // NKCommandHandleSystem
    NK_NUM_HANDLER_SLOTS
};

// Fills a slot of the chain (null empties it again) and returns the handler
// that was there (null for an empty slot). A bad slot changes nothing.
NKCommandHandler NKSetCommandHandler(int iSlot, NKCommandHandler pfnHandler);
NKCommandHandler NKGetCommandHandler(int iSlot);
// The image rows of the file commands (capture, render to image files and
// to the clipboard, and the scene exports to VRML, STL and the attribute
// file) are handled above this folder: the file handler asks
// this slot, which the image writers fill at start-up (empty: not mine).
// Returns the handler that was there.
NKCommandHandler NKSetImageCommandHandler(NKCommandHandler pfnHandler);
NKCommandHandler NKGetImageCommandHandler(void);
// The name of the handler that belongs in a slot ("NKCommandHandleFiles"...),
// "" for a bad slot.
const char *NKGetCommandHandlerName(int iSlot);

// The nesting level and the debug switch (set by debugcommands) are fields
// of g_CommandRunner (nk_command_runner.h).

// Runs one command line and returns the result code of its dispatch.
int ExecuteCommand(const char *pszLine);
// Fills the model core's command-line slot (core/nk_model_hooks.h) with
// ExecuteCommand, so that core can run lines such as "rotationpoint model",
// and the load slots (core/nk_load_hooks.h) with the load sequence
// (nk_load_sequence.h); called once at start-up.
void NKInstallCommandHooks(void);
// ExecuteCommand of the string's text.
int ExecuteUICommand(const NKString &line);
// Parses and dispatches one line; iLevel is the nesting level of the line
// (1 for a top-level command).
int DispatchCommand(const char *pszLine, int iLevel);
// Runs "command template" once for every run of consecutive parts whose
// selected state equals bSelected, with the run's first and last part
// numbers (1-based) in place of the template's two "%d". 0 when every run
// succeeded, 1 when one failed (the rest are then not run).
int ExecuteOnAllParts(const NKString &command, const NKString &argumentTemplate, bool bSelected);
