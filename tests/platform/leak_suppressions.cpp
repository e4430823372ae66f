// The leak checker of the sanitized build reads this list. The system's
// font configuration library, which Qt loads for the window's texts, keeps
// a cache it never frees; that memory is not ours to release.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }
