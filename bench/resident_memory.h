#pragma once

#include <fstream>
#include <unistd.h>

// The resident memory of this process in bytes, from /proc/self/statm.
inline long ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}
