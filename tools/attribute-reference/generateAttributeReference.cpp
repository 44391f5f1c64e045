// Writes the attribute reference page and its pictures, rendered through the
// built plug-in and shaders:
//     generate-attribute-reference <docs folder>
// writes <docs>/attributes.md, and in <docs>/images/ a PNG per picture and
// their list, pictures.txt; PNGs it no longer lists are removed.
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <set>
#include <thread>

#include "attributeReference.h"
#include "defaultFont.h"
#include "outputFiles.h"
#include "referencePictures.h"
#include "swatchRenderers.h"

using namespace lumaveil;
using namespace lumaveil::reference;

namespace {

void writeText(const std::string& path, const std::string& text) {
    OutputFiles file({path});
    file.write(0, [&](int descriptor) {
        for (std::size_t done = 0; done < text.size();) {
            const ssize_t written = ::write(descriptor, text.data() + done, text.size() - done);
            if (written <= 0) {
                throw std::runtime_error(std::strerror(errno));
            }
            done += static_cast<std::size_t>(written);
        }
    });
    file.commit();
}

}  // namespace

int main(int argc, char** argv) {
    if (!openClosedStandardStreams()) {
        return 1;
    }
    if (argc != 2) {
        std::cerr << "usage: generate-attribute-reference <docs folder>\n";
        return 2;
    }
    removeTemporariesOnSignals();
    const auto start = std::chrono::steady_clock::now();
    const std::filesystem::path docs = argv[1];
    const std::filesystem::path images = docs / "images";
    try {
        std::vector<std::unique_ptr<SwatchRenderer>> renderers;
        renderers.push_back(preview::loadMayaSwatchRenderer(LUMAVEIL_PLUGIN_PATH));
        renderers.push_back(preview::loadMentalraySwatchRenderer(
            QV7K_SHADER_PATH, preview::builtRendererModulePath()));
        renderers.push_back(preview::loadArnoldSwatchRenderer(LUMAVEIL_ARNOLD_SHADER_PATH));
        LabelFont font(preview::defaultFontPath());
        const int threads = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));

        // The pictures first and their list after them, so that an interrupted
        // run leaves a list that the page's test finds out of date.
        std::filesystem::create_directories(images);
        std::set<std::string> listed;
        for (const ReferencePicture& picture : referencePictures()) {
            const DisplayImage image = renderReferencePicture(picture, renderers, font, threads);
            OutputFiles file({(images / picture.file).string()});
            file.write(0, [&](int descriptor) { preview::writePng(descriptor, image); });
            file.commit();
            listed.insert(picture.file);
        }
        writeText((images / "pictures.txt").string(), pictureList(renderers, threads));
        writeText((docs / "attributes.md").string(), attributeReferenceMarkdown());

        std::uintmax_t bytes = 0;
        for (const auto& entry : std::filesystem::directory_iterator(images)) {
            const std::string name = entry.path().filename().string();
            if (entry.path().extension() == ".png" && !listed.contains(name)) {
                std::filesystem::remove(entry.path());
                std::cout << "generate-attribute-reference: removed " << name
                          << ", a picture the page no longer shows\n";
            } else {
                bytes += entry.file_size();
            }
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::cout << "generate-attribute-reference: wrote " << (docs / "attributes.md").string()
                  << " and " << listed.size() << " pictures in " << images.string() << " ("
                  << (bytes + 1023) / 1024 << " KB) in " << seconds << " s\n";
    } catch (const std::exception& error) {
        std::cerr << "generate-attribute-reference: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
