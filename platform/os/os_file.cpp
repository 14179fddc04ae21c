// The POSIX and the Windows halves of the operating system calls in os_file.h. On Windows every
// path goes through the wide-character call, so a name like "Zoë" works wherever a path does.
#include "platform/os/os_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>
#else
#include <ctime>
#include <unistd.h>
#endif

std::string Os_Program_Name(const char *argv0, const char *fallback) {
    std::string name = argv0 ? argv0 : "";
    size_t slash = name.find_last_of(OS_PATH_SEPARATORS);
    if (slash != std::string::npos) name.erase(0, slash + 1);
#ifdef _WIN32
    if (name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".exe") == 0)
        name.resize(name.size() - 4);
#endif
    return name.empty() ? fallback : name;
}

#ifdef _WIN32

std::wstring Os_Wide(const char *utf8) {
    if (!utf8 || !*utf8) return L"";
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    if (n <= 0) return L"";
    std::wstring w((size_t)n, L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, &w[0], n);
    w.resize((size_t)n - 1);
    return w;
}

std::string Os_Utf8(const wchar_t *wide) {
    if (!wide || !*wide) return "";
    int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return "";
    std::string s((size_t)n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &s[0], n, nullptr, nullptr);
    s.resize((size_t)n - 1);
    return s;
}

namespace {

// The wide form of a path that must name something: errno is EINVAL (empty or not UTF-8).
bool wide_path(const char *path, std::wstring *w) {
    *w = Os_Wide(path);
    if (w->empty()) errno = path && *path ? EILSEQ : ENOENT;
    return !w->empty();
}

// errno for the last failed Windows call.
int errno_of_last_error() {
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
        return ENOSPC;
    default:
        return EIO;
    }
}

} // namespace

std::FILE *Os_Fopen(const char *path, const char *mode) {
    std::wstring w;
    if (!wide_path(path, &w) || !mode) return nullptr;
    std::wstring m = Os_Wide(mode);
    if (m.find(L'b') == std::wstring::npos) m += L'b';
    return _wfopen(w.c_str(), m.c_str());
}

