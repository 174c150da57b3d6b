#include "demo/data_folder.hpp"

#include "demo/assets.hpp"

#include <filesystem>

namespace fs = std::filesystem;

bool holds_data_set(const std::string& folder) {
    std::error_code error;
    return fs::is_regular_file(fs::path(folder) / musicPath, error) ||
           fs::is_regular_file(fs::path(folder) / waitImage.path, error);
}

std::string executable_folder() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

std::string find_data_folder(const std::string& programFolder, const std::string& buildRoot) {
    if (holds_data_set(".") || programFolder.empty())
        return "";
    const fs::path here(programFolder);
    const fs::path installed = here / ".." / "share" / "korvid";
    if (holds_data_set(installed.string()))
        return installed.lexically_normal().string();
    std::error_code error;
    const fs::path root = here / buildRoot;
    if (fs::is_regular_file(root / "CMakeCache.txt", error) &&
        holds_data_set((root / "data").string()))
        return (root / "data").lexically_normal().string();
    return "";
}

bool enter_data_folder(const std::string& buildRoot) {
    const std::string folder = find_data_folder(executable_folder(), buildRoot);
    std::error_code error;
    if (!folder.empty())
        fs::current_path(folder, error);
    return !error;
}
