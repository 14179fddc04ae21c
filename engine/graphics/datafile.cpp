// Finding the game's data files: the working directory first, then beside the executable.
#include "engine/graphics/datafile.h"
#include "platform/platform.h"
#include <sys/stat.h>

static bool is_file(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string Find_Data_File(const char *name) {
    if (!name || !*name) return "";
    if (is_file(name)) return name;
    // Absolute paths are only ever looked up where they point.
    if (name[0] == '/') return "";
    std::string beside = std::string(Plat_Base_Path()) + name;
    if (beside != name && is_file(beside)) return beside;
    return "";
}

FILE *Open_Data_File(const char *name) {
    std::string path = Find_Data_File(name);
    return path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
}
