#pragma once
// Every image file of the data set, written below a root folder.

#include "step_progress.hpp"

#include <string>

namespace dataset {

// Writes "img/..." and "img2/..." below `root` (the folders must exist). On failure
// returns false with the path that could not be written in `failed`. Reports after each
// file.
bool writeImages(const std::string& root, std::string& failed, const StepProgress& progress = {});

// "contact-sheet.png" in `root`: every image written so far, scaled into a grid with its
// path and size, for reviewing the art at a glance.
bool writeContactSheet(const std::string& root);

} // namespace dataset
