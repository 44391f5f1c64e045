// Binding to the renderer's functions: failed lookups, their messages and
// neutral outcomes, and rebinding.
#include <atomic>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "standInFixture.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace lumaveil::mrtest {
namespace {

// The error code a failed lookup reports: GetLastError's on Windows, where a
// null handle designates the program's own module, which lacks the
// renderer's functions; dlsym gives no code.
#if defined(_WIN32)
constexpr int kLookupError = ERROR_PROC_NOT_FOUND;
#else
constexpr int kLookupError = 0;
#endif

std::string missing(const char* name, const void* handle) {
    char line[160];
    std::snprintf(line, sizeof line, "dlsym failed on \"%s\" (handle: %08" PRIxPTR " error: %d)\n",
                  name, reinterpret_cast<std::uintptr_t>(handle), kLookupError);
    return line;
}

class BindingTest : public StandInTest {
protected:
    BindingTest() {
        // Every renderer function is needed: a driven parameter, a light and
        // the irradiance.
        params.connect("color", [this](const miState&, void* out) {
            ++runs;
            const miColor value{0.25f, 0.25f, 0.25f, 1.0f};
            std::memcpy(out, &value, sizeof value);
        });
        params.setLights({scene.addDirectionalLight({0.0f, halfSqrt2, halfSqrt2}, white)});
        params.setBoolean("useIrradiance", true);
        params.setColor("irradianceColor", white);
        scene.setIrradiance({3.1415927f, 3.1415927f, 3.1415927f, 1.0f});
    }

    // Shades once and returns what went to standard error.
    std::string shadeCapturingErrors(miColor& result) {
        testing::internal::CaptureStderr();
        result = shade();
        return testing::internal::GetCapturedStderr();
    }

    void expectFullyBound() {
        miColor c;
        EXPECT_EQ(shadeCapturingErrors(c), "");
        // 45-degree light, driven colour 0.25, irradiance pi.
        reference::ShaderCall call = workedCall({{{{1, 1, 1}, {0, halfSqrt2, halfSqrt2}}}});
        call.parameters.color = {0.25f, 0.25f, 0.25f};
        call.irradianceColor = {1.0f, 1.0f, 1.0f};
        call.irradiance = {3.1415927f, 3.1415927f, 3.1415927f};
        expectRgb(c, reference::shaderColour(call));
    }

    std::atomic<int> runs{0};
};

TEST_F(BindingTest, NullHandleReportsEveryLookupAndGivesNeutralOutcomes) {
    renderer.bindNullHandle();
    const std::string null = "DYNLOAD: dl_handle null\n";
    const std::string expected = null + missing("mi_phen_eval", nullptr) + null +
                                 missing("mi_sample_light", nullptr) + null +
                                 missing("mi_compute_irradiance", nullptr);
    EXPECT_EQ(missing("x", nullptr), "dlsym failed on \"x\" (handle: 00000000 error: " +
                                         std::to_string(kLookupError) + ")\n");
    for (int call = 0; call < 2; ++call) {  // a failed lookup is tried again
        miColor c;
        EXPECT_EQ(shadeCapturingErrors(c), expected);
        // No light samples and black irradiance: only the stored ambient colour 0.
        expectRgb(c, 0.0, 0.0, 0.0);
        EXPECT_EQ(c.a, 1.0f);
    }
    EXPECT_EQ(runs, 0);
}

TEST_F(BindingTest, MissingFunctionsOfAModuleAreReported) {
    const void* handle = renderer.bind(MRHOST_INCOMPLETE_PATH);
    const std::string expected =
        missing("mi_phen_eval", handle) + missing("mi_compute_irradiance", handle);
    for (int call = 0; call < 2; ++call) {
        miColor c;
        EXPECT_EQ(shadeCapturingErrors(c), expected);
        // The module's own sample, straight along the normal; nothing else.
        expectRgb(c, reference::shaderColour(workedCall({{above}})));
    }
    EXPECT_EQ(runs, 0);
}

TEST_F(BindingTest, LaterModuleHandleRebindsEveryFunction) {
    expectFullyBound();
    const int fullRuns = runs;

    const void* incomplete = renderer.bind(MRHOST_INCOMPLETE_PATH);
    miColor c;
    EXPECT_EQ(shadeCapturingErrors(c),
              missing("mi_phen_eval", incomplete) + missing("mi_compute_irradiance", incomplete));
    expectRgb(c, reference::shaderColour(workedCall({{above}})));
    EXPECT_EQ(runs, fullRuns);

    renderer.bind(MRHOST_MODULE_PATH);
    expectFullyBound();
    EXPECT_EQ(runs, fullRuns + 1);
}

}  // namespace
}  // namespace lumaveil::mrtest
