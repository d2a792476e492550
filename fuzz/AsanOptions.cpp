// Freed blocks wait in AddressSanitizer's quarantine (256 MB by default)
// before they are reused; with the 256 MB memory limit the fuzzers run
// under, a full quarantine alone would count as running out. A small one
// still catches use after free at once.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=16";
}
