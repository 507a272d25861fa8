// The leak checker's suppressions for this test program, the same as tests/lsan.supp: GTK's
// font stack keeps what it matched until the process ends, which the checker would report.
extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
