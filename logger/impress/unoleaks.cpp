// The UNO runtime's type descriptions and the strings they hold are process-wide
// singletons that the office's libraries never free; the leak checker of the sanitized
// build must not take them for ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:cppu_detail_getUnoType\n"
           "leak:libuno_cppu.so\n"
           "leak:libuno_sal.so\n";
}
