// Output files that say why they failed: the errno of the first failed write is kept and the
// file is closed at once, so nothing after a hole in the file is taken for a good line.
#include "engine/graphics/output_file.h"

#include <cerrno>
#include <cstring>

int Output_Open(OUTPUT_FILE_TYP *o, const char *path, const char *mode) {
    *o = OUTPUT_FILE_TYP{};
    o->path = path ? path : "";
    errno = 0;
    if (!path || !(o->file = std::fopen(path, mode))) {
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
    std::string temp = std::string(path ? path : "") + ".new";
    OUTPUT_FILE_TYP o;
    if (Output_Open(&o, temp.c_str(), "wb")) Output_Write(&o, data, size, 1);
    int ok = Output_Close(&o);
    errno = 0;
    if (ok && std::rename(temp.c_str(), path) != 0) {
        o.error = errno ? errno : EIO;
        ok = 0;
    }
    if (!ok) {
        std::remove(temp.c_str());
        o.path = path ? path : "";
        if (error) *error = Output_Failure(o);
    }
    return ok;
}
