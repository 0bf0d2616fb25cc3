// export/nk_eps_writer.h -- the Encapsulated PostScript writer that the
// "capteps" capture (without a page set-up) and the PostScript output of
// the scene and the plot (on the page set-up's page) share.
#pragma once

#include "core/nk_image_record.h"

struct NKPageSetup;

// Writes the image as EPS: without pSetup in its own pixels, else placed on
// the set-up's page. The bar moves from iStart to iEnd (when iStart >= 0
// and iEnd > iStart) and Cancel is polled with it. bGrey is accepted for
// the callers; the layout is colour either way. False when the file cannot
// be written or Cancel was pressed; the target is then left as it was.
bool NKWriteEPS(const ImageRecord *pImage, const NKPageSetup *pSetup, const char *pszFileName,
                bool bGrey, int iStart, int iEnd);
