// Finding the game's data files: the working directory first, then beside the executable,
// then the installed data folder.
#include "engine/graphics/datafile.h"
#include "platform/platform.h"
#include <cerrno>
#include <cstring>
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
    std::string base = Plat_Base_Path();
    if (base.empty()) return "";
    std::string beside = base + name;
    if (is_file(beside)) return beside;
    // An installed game keeps its data in <prefix>/share/farwake beside <prefix>/bin.
    std::string installed = base + "../share/farwake/" + name;
    if (is_file(installed)) return installed;
    return "";
}

FILE *Open_Data_File(const char *name) {
    std::string path = Find_Data_File(name);
    return path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
}

std::string Data_File_Folders(const char *name) {
    if (name && name[0] == '/') return "only where the path points";
    std::string folders = "the working folder";
    const std::string base = Plat_Base_Path();
    if (!base.empty()) folders += ", " + base + ", " + base + "../share/farwake/";
    return folders;
}

void Report_Data_File(const char *name, const char *reason) {
    std::fprintf(stderr, "farwake: cannot read %s: %s (looked in %s)\n", name ? name : "(none)",
                 reason, Data_File_Folders(name).c_str());
}

std::string Data_File_Open_Failure(const char *name) {
    const std::string path = Find_Data_File(name);
    if (path.empty()) return "not found";
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return path + ": " + std::strerror(errno);
    std::fclose(f);
    return path + ": cannot be read";
}
