// The tool as a user runs it: exit status, the one-line error, the files.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "image.h"

namespace {

struct CommandRun {
    int status = -1;
    std::string output;  // stdout and stderr together
};

CommandRun run(const std::string& arguments) {
    const std::string command = std::string(LUMAVEIL_PREVIEW_PATH) + " " + arguments + " 2>&1";
    CommandRun result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 512> buffer;
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) {
        result.output += buffer.data();
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

class PreviewCommand : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  (std::string("lumaveil-preview-command-") +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string out(const char* stem) const { return (folder_ / stem).string(); }
    std::filesystem::path folder_;
};

TEST_F(PreviewCommand, RendersBothHostsSideBySide) {
    const CommandRun result = run("--size 24x16 --samples 1 --output " + out("swatch"));
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("48x16 image (1 material x 2 hosts), 1 samples/pixel"),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("maya "), std::string::npos);
    EXPECT_NE(result.output.find("mentalray "), std::string::npos);
    const auto png = lumaveil::preview::readPng(out("swatch") + ".png");
    const auto exr = lumaveil::preview::readExr(out("swatch") + ".exr");
    EXPECT_EQ(png.width, 48);
    EXPECT_EQ(exr.width, 48);
    EXPECT_EQ(exr.height, 16);
}

TEST_F(PreviewCommand, GridHasACellPerPreset) {
    const CommandRun result =
        run("--grid --host maya --size 8 --samples 1 --set dfst=1 --output " + out("grid.png"));
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(lumaveil::preview::readExr(out("grid") + ".exr").width, 4 * 8);
    EXPECT_EQ(lumaveil::preview::readExr(out("grid") + ".exr").height, 3 * 8);
}

TEST_F(PreviewCommand, BadInputIsOneLineAndStatusTwo) {
    const struct {
        const char* arguments;
        const char* message;
    } cases[] = {
        {"--set colr=1", "error: unknown attribute 'colr'; did you mean 'color'"},
        {"--set color=1,2", "error: color takes one number or three (r,g,b), not 2"},
        {"--set dfl=x", "error: diffuse: 'x' is not a finite number"},
        {"--preset jelly", "error: unknown preset 'jelly'"},
        {"--plugin /nonexistent/lumaVeil.so",
         "error: cannot load the Maya plug-in /nonexistent/lumaVeil.so: "},
        {"--host mentalray --shader /nonexistent/qv7k_lumaVeil.so",
         "error: cannot load the renderer shader /nonexistent/qv7k_lumaVeil.so: "},
    };
    for (const auto& c : cases) {
        const CommandRun result = run(std::string(c.arguments) + " --output " + out("never"));
        EXPECT_EQ(result.status, 2) << c.arguments;
        EXPECT_NE(result.output.find(std::string("lumaveil-preview: ") + c.message),
                  std::string::npos)
            << c.arguments << " gave: " << result.output;
        EXPECT_EQ(result.output.find('\n'), result.output.size() - 1) << result.output;
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

TEST_F(PreviewCommand, UnwritableOutputFailsWithoutPartialFiles) {
    const CommandRun result = run("--size 4 --samples 1 --output " + out("missing/swatch"));
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.output.find("cannot write"), std::string::npos) << result.output;
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

TEST_F(PreviewCommand, ListsPresetsWithTheirValues) {
    const CommandRun result = run("--list-presets");
    ASSERT_EQ(result.status, 0);
    EXPECT_NE(result.output.find("marble      2.19,2.62,3.00"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("1.5"), std::string::npos);
}

}  // namespace
