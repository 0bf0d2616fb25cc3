// commands/nk_dde_server.h -- the request server through which other
// programs of the user drive the viewer and follow its picks and sound
// sources: the service "Quolin" on a private local socket
// (platform/nk_local_server.h) with the topics "cmd" and "data".
//
// One request a line: "EXEC <command line>" runs the line (topic "cmd") and
// answers "ACK" for result 0, else "NAK"; "REQUEST <topic> <item>" answers
// "DATA " and the item's text, or "NAK"; "ADVISE" / "UNADVISE <topic>
// <item>" answer "ACK" or "NAK" and start or end an advise loop, whose
// updates are pushed as "ADV <item> <text>". Texts travel on one line: '\'
// as "\\", LF as "\n", CR as "\r". Each verb logs (while the debug switch is
// on) under the name of the transaction it stands for ("dde->XTYP_EXECUTE").
//
// The general commands dde / nodde / dde debug (app/) start and stop it; the
// picking (tools/nk_picking.h) posts every pick while bDdeEnabled is set; the sound
// commands and the per-frame sound update post the two sound texts
// (nk_dde_sound_table.cpp reads them from the sound source table).
#pragma once

#include <cstdint>
#include <string>

#include "core/nk_model.h"
#include "core/nk_string.h"

// The server runs (set by dde after a successful NKDDEInitialize, cleared by nodde).
extern uint8_t bDdeEnabled;
// Debug switch: the server's log lines are printed while it is set.
extern uint8_t bDdeDebug;

// Starts serving at NKLocalServerDefaultPath("Quolin"). False, with an
// error naming the path and the reason, when it cannot listen.
bool NKDDEInitialize(void);
// Stops serving and forgets the last pick and every advise loop; true. From
// inside a request the socket closes right after that request's answer.
bool NKDDEClose(void);
void NKSetDdeDebug(bool bOn);

// Stores a copy of the pick as the last pick (holding its geometry until
// the next pick or NKDDEClose) and pushes every advised item of topic
// "data"; true.
bool NKDDEPostPickAdvise(const NKPickInfo *pPick);

// Stores the sound set-up / update text and pushes it to the advise loops
// on "sound_setup" / "sound_update"; true.
bool NKDDESetSoundSetupText(const NKString &text);
bool NKDDESetSoundUpdateText(const NKString &text);

// One sound source as the sound texts show it.
struct NKDDESoundSource {
    int iId = -1;
    NKString description;
    NKString fileName;
    float fPosition[3] = {0.0f, 0.0f, 0.0f};  // model coordinates
    float fValue = 0.0f;                      // the scalar at its node
};

// "%g %g %g  %g %g %g\n" of the model box (minimum x, y, z, maximum x, y,
// z), then per source "%d  \"%s\"  \"%s\"\n" of id, description, file.
NKString NKDDEComposeSoundSetup(const float pfBox[6], const NKDDESoundSource *pSources,
                                int iNumSources);
// "OFF" when sound is off; else "%g\n" of the time, "%g %g %g  %g %g %g  %g
// %g %g \n" of eye, reference point and up vector, then per source "%d  %g
// %g %g  %g\n" of id, position and value.
NKString NKDDEComposeSoundUpdate(bool bSoundOn, float fTime, const float pfView[9],
                                 const NKDDESoundSource *pSources, int iNumSources);

// The text of a "data" item for the last pick or the sound ("notify" gives
// the combined pick text); "" for an item without text.
NKString NKDDEGetItemText(const char *pszItem);
// The text on one line: '\' as "\\", LF as "\n", CR as "\r".
std::string NKDDEEscapeLine(const char *pszText);

// Answers one request line of connection iConnection (what the socket
// server calls; tests call it directly). bTooLong: the line passed the
// length limit.
std::string NKDDEAnswerRequest(int iConnection, const std::string &line, bool bTooLong);
// Ends the advise loops of a connection that has gone.
void NKDDEConnectionClosed(int iConnection);
// Whether an idle connection may be closed to make room for a new client:
// not while it holds an advise loop.
bool NKDDEMayCloseConnection(int iConnection);
// Open connections of the running server (0 when it is off).
int NKDDEGetNumConnections(void);
// Requests of the running server read and waiting for the one running to
// end (0 when it is off).
int NKDDEGetNumWaitingRequests(void);
// How long a connection without an advise loop must have been idle before a
// new client finding every place taken may take its place (60 s; tests
// lower it). Holds for the server running now and those started later.
void NKDDESetIdleLimit(int iMilliseconds);

// The stores behind the texts (nk_dde_texts.cpp): the last pick, holding a
// reference to its geometry (null: forget it), and a sound text.
void NKDDEStorePick(const NKPickInfo *pPick);
void NKDDEStoreSoundText(bool bSetup, const NKString &text);

// Print the message as information / error (prefix "!! ") while bDdeDebug
// is set, after the trimmed function name and ":: " when that is not empty.
void NKDDELogInfo(const char *pszFunction, const char *pszMessage);
void NKDDELogError(const char *pszFunction, const char *pszMessage);
