// Output files that say why they failed: the errno of the first failed write is kept and the
// file is closed at once, so nothing after a hole in the file is taken for a good line.
#include "engine/graphics/output_file.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/os/os_file.h"

int Output_Open(OUTPUT_FILE_TYP *o, const char *path, const char *mode) {
    *o = OUTPUT_FILE_TYP{};
    o->path = path ? path : "";
    errno = 0;
    if (!path || !(o->file = Os_Fopen(path, mode))) {
        o->error = errno ? errno : EINVAL;
        return 0;
    }
    return 1;
}

void Output_Fail(OUTPUT_FILE_TYP *o, int error) {
    if (!o->error) o->error = error ? error : EIO;
    if (o->file) std::fclose(o->file);
    o->file = nullptr;
}

int Output_Write(OUTPUT_FILE_TYP *o, const void *data, size_t size, int flush) {
    if (!o->file || o->error) return 0;
    errno = 0;
    if ((size && std::fwrite(data, 1, size, o->file) != size) ||
        (flush && std::fflush(o->file) != 0)) {
        Output_Fail(o, errno);
        return 0;
    }
    return 1;
}

int Output_Line(OUTPUT_FILE_TYP *o, const std::string &text) {
    if (!o->file || o->error) return 0;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), o->file) != text.size() ||
        std::fputc('\n', o->file) == EOF || std::fflush(o->file) != 0) {
        Output_Fail(o, errno);
        return 0;
    }
    return 1;
}

int Output_Close(OUTPUT_FILE_TYP *o) {
    if (o->file) {
        errno = 0;
        int failed = std::ferror(o->file);
        if (std::fclose(o->file) != 0 || failed)
            o->error = o->error ? o->error : (errno ? errno : EIO);
        o->file = nullptr;
    }
    return o->error == 0;
}

std::string Output_Failure(const OUTPUT_FILE_TYP &o) {
    return "cannot write " + o.path + ": " + std::strerror(o.error ? o.error : EIO);
}

int Write_Whole_File(const char *path, const void *data, size_t size, std::string *error) {
    auto fail = [&](int err, const char *reason = nullptr) {
        if (error)
            *error = std::string("cannot write ") + (path ? path : "") + ": " +
                     (reason ? reason : std::strerror(err ? err : EIO));
        return 0;
    };
    if (!path || !*path) return fail(ENOENT);
    int link_error = 0;
    const std::string target = Os_Link_Target(path, &link_error);
    if (target.empty()) return fail(link_error);
    int mode = 0644;
#ifndef _WIN32
    struct stat st;
    if (stat(target.c_str(), &st) == 0) {
        // Renaming over a device or a folder would put a file where the system keeps its own.
        if (!S_ISREG(st.st_mode)) return fail(0, "not a regular file");
        mode = (int)(st.st_mode & 07777);
    }
#endif
    std::string temp = target + ".XXXXXX";
    int fd = Os_Make_Temp(temp);
    if (fd < 0) return fail(errno);
    auto drop = [&](int err) {
        if (fd >= 0) close(fd);
        Os_Remove(temp.c_str());
        return fail(err);
    };
    const char *bytes = static_cast<const char *>(data);
    size_t done = 0;
    while (done < size) {
        ssize_t n = write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return drop(n < 0 ? errno : ENOSPC);
        done += (size_t)n;
    }
    // The data reaches the disk before the name moves: a crash leaves the old file or the new.
    if (Os_Commit(fd) != 0) return drop(errno);
#ifndef _WIN32
    // The target keeps its own mode (the commit leaves a new file's 0644).
    if (fchmod(fd, (mode_t)mode) != 0) return drop(errno);
#else
    (void)mode;
#endif
    int closed = close(fd);
    fd = -1;
    if (closed != 0 || Os_Rename(temp.c_str(), target.c_str()) != 0) return drop(errno);
    return 1;
}
