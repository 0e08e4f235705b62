// Time of one drawScene, finished on the GPU side, at the plug-in's client
// size, for each ring display. Runs on whatever EGL offers headless (llvmpipe
// here), in a context made directly, without the platform layer.
#include "audio/audio_features.h"
#include "scene/scene.h"
#include "shell/view_state.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int clientWidth = 634;
constexpr int clientHeight = 458;

void fail(const char* what) {
    std::fprintf(stderr, "scene_bench: %s failed\n", what);
    std::exit(1);
}

// A surfaceless Mesa display with a pbuffer of the client size, current for the
// whole run.
void makeHeadlessContext() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) fail("eglGetPlatformDisplayEXT");
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (!eglInitialize(display, nullptr, nullptr)) fail("eglInitialize");
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       16,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_NONE};
    EGLConfig config;
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &count) || count < 1)
        fail("eglChooseConfig");
    eglBindAPI(EGL_OPENGL_API);
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    const EGLint surfaceAttributes[] = {EGL_WIDTH, clientWidth, EGL_HEIGHT, clientHeight, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
    if (!eglMakeCurrent(display, surface, surface, context)) fail("eglMakeCurrent");
}

// The state the plug-in's GL set-up leaves for its frames.
void setFrameEntryState() {
    const GLfloat ambient[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glEnable(GL_DEPTH_TEST);
    glLineWidth(1.0f);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(45.0, 4.0 / 3.0, 0.1f, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(0.0f, 0.0f, -50.0f);
    glRotatef(20.0f, 1.0f, 0.0f, 0.0f);
    glViewport(0, 0, clientWidth, clientHeight);
}

// Mid-level music: every element has something to show.
void setMusic() {
    for (int band = 0; band < audioBandCount; ++band)
        audioFeatures.bandLevels[band] = 2.0f + (band % 7) * 1.5f;
    audioFeatures.bassLevel = 12;
    audioFeatures.loudness = 6;
    for (int i = 0; i < audioWavePointCount; ++i)
        audioFeatures.wavePoints[i] = {0.5f + (i % 11) * 0.3f, 0.5f + (i % 13) * 0.25f};
}

void drawSceneFinished(benchmark::State& state) {
    viewState.ringMode = static_cast<int>(state.range(0));
    setMusic();
    for (auto _ : state) {
        audioFeatures.loudnessOffset = -2.0f;
        drawScene();
        glFinish();
    }
    state.SetLabel(viewState.ringMode == 3   ? "history rings"
                   : viewState.ringMode == 1 ? "band rings"
                                             : "ring sectors");
}

BENCHMARK(drawSceneFinished)
    ->ArgName("ringMode")
    ->Arg(3)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    makeHeadlessContext();
    setFrameEntryState();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
