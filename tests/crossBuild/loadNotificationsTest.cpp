// The Windows libraries accept every notification of their life: loading,
// threads starting and ending while they are loaded, and unloading, again
// and again.
#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <thread>

namespace {

void loadRunAndUnload(const char* path) {
    for (int round = 0; round < 2; ++round) {
        const HMODULE library = LoadLibraryA(path);
        ASSERT_NE(library, nullptr) << path << ": error " << GetLastError();
        std::thread([] {}).join();
        EXPECT_NE(FreeLibrary(library), 0) << path << ": error " << GetLastError();
    }
}

#if defined(LUMAVEIL_PLUGIN_PATH)
TEST(LoadNotifications, MayaPlugin) {
    loadRunAndUnload(LUMAVEIL_PLUGIN_PATH);
}
#endif

TEST(LoadNotifications, RendererShader) {
    loadRunAndUnload(QV7K_SHADER_PATH);
}

}  // namespace
