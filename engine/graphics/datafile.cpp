// Finding the game's data files: the working directory first, then beside the executable,
// then the installed data folder.
#include "engine/graphics/datafile.h"
#include "platform/platform.h"
#include <sys/stat.h>

static void set_error(std::string *error, const char *text) {
    if (error) *error = text;
}

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
    // Debian installs games into <prefix>/games and their data into <prefix>/share/games.
    std::string games = base + "../share/games/farwake/" + name;
    if (is_file(games)) return games;
    return "";
}

FILE *Open_Data_File(const char *name) {
    std::string path = Find_Data_File(name);
    return path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
}

int Read_Data_File(const char *name, uint64_t max_bytes, std::vector<uint8_t> &bytes,
                   std::string *error) {
    bytes.clear();
    std::string path = Find_Data_File(name);
    if (path.empty()) {
        set_error(error, "not found");
        return 0;
    }
    return Read_Bounded_File(path.c_str(), max_bytes, bytes, error);
}
