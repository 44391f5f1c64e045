// The tool as a user runs it: exit status, the one-line error, the files.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

#include "image.h"

namespace {

struct CommandRun {
    int status = -1;
    std::string output;  // stdout and stderr together
};

// Runs the tool through the shell, after `setup` if given.
CommandRun run(const std::string& arguments, const std::string& setup = "") {
    const std::string command =
        setup + std::string(LUMAVEIL_PREVIEW_PATH) + " " + arguments + " 2>&1";
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

// Whether a region of the PNG holds text: label pixels are far brighter than
// the backdrop.
bool holdsText(const lumaveil::preview::DisplayImage& png, int x0, int y0, int width, int height) {
    for (int y = y0; y < y0 + height; ++y) {
        for (int x = x0; x < x0 + width; ++x) {
            if (png.at(x, y)[1] > 200) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(PreviewCommand, RendersBothHostsSideBySide) {
    const CommandRun result = run("--size 128x96 --samples 1 --output " + out("swatch"));
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("256x96 image (1 material x 2 hosts), 1 samples/pixel"),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("maya "), std::string::npos);
    EXPECT_NE(result.output.find("mentalray "), std::string::npos);
    EXPECT_NE(result.output.find("filmic tone curve at +0 EV"), std::string::npos);
    EXPECT_NE(result.output.find("lumaveil-preview: the halves differ by design"),
              std::string::npos);
    const auto png = lumaveil::preview::readPng(out("swatch") + ".png");
    const auto exr = lumaveil::preview::readExr(out("swatch") + ".exr");
    EXPECT_EQ(png.width, 256);
    EXPECT_EQ(exr.width, 256);
    EXPECT_EQ(exr.height, 96);
    // Each half is labelled at its top-left corner.
    EXPECT_TRUE(holdsText(png, 0, 0, 64, 20));
    EXPECT_TRUE(holdsText(png, 128, 0, 64, 20));
}

TEST_F(PreviewCommand, GridHasACellPerPreset) {
    const CommandRun result =
        run("--grid --host maya --size 8 --samples 1 --set dfst=1 --output " + out("grid.png"));
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(lumaveil::preview::readExr(out("grid") + ".exr").width, 4 * 8);
    EXPECT_EQ(lumaveil::preview::readExr(out("grid") + ".exr").height, 3 * 8);
}

TEST_F(PreviewCommand, BadInputIsOneLineAndStatusTwo) {
    // A library cut short as a failed copy leaves it: the loader would map
    // its missing pages and the first touch would end the tool with SIGBUS.
    const std::filesystem::path libraries = folder_.string() + "-libraries";
    std::filesystem::create_directories(libraries);
    const std::string cut = (libraries / "cut.so").string();
    std::filesystem::copy_file(LUMAVEIL_PLUGIN_PATH, cut,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::resize_file(cut, 5000);
    std::filesystem::create_directories(folder_ / "sub");
    const struct {
        std::string arguments;
        std::string message;
    } cases[] = {
        {"--set colr=1", "error: unknown attribute 'colr'; did you mean 'color'"},
        {"--set color=1,2", "error: color takes one number or three (r,g,b), not 2"},
        {"--set dfl=x", "error: diffuse: 'x' is not a finite number"},
        {"--set rfi=0.5", "error: refractiveIndex must be at least 1, the node's hard minimum"},
        {"--preset jelly", "error: unknown preset 'jelly'"},
        {"--grid --preset skin1", "error: --grid renders every preset and takes no --preset"},
        {"--grid --size 8192", "error: the image would be 65536x24576 pixels"},
        {"--font /nonexistent/font.ttf", "error: cannot read the font /nonexistent/font.ttf: "},
        {"--plugin /nonexistent/lumaVeil.so",
         "error: cannot load the Maya plug-in /nonexistent/lumaVeil.so: no such file"},
        {"--host mentalray --shader /nonexistent/qv7k_lumaVeil.so",
         "error: cannot load the renderer shader /nonexistent/qv7k_lumaVeil.so: no such file"},
        {"--plugin " + cut, "error: cannot load the Maya plug-in " + cut +
                                ": the file is cut short: a loaded segment ends at byte"},
        {"--shader " + cut, "error: cannot load the renderer shader " + cut + ": the file is cut"},
        {"--renderer " + cut,
         "error: cannot load the renderer module " + cut + ": the file is cut"},
        {"--shader " + libraries.string(),
         "error: cannot load the renderer shader " + libraries.string() + ": it is a folder"},
    };
    for (const auto& c : cases) {
        const CommandRun result = run(c.arguments + " --output " + out("never"));
        EXPECT_EQ(result.status, 2) << c.arguments;
        EXPECT_NE(result.output.find("lumaveil-preview: " + c.message), std::string::npos)
            << c.arguments << " gave: " << result.output;
        EXPECT_EQ(result.output.find('\n'), result.output.size() - 1) << result.output;
    }
    // A folder as the output is refused, whichever way it is written.
    for (const std::string& output : {out("sub") + "/", std::string(".")}) {
        const CommandRun result = run("--size 4 --samples 1 --output " + output);
        EXPECT_EQ(result.status, 2) << output;
        EXPECT_NE(result.output.find("names a folder"), std::string::npos) << result.output;
    }
    std::filesystem::remove_all(libraries);
    std::filesystem::remove(folder_ / "sub");
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

// Values that overflow give pixels that are not numbers; the tool says how
// many, once, and still writes both files.
TEST_F(PreviewCommand, NonFinitePixelsAreCountedInOneWarning) {
    const CommandRun result = run("--set color=1e38 --size 16 --output " + out("hot"));
    EXPECT_EQ(result.status, 0) << result.output;
    const std::size_t warning = result.output.find("lumaveil-preview: warning: ");
    ASSERT_NE(warning, std::string::npos) << result.output;
    EXPECT_NE(result.output.find(" pixels hold infinite or NaN values", warning),
              std::string::npos);
    EXPECT_EQ(result.output.find("warning", warning + 30), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(out("hot") + ".png"));
}

#if defined(__SANITIZE_THREAD__)
#define LUMAVEIL_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define LUMAVEIL_THREAD_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(LUMAVEIL_THREAD_SANITIZER)
#define LUMAVEIL_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUMAVEIL_SANITIZED 1
#endif
#endif

// An image within the size limit that still does not fit in memory ends in
// the one-line error, not in std::terminate.
TEST_F(PreviewCommand, OutOfMemoryIsOneLineAndStatusTwo) {
#ifdef LUMAVEIL_SANITIZED
    GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
#else
    const CommandRun result =
        run("--host maya --size 6000 --samples 1 --threads 1 --output " + out("big"),
            "ulimit -v 300000; ");
    EXPECT_EQ(result.status, 2) << result.output;
    EXPECT_EQ(result.output,
              "lumaveil-preview: error: out of memory: not enough memory for this image; give a "
              "smaller --size\n");
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
#endif
}

// SIGINT or SIGTERM while a file is written removes the partial file. The
// partial PNG is made a pipe that the test reads a little of and then leaves
// full, so the tool is caught in the middle of writing it.
TEST_F(PreviewCommand, SignalDuringAWriteRemovesThePartialFile) {
#ifdef LUMAVEIL_THREAD_SANITIZER
    GTEST_SKIP() << "ThreadSanitizer holds a signal back until the blocked write returns";
#endif
    for (const int signal : {SIGTERM, SIGINT}) {
        const std::string partial = out("swatch") + ".png.partial";
        ASSERT_EQ(mkfifo(partial.c_str(), 0600), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGINT, SIG_DFL);
            std::signal(SIGTERM, SIG_DFL);
            const std::string output = out("swatch");
            execl(LUMAVEIL_PREVIEW_PATH, LUMAVEIL_PREVIEW_PATH, "--size", "128", "--samples", "1",
                  "--output", output.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        // Opened before the tool opens it, without waiting for it, and made
        // the smallest pipe there is, so that the PNG cannot fit in it.
        const int pipe = open(partial.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(pipe, 0);
        fcntl(pipe, F_SETPIPE_SZ, 4096);
        pollfd ready{pipe, POLLIN, 0};
        if (poll(&ready, 1, 60000) != 1) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            close(pipe);
            FAIL() << "the tool never wrote the PNG";
        }
        char byte = 0;
        EXPECT_EQ(read(pipe, &byte, 1), 1);  // the tool is writing the PNG
        kill(child, signal);
        int status = 0;
        for (int waited = 0; waitpid(child, &status, WNOHANG) == 0; ++waited) {
            if (waited == 300) {  // 30 s: the signal did not end the tool
                kill(child, SIGKILL);
                waitpid(child, &status, 0);
                break;
            }
            usleep(100000);
        }
        close(pipe);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_FALSE(std::filesystem::exists(partial)) << signal;
        EXPECT_TRUE(std::filesystem::is_empty(folder_)) << signal;
        std::filesystem::remove(partial);
    }
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
