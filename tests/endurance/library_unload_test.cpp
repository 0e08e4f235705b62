// A host may load and unload the plug-in library many times in one process
// (Winamp does so whenever its preferences list plug-ins). Whatever the
// library takes from the heap for its whole life must go back when it is
// unloaded. GLU quadrics are counted here by standing in for GLU's own
// functions: the executable's definitions come first in the loader's search,
// so the plug-in binds to them.
#include "test_host.h"

#include "shell/vis_module.h"

#include <platform_hooks.h>

#include <GL/glu.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

int liveQuadrics = 0;
int quadricsMade = 0;

// GLU itself, reached by name rather than through the loader's search.
template <typename Function> Function realGlu(const char* name) {
    static void* glu = dlopen("libGLU.so.1", RTLD_NOW | RTLD_LOCAL);
    return reinterpret_cast<Function>(glu ? dlsym(glu, name) : nullptr);
}

VisModule* moduleOf(HMODULE library) {
    auto getHeader = reinterpret_cast<VisHeaderGetter>(
        reinterpret_cast<void*>(GetProcAddress(library, "winampVisGetHeader")));
    return getHeader ? getHeader()->moduleGetter(0) : nullptr;
}

} // namespace

extern "C" GLUquadric* gluNewQuadric(void) {
    static auto real = realGlu<GLUquadric* (*)()>("gluNewQuadric");
    GLUquadric* quadric = real();
    if (quadric) ++liveQuadrics, ++quadricsMade;
    return quadric;
}

extern "C" void gluDeleteQuadric(GLUquadric* quadric) {
    static auto real = realGlu<void (*)(GLUquadric*)>("gluDeleteQuadric");
    if (quadric) --liveQuadrics;
    real(quadric);
}

TEST(LibraryUnload, everyGluQuadricGoesBackWithTheLibrary) {
    TestHost host;
    for (int load = 0; load < 3; ++load) {
        HMODULE library = LoadLibraryA(ZD_PLUGIN_PATH);
        ASSERT_NE(library, nullptr) << platformLastLoadError();
        VisModule* module = moduleOf(library);
        ASSERT_NE(module, nullptr);
        module->hostWindow = host.window();
        module->instance = reinterpret_cast<HINSTANCE>(library);
        ASSERT_EQ(module->onStart(module), 0);
        module->onRender(module);
        module->onStop(module);
        host.pumpMessages();
        FreeLibrary(library);
        EXPECT_EQ(liveQuadrics, 0) << "after unload " << load + 1;
    }
    // The sphere was drawn, so the library did make its quadric each time.
    EXPECT_GE(quadricsMade, 3);
}
