// Linked into the window program of sanitizer builds only. At exit LeakSanitizer scans the heap
// of a process that has Qt's X11 platform loaded and runs the symbolizer for what libdbus never
// frees, which kept the process alive for 1.4 to 1.6 s after its window closed. The window's own
// code is checked for leaks by the offscreen GUI tests, where that platform is not loaded;
// ASAN_OPTIONS (as scripts/sanitize.sh sets it) overrides this default.
extern "C" const char *__asan_default_options()
{
    return "detect_leaks=0";
}
