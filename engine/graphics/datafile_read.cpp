// Reading outside files with a bound: a plain file only, no larger than its kind allows. Needs no
// platform call, so the standalone readers (key scripts) link it without a backend.
#include "engine/graphics/datafile.h"
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/os/os_file.h"

namespace {

// Every outside file is read through here: opened without blocking (a pipe or a device would
// otherwise hang or never end), checked to be a plain file no larger than its kind allows, and
// read no further than its size said, so a file growing meanwhile is not followed.
void set_error(std::string *error, const std::string &text) {
    if (error) *error = text;
}

} // namespace

int Read_File_Head(const char *path, uint64_t max_bytes, uint64_t want, std::vector<uint8_t> &bytes,
                   uint64_t *file_size, std::string *error) {
    bytes.clear();
    if (!path || !*path) {
        set_error(error, "no file named");
        return 0;
    }
    int fd = Os_Open_Read(path);
    if (fd < 0) {
        set_error(error, std::string("cannot open: ") + std::strerror(errno));
        return 0;
    }
    struct stat st;
    int ok = 0;
    if (fstat(fd, &st) != 0)
        set_error(error, std::string("cannot read: ") + std::strerror(errno));
    else if (S_ISDIR(st.st_mode))
        set_error(error, "is a folder, not a file");
    else if (!S_ISREG(st.st_mode))
        set_error(error, "is a device or pipe, not a file");
    else if ((uint64_t)st.st_size > max_bytes)
        set_error(error, "is " + std::to_string((uint64_t)st.st_size) + " bytes, more than the " +
                             std::to_string(max_bytes) + " allowed for it");
    else
        ok = 1;
    if (ok) {
        uint64_t size = (uint64_t)st.st_size;
        uint64_t n = want < size ? want : size;
        bytes.resize((size_t)n);
        size_t got = 0;
        while (got < bytes.size()) {
            ssize_t r = read(fd, bytes.data() + got, bytes.size() - got);
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) break;
            got += (size_t)r;
        }
        if (got != bytes.size()) {
            set_error(error, "cannot read: the file ended early or a read failed");
            bytes.clear();
            ok = 0;
        } else if (file_size) {
            *file_size = size;
        }
    }
    close(fd);
    return ok;
}

int Read_Bounded_File(const char *path, uint64_t max_bytes, std::vector<uint8_t> &bytes,
                      std::string *error) {
    return Read_File_Head(path, max_bytes, UINT64_MAX, bytes, nullptr, error);
}
