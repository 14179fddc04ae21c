// Finding the game's data files: the working directory first, then beside the executable,
// then the installed data folder.
#include "engine/graphics/datafile.h"
#include "platform/platform.h"
#include "platform/os/os_file.h"
#include <cstdio>

namespace {

void set_error(std::string *error, const char *text) {
    if (error) *error = text;
}

bool is_file(const std::string &path) {
    return Os_Is_File(path.c_str());
}

// The folders after the working one, relative to the executable's: beside it, then an
// installed game's <prefix>/share/farwake beside <prefix>/bin, then Debian's games layout
// (<prefix>/games with its data in <prefix>/share/games/farwake).
constexpr const char *kBesideExecutable[] = {"", "../share/farwake/", "../share/games/farwake/"};

} // namespace

std::string Find_Data_File(const char *name) {
    if (!name || !*name) return "";
    if (is_file(name)) return name;
    // Absolute paths are only ever looked up where they point.
    if (name[0] == '/') return "";
    std::string base = Plat_Base_Path();
    if (base.empty()) return "";
    for (const char *folder : kBesideExecutable) {
        std::string path = base + folder + name;
        if (is_file(path)) return path;
    }
    return "";
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

std::string Data_File_Folders(const char *name) {
    if (name && name[0] == '/') return "only where the path points";
    std::string folders = "the working folder";
    const std::string base = Plat_Base_Path();
    if (!base.empty())
        for (const char *folder : kBesideExecutable)
            folders += ", " + base + folder;
    return folders;
}

namespace {
int data_files_missing = 0;
} // namespace

int Data_Files_Missing() {
    return data_files_missing;
}

void Report_Data_File(const char *name, const char *reason) {
    data_files_missing++;
    std::fprintf(stderr, "farwake: cannot read %s: %s (looked in %s)\n", name ? name : "(none)",
                 reason, Data_File_Folders(name).c_str());
}
