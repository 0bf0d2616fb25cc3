// app/main/keep_libraries_loaded.cpp -- in the sanitizer build only: every
// shared library stays loaded to the program's end.
//
// Qt and Mesa unload plugins and drivers at exit; the leak checker then
// cannot tell which library what they kept for the process's life (about
// 240 bytes) belongs to, so no suppression of scripts/lsan.supp matches and
// the program runs could not check leaks at all. With dlclose doing nothing
// those allocations stay attributed to their libraries and are suppressed,
// while every leak of our own still shows. The program's definition comes
// before the C library's for every library that calls dlclose.
extern "C" int dlclose(void *pHandle)
{
    (void)pHandle;
    return 0;
}
