// The address sanitizer's settings for the fuzz targets, which users may still override
// with ASAN_OPTIONS. Every input allocates and frees the same few buffers: with the default
// quarantine of 256 MB each of them lands on fresh pages, and page faults took a third of
// the time. 16 MB still holds the memory of a few hundred inputs back from reuse, far more
// than any use after free within one input needs to be caught.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }
