// A tiny shared library for the loader tests.
extern "C" __attribute__((visibility("default"))) int libraryProbeAnswer(int question) {
    return question * 2 + 1;
}
