// The records a host reads from the loaded DLL, and where their callbacks live.
#include "check.h"
#include "dll_host.h"

#include <cstring>

namespace {

bool insideLibrary(HMODULE library, const void* address) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(library);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        reinterpret_cast<const BYTE*>(library) + dos->e_lfanew);
    const auto* base = reinterpret_cast<const BYTE*>(library);
    const auto* at = static_cast<const BYTE*>(address);
    return at >= base && at < base + nt->OptionalHeader.SizeOfImage;
}

} // namespace

ZD_TEST(records, TheHeaderAndModuleCarryTheirLoadValues) {
    DllHost host;
    ZD_REQUIRE(host.header != nullptr);
    ZD_CHECK_EQ(host.header->interfaceVersion, 0x101);
    ZD_CHECK(std::strcmp(host.header->libraryName, "Zephyrdome X") == 0);
    ZD_REQUIRE(host.module != nullptr);
    ZD_CHECK(std::strcmp(host.module->moduleName, "Zephyrdome Move") == 0);
    ZD_CHECK_EQ(host.module->latency, 25);
    ZD_CHECK_EQ(host.module->frameDelay, 25);
    ZD_CHECK_EQ(host.module->spectrumChannels, 1);
    ZD_CHECK_EQ(host.module->waveformChannels, 1);
    ZD_CHECK_EQ(host.module->sampleRate, 0);
    ZD_CHECK_EQ(host.module->channelCount, 0);
    ZD_CHECK(host.module->hostData == nullptr);
    ZD_CHECK(host.header->moduleGetter(1) == nullptr);
    ZD_CHECK(host.header->moduleGetter(-1) == nullptr);
    const void* callbacks[] = {reinterpret_cast<void*>(host.header->moduleGetter),
                               reinterpret_cast<void*>(host.module->onConfigure),
                               reinterpret_cast<void*>(host.module->onStart),
                               reinterpret_cast<void*>(host.module->onRender),
                               reinterpret_cast<void*>(host.module->onStop)};
    for (const void* callback : callbacks)
        ZD_CHECK(insideLibrary(host.library, callback));
}

ZD_TEST(records, ConfigureShowsNothingAndSendsNothing) {
    DllHost host;
    ZD_REQUIRE(host.module != nullptr);
    host.module->onConfigure(host.module);
    host.pumpMessages();
    ZD_CHECK(host.messages.empty());
    ZD_CHECK(host.renderWindow() == nullptr);
}
