#pragma once
// How many file descriptors the test process has open: what a window or display connection left
// behind shows up here.
#include <dirent.h>

inline int openFileCount() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++count;
        closedir(dir);
    }
    return count;
}
