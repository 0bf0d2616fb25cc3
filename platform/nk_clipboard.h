// platform/nk_clipboard.h -- the system clipboard's picture, as a packed
// device-independent bitmap of 24 bits (40-byte header, rows bottom-up,
// each padded to 4 bytes). With a GUI application it is QClipboard's
// image; without one a store in the process stands in, which tests use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Empties the clipboard and puts the picture on it; false for a block that
// is not a whole 24-bit packed bitmap (the clipboard then unchanged).
bool NKSetClipboardDib(const uint8_t *pDib, size_t nBytes);
// The clipboard's picture as a 24-bit packed bitmap; false when it holds
// none.
bool NKGetClipboardDib(std::vector<uint8_t> *pDib);
