#pragma once
// Where the show's programs find the data set (img/, img2/, 3ds/, music/) when they are not
// told: the working folder when it holds one, as the show has always played; else the one
// that came with the program: <prefix>/share/korvid for a program installed as
// <prefix>/bin/<name>, or the build tree's data folder for a program run from a build tree.
// The show's paths stay relative: the program enters the folder before it starts.

#include <string>

// True when `folder` holds a data set: its soundtrack or its wait image, the first files the
// show opens. Either is enough, so that a data set that has lost one of them is still taken
// for one, and the show stops at the missing file with its own lines.
bool holds_data_set(const std::string& folder);

// The folder of the running executable; empty when the system cannot tell.
std::string executable_folder();

// The data folder for a program in `programFolder` that finds the top of its build tree,
// where CMakeCache.txt lies, at `buildRoot` relative to that folder. Empty for the working
// folder: when that holds a data set, and when no other folder does (the show then tells
// which file it misses).
std::string find_data_folder(const std::string& programFolder, const std::string& buildRoot);

// Enters the folder that find_data_folder gives for the running executable; false when
// that fails, and the working folder stays.
bool enter_data_folder(const std::string& buildRoot);
