#pragma once
// Every image file of the data set, written below a root folder.

#include "step_progress.hpp"

#include <string>

namespace dataset {

// Writes every image file the show reads (show_image_files), in the order it reads them,
// below `root` (the folders "img" and "img2" must exist). On failure returns false with
// the path that could not be written in `failed`. Reports after each file.
bool writeImages(const std::string& root, std::string& failed, const StepProgress& progress = {});

// "contact-sheet.png" in `root`: every image written so far, scaled into a grid with its
// path and size, for reviewing the art at a glance.
bool writeContactSheet(const std::string& root);

} // namespace dataset
