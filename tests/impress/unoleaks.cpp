// The UNO type descriptions are process-wide singletons that the generated headers never
// free; the leak checker of the sanitized build must not take them for ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:cppu_detail_getUnoType\n";
}
