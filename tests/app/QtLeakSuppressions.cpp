// Leak checking for the window tests: Qt's font and platform caches (fontconfig, FreeType,
// HarfBuzz, QtGui's font engine) live until process exit by design and are no leak of ours.
// LeakSanitizer reads this hook at start; without the sanitizer it is never called.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libfreetype.so\n"
           "leak:libharfbuzz.so\n"
           "leak:libQt6Gui.so\n";
}
