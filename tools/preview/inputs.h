// What a run opens before it renders: the labels' font and the deliverables
// in their hosts, every library checked before any is loaded.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "labels.h"
#include "options.h"
#include "outputFiles.h"
#include "render.h"

namespace lumaveil::preview {

// The labels' font. One named with --font must be usable, or this throws
// std::runtime_error saying why; the build's default may be missing: then it
// is null, and `missing` says why.
std::unique_ptr<LabelFont> openLabelFont(const Options& options, std::string& missing);

// The deliverables the options ask for, in the order their swatches are
// laid out (Maya's, mental ray's, Arnold's). Throws HostLoadError naming the first library
// that is not what its option says.
std::vector<std::unique_ptr<SwatchRenderer>> loadSwatchRenderers(const Options& options);

// Every file a run with these options may read, by what it is: the outputs
// must be none of them.
std::vector<NamedInput> inputFilesOf(const Options& options);

}  // namespace lumaveil::preview
