// app/nk_pixel_format_dialog.h -- the modal dialog that shows the display's
// pixel formats one at a time with every descriptor field and, when the
// program was started with "-pixelformat" and no number (the request
// NK_PIXELFORMAT_ASK), lets the user choose the format of the 3-D view.
// The view window opens it before its OpenGL context exists.
//
// The texts and decisions are the plain functions below; the widgets carry
// object names for tests: buttons "select", "cancel", "more", "prev",
// "next"; summary values "number", "colorBits", "depthBits",
// "doubleBuffered", "rgbColor", "hardware", "drawToWindow", "currentlyUsed";
// a label per flag named as the flag ("DRAW_TO_WINDOW", ...), "TYPE_RGBA",
// "TYPE_COLORINDEX"; the counts named as the descriptor's fields
// ("cColorBits", ..., "bReserved"); the layer line "layers"; the detail
// part "details".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class QDialog;
class QWidget;
struct NKDeviceContext;
struct NKPixelFormatDescriptor;

// Whether the full descriptor is shown; kept between openings (0 at start).
extern uint8_t g_bPixelFormatExpanded;

// The index (0-based) of the format shown first: in choice mode the found
// format (iFound, 1-based; the first when 0 or outside the list); for a
// request within 1..iCount that format; else the first.
int NKFirstPixelFormatShown(int iCount, int iRequest, int iFound);
// "YES (ICD, Installable Client Driver)", "SOME (MCD Mini Client Driver)"
// or "NO (software renderer)" by the generic flags.
std::string NKHardwareAccelerationText(uint32_t dwFlags);
// "Main plane only" for 0, else "%2d overlay planes  and %2d underlay
// planes" of the low and high four bits.
std::string NKPixelFormatLayerText(uint8_t bReserved);
// Only an RGBA format that draws to a window can be selected.
bool NKCanSelectPixelFormat(const NKPixelFormatDescriptor &format);

// The dialog over a copy of the formats, showing format iFirst (0-based)
// for the request; not yet shown. Select ends it with the shown format's
// number in choice mode, Cancel (and Esc) with -1.
QDialog *NKCreatePixelFormatDialog(const std::vector<NKPixelFormatDescriptor> &formats,
                                   int iRequest, int iFirst, QWidget *pParent);
// Fills the dialog for format iNumber (1-based).
void NKShowPixelFormat(QDialog *pDialog, int iNumber, const NKPixelFormatDescriptor *pFormat,
                       int iRequest);
// Shows or hides the detail part and sizes the dialog to what it shows;
// the More button reads "Less <<" when expanded, "More >>" otherwise.
void NKShowPixelFormatDetails(QDialog *pDialog, bool bExpanded);
// Sets the text of the dialog's item named pszItem to n ("%d").
void NKSetDlgItemNumber(QDialog *pDialog, const char *pszItem, int n);

// Runs the dialog modally over the formats and answers its result. Where
// no user can answer (no display, CI set) nothing is shown: choice mode
// answers the format it would show first, other requests -1. No formats:
// -1.
int NKRunPixelFormatDialog(const std::vector<NKPixelFormatDescriptor> &formats, int iRequest,
                           int iFirst, QWidget *pParent);
// The view window's question: the display's formats, the first shown found
// for the depth-bit request, 24 colour bits and the single-buffer setting,
// then the dialog with g_iPixelFormatRequest. The chosen number or -1.
int NKAskPixelFormat(NKDeviceContext *pDC);
