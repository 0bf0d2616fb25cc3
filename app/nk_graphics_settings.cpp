// app/nk_graphics_settings.cpp -- the global rendering options record.
#include "app/nk_graphics_settings.h"

NKGraphicsSettings *g_pGraphicsSettings = nullptr;
