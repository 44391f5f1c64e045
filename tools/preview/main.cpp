// lumaveil-preview: renders a material swatch, a lit sphere in front of a
// plain backdrop, through the built Maya plug-in, mental ray shader and
// Arnold shader.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "inputs.h"
#include "options.h"
#include "outputFiles.h"
#include "progressBar.h"
#include "reports.h"
#include "sheet.h"
#include "visibleText.h"

using namespace lumaveil;
using namespace lumaveil::preview;

namespace {

constexpr const char* program = "lumaveil-preview";

// Messages quote what users and files gave, which may hold line breaks or
// characters that show nothing: those are spelled out, so that each message
// is one line that says what it means.
int fail(const std::string& message, int status = 2) {
    std::cerr << program << ": error: " << visibleText(message) << '\n';
    return status;
}

void warn(const std::string& message) {
    std::cerr << program << ": warning: " << visibleText(message) << '\n';
}

// What an output-only command printed must have reached its file. Started
// without standard output, it has nowhere to print: /dev/null in its place
// would take everything and report success.
int outputWritten(const ClosedStreams& closed) {
    if (closed.output) {
        return fail("cannot write the output: standard output is closed", 1);
    }
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        return fail(std::string("cannot write the output: ") + std::strerror(errno));
    }
    return 0;
}

int renderingThreads(const Options& options) {
    return options.threads > 0 ? options.threads
                               : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

// Every cell through every host, with a progress bar on a terminal. A
// failure other than running out of memory is reported as the render's.
SheetRender renderWithProgress(const Options& options, const std::vector<SheetCell>& cells,
                               std::span<const std::unique_ptr<SwatchRenderer>> renderers,
                               int threads) {
    RenderSettings settings;
    settings.samples = options.samples;
    settings.threads = threads;
    ProgressBar progress;
    settings.progress = [&](int done, int total) { progress.rowsDone(done, total); };
    try {
        SheetRender render = renderSheet(options, cells, renderers, settings);
        progress.finish();
        return render;
    } catch (const std::bad_alloc&) {
        progress.finish();
        throw;
    } catch (const std::exception& error) {
        progress.finish();
        throw std::runtime_error(std::string("rendering failed: ") + error.what());
    }
}

// A render from the options to its PNG and EXR. Whatever is wrong with the
// inputs or the output is found before anything is rendered; a failure
// throws, and leaves the targets as they were.
void run(const Options& options) {
    std::string fontMissing;
    const std::unique_ptr<LabelFont> font = openLabelFont(options, fontMissing);
    if (!font) {
        warn(fontMissing + "; the PNG is unlabelled");
    }
    // Memory a library takes as it loads is not the image's.
    std::vector<std::unique_ptr<SwatchRenderer>> renderers;
    try {
        renderers = loadSwatchRenderers(options);
    } catch (const std::bad_alloc&) {
        throw std::runtime_error("out of memory while the renderers' libraries loaded");
    }
    const std::string stem = options.outputStem();
    OutputFiles files({stem + ".png", stem + ".exr"}, inputFilesOf(options));

    const std::vector<SheetCell> cells = sheetCells(options);
    // What the hosts use in place of a value outside its range, said once.
    if (const std::string held = heldValuesText(cells); !held.empty()) {
        warn(held);
    }
    const int threads = renderingThreads(options);
    SheetRender render = renderWithProgress(options, cells, renderers, threads);
    const long long heldPixels = holdPixels(render.image);
    const std::vector<std::string> hostNames = hostNamesOf(renderers);
    int labelsLeftOut = 0;
    const DisplayImage display =
        displaySheet(options, render.image, cells, hostNames, font.get(), &labelsLeftOut);

    files.write(0, [&](int file) { writePng(file, display); });
    files.write(1, [&](int file) { writeExr(file, render.image); });
    files.commit();

    printRunSummary(options, cells, hostNames, render, threads);
    printNotes(options, hostNames, render, labelsLeftOut);
    if (heldPixels > 0) {
        std::fflush(stdout);
        warn(std::to_string(heldPixels) +
             " pixels overflowed, or were negative or not numbers: both images hold them at the "
             "largest float, or at 0");
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<ClosedStreams> closed = openClosedStandardStreams();
    if (!closed) {
        return 2;  // with nowhere to say so
    }
    removeTemporariesOnSignals();
    try {
        const Options options = parseOptions(std::vector<std::string_view>(argv + 1, argv + argc));
        if (options.help) {
            std::cout << usageText();
            return outputWritten(*closed);
        }
        if (options.listPresets) {
            listPresets();
            return outputWritten(*closed);
        }
        run(options);
        return 0;
    } catch (const std::bad_alloc&) {
        return fail("out of memory: not enough memory for this image; give a smaller --size");
    } catch (const std::exception& error) {
        return fail(error.what());
    }
}
