// app/nk_app_records.cpp -- the program's records (see nk_app_records.h).
#include "app/nk_app_records.h"

#include "core/nk_graphics_settings.h"
#include "core/nk_model.h"
#include "core/nk_movie_settings.h"
#include "readers/nk_lsdyna.h"
#include "render/nk_camera.h"
#include "render/nk_renderer.h"
#include "render/nk_ride.h"
#include "tools/nk_cut_plane.h"
#include "tools/nk_cut_surface.h"

namespace {
NKMovieSettings sg_MovieSettings;
}  // namespace

bool InitApplication(void)
{
    g_pModel = NKCreateModel();
    if (g_pModel == nullptr) return false;
    g_pGraphicsSettings = NKCreateRenderOptions(nullptr);
    g_pMovieSettings = &sg_MovieSettings;
    NKInstallRenderer();
    NKCreateSurfaceTools();
    NKLSDynaReset();
    return true;
}

void ExitApplication(void)
{
    NKShutdownRenderer();
    NKDestroyModel(g_pModel);
    g_pModel = nullptr;
    NKDestroyRenderOptions(g_pGraphicsSettings);
    g_pGraphicsSettings = nullptr;
    g_pMovieSettings = nullptr;
    NKDestroySurfaceTools();
}

// The rotation point is cleared and the ride definition reset; the view
// matrix stays.
void NKResetModelStateRecords(bool)
{
    NKSetRotationPoint(nullptr);
    NKResetRideSpec(&g_RideSpec);
}
