// The C library's newlocale keeps the LOCPATH list it builds (allocated by __argz_add_sep) for the
// life of the process; the locale tests set LOCPATH, so LeakSanitizer is told this one is known.
extern "C" const char* __lsan_default_suppressions() { return "leak:__argz_add_sep\n"; }