int Os_Open_Read(const char *path) {
    std::wstring w;
    if (!wide_path(path, &w)) return -1;
    return _wopen(w.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

int Os_Make_Temp(std::string &pattern) {
    const size_t n = pattern.size();
    if (n < 6 || pattern.compare(n - 6, 6, "XXXXXX") != 0) return errno = EINVAL, -1;
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static unsigned counter = 0;
    uint64_t mix = GetTickCount64() ^ ((uint64_t)GetCurrentProcessId() << 32);
    for (int attempt = 0; attempt < 100; attempt++) {
        uint64_t v = mix + 0x9E3779B97F4A7C15ull * (uint64_t)++counter;
        for (size_t i = n - 6; i < n; i++, v /= 36)
            pattern[i] = letters[v % 36];
        std::wstring w;
        if (!wide_path(pattern.c_str(), &w)) return -1;
        int fd = _wopen(w.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY | _O_NOINHERIT,
                        _S_IREAD | _S_IWRITE);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return errno = EEXIST, -1;
}

int Os_Commit(int fd) {
    return _commit(fd);
}

int Os_Rename(const char *from, const char *to) {
    std::wstring a, b;
    if (!wide_path(from, &a) || !wide_path(to, &b)) return -1;
    if (MoveFileExW(a.c_str(), b.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    errno = errno_of_last_error();
    return -1;
}

int Os_Remove(const char *path) {
    std::wstring w;
    return wide_path(path, &w) ? _wremove(w.c_str()) : -1;
}

int Os_Create_New(const char *path) {
    std::wstring w;
    if (!wide_path(path, &w)) return -1;
    int fd = _wopen(w.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
    if (fd < 0) return -1;
    _close(fd);
    return 0;
}

int Os_Make_Folder(const char *path) {
    std::wstring w;
    if (!wide_path(path, &w)) return -1;
    if (CreateDirectoryW(w.c_str(), nullptr)) return 0;
    errno = errno_of_last_error();
    return -1;
}

std::string Os_Link_Target(const std::string &path, int *) {
    // Settings and outputs are not kept behind links there: the path is the file.
    return path;
}

bool Os_Is_File(const char *path) {
    std::wstring w;
    struct _stat64 st;
    return wide_path(path, &w) && _wstat64(w.c_str(), &st) == 0 && (st.st_mode & _S_IFREG);
}

std::string Os_Program_Path() {
    std::wstring w(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, &w[0], (DWORD)w.size());
        if (n == 0) return "";
        if (n < w.size()) return w.resize(n), Os_Utf8(w.c_str());
        if (w.size() > 32768) return "";
        w.resize(w.size() * 2);
    }
}

int Os_Set_Env(const char *name, const char *value) {
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

char **Os_Utf8_Arguments(int argc, char **argv) {
    static std::vector<std::string> texts;
    static std::vector<char *> pointers;
    int n = 0;
    LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!wide) return argv;
    if (n == argc) {
        texts.assign((size_t)n, "");
        for (int i = 0; i < n; i++)
            texts[(size_t)i] = Os_Utf8(wide[i]);
        pointers.clear();
        for (std::string &t : texts)
            pointers.push_back(&t[0]);
        pointers.push_back(nullptr);
    }
    LocalFree(wide);
    return n == argc ? pointers.data() : argv;
}

int Os_Open_Null() {
    return _open("NUL", _O_WRONLY | _O_BINARY | _O_NOINHERIT);
}

void Os_Binary_Stdio() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

std::string Os_User_Folder(OS_FOLDER which) {
    PWSTR found = nullptr;
    const KNOWNFOLDERID &id =
        which == OS_FOLDER_LOCAL ? FOLDERID_LocalAppData : FOLDERID_RoamingAppData;
    std::string path;
    if (SHGetKnownFolderPath(id, 0, nullptr, &found) == S_OK) path = Os_Utf8(found);
    CoTaskMemFree(found);
    if (path.empty()) {
        // A system without the shell's folder service still says where in the environment.
        const wchar_t *env = _wgetenv(which == OS_FOLDER_LOCAL ? L"LOCALAPPDATA" : L"APPDATA");
        if (env) path = Os_Utf8(env);
    }
    return path;
}

void Os_Nap(uint32_t us) {
    // Sleep() keeps the system's tick (15.6 ms unless a program asks for less); a
    // high-resolution waitable timer (Windows 10 1803 and later) wakes within the microsecond
    // count asked, and the plain one is the fallback.
    static HANDLE timer = [] {
        HANDLE t = CreateWaitableTimerExW(nullptr, nullptr, 0x00000002 /* HIGH_RESOLUTION */,
                                          TIMER_ALL_ACCESS);
        return t ? t : CreateWaitableTimerW(nullptr, TRUE, nullptr);
    }();
    LARGE_INTEGER due;
    due.QuadPart = -(LONGLONG)us * 10; // relative, in 100 ns
    if (timer && SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE))
        WaitForSingleObject(timer, INFINITE);
    else
        Sleep(us / 1000);
}

void Os_Catch_Signal(int sig, void (*handler)(int), OS_SAVED_SIGNAL *saved) {
    saved->handler = std::signal(sig, handler);
}

void Os_Restore_Signal(int sig, const OS_SAVED_SIGNAL &saved) {
    std::signal(sig, saved.handler == SIG_ERR ? SIG_DFL : saved.handler);
}

#else // POSIX

std::FILE *Os_Fopen(const char *path, const char *mode) {
    if (!path || !mode) return errno = EINVAL, nullptr;
    return std::fopen(path, mode);
}

int Os_Open_Read(const char *path) {
    return open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

int Os_Make_Temp(std::string &pattern) {
    const size_t n = pattern.size();
    if (n < 6 || pattern.compare(n - 6, 6, "XXXXXX") != 0) return errno = EINVAL, -1;
    return mkstemp(&pattern[0]);
}

int Os_Commit(int fd) {
    return fsync(fd) != 0 || fchmod(fd, 0644) != 0 ? -1 : 0;
}

int Os_Rename(const char *from, const char *to) {
    return std::rename(from, to);
}

int Os_Remove(const char *path) {
    return unlink(path);
}

int Os_Create_New(const char *path) {
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return -1;
    close(fd);
    return 0;
}

int Os_Make_Folder(const char *path) {
    return mkdir(path, 0755);
}

std::string Os_Link_Target(const std::string &path, int *error) {
    // As many links as the system itself follows in one path.
    constexpr int MOST_LINKS = 40;
    std::string at = path;
    for (int links = 0; links <= MOST_LINKS; links++) {
        struct stat st;
        if (lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return at;
        // The size lstat gives a link can lie (some file systems say 0): read into a fixed room.
        char room[4096];
        ssize_t n = readlink(at.c_str(), room, sizeof room);
        if (n < 0 || (size_t)n >= sizeof room || n == 0) {
            *error = n < 0 ? errno : n == 0 ? ENOENT : ENAMETOOLONG;
            return "";
        }
        std::string next(room, (size_t)n);
        size_t slash = at.rfind('/');
        // A relative target is relative to the link's own folder.
        if (next[0] != '/' && slash != std::string::npos) next = at.substr(0, slash + 1) + next;
        at = next;
    }
    *error = ELOOP;
    return "";
}

bool Os_Is_File(const char *path) {
    struct stat st;
    return path && stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

std::string Os_Program_Path() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, (size_t)n) : "";
}

int Os_Set_Env(const char *name, const char *value) {
    return setenv(name, value, 1);
}

char **Os_Utf8_Arguments(int, char **argv) {
    return argv;
}

int Os_Open_Null() {
    return open("/dev/null", O_WRONLY | O_CLOEXEC);
}

void Os_Binary_Stdio() {}

std::string Os_User_Folder(OS_FOLDER which) {
    const char *xdg = std::getenv(which == OS_FOLDER_LOCAL ? "XDG_DATA_HOME" : "XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    const char *home = std::getenv("HOME");
    if (!home || !*home) return "";
    return std::string(home) + (which == OS_FOLDER_LOCAL ? "/.local/share" : "/.config");
}

void Os_Nap(uint32_t us) {
    struct timespec nap = {(time_t)(us / 1000000), (long)(us % 1000000) * 1000};
    nanosleep(&nap, nullptr);
}

void Os_Catch_Signal(int sig, void (*handler)(int), OS_SAVED_SIGNAL *saved) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(sig, &action, &saved->action);
}

void Os_Restore_Signal(int sig, const OS_SAVED_SIGNAL &saved) {
    sigaction(sig, &saved.action, nullptr);
}

#endif
