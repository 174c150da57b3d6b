#pragma once
// The show's data set: every image, material and scene, loaded in a fixed order and
// registered in the Engine context under its name. Failures end the program.

// Loads "img/wait.png" as "wait", draws it onto the Display and presents one frame.
void show_wait_screen();

// Loads the rest of the data set, in order, after the wait screen.
void load_assets();
