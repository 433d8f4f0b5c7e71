// Sanitizer settings built into every program of the sanitizer build (the
// SUITE_SANITIZE option), so that a test, a build-time tool and a program
// started by hand all run alike. Variables such as ASAN_OPTIONS still override
// them. The suppression files sit beside this file; SUITE_SANITIZER_DIR is
// their folder.
#ifndef SUITE_SANITIZER_DIR
#error "SUITE_SANITIZER_DIR must name the folder of the suppression files"
#endif

extern "C" {

// Used by the sanitizer runtimes before main; they must not be instrumented.
//
// intercept_tls_get_addr=0: with this compiler's runtime on Debian 12's glibc,
// the record the runtime keeps of each thread's dynamic TLS blocks now and
// then holds a bogus range (seen on the main thread of window tests that load
// GL and GTK modules). The leak checker reads every recorded range at exit and
// its tracer dies on that one ("Tracer caught signal 11"), which fails a test
// that found nothing. Without the interception the checker still scans static
// TLS, stacks, globals and the heap.
__attribute__((visibility("default"), no_sanitize_address, used))
const char* __asan_default_options() {
    return "halt_on_error=1:detect_leaks=1:check_initialization_order=1:"
           "strict_init_order=1:detect_stack_use_after_return=1:"
           "intercept_tls_get_addr=0:print_suppressions=0";
}

__attribute__((visibility("default"), no_sanitize_address, used))
const char* __lsan_default_options() {
    return "suppressions=" SUITE_SANITIZER_DIR "/lsan.supp:print_suppressions=0";
}

__attribute__((visibility("default"), no_sanitize_address, used))
const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1:"
           "suppressions=" SUITE_SANITIZER_DIR "/ubsan.supp";
}

}
