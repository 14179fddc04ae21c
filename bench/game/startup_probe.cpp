// startup-probe: the whole program headless (as farwake-headless runs it) that prints, at the
// moment the title's first frame is presented, the wall clock in nanoseconds since the epoch
// (bench/scripts/startup.sh subtracts the time it started the process) and the processor time
// the process had used by then, in nanoseconds.
#include <cinttypes>
#include <cstdio>
#include <ctime>

#include "engine/input/dinput.h"
#include "platform/headless/headless.h"
#include "shell/winmain.h"

namespace {

int64_t first_frame_ns = 0;
int64_t first_frame_cpu_ns = 0;

int64_t Clock_Ns(clockid_t clock) {
    timespec ts;
    clock_gettime(clock, &ts);
    return (int64_t)ts.tv_sec * 1000000000 + ts.tv_nsec;
}

void First_Frame(const uint16_t *, int, int, int, int, void *) {
    if (first_frame_ns) return;
    first_frame_ns = Clock_Ns(CLOCK_REALTIME);
    first_frame_cpu_ns = Clock_Ns(CLOCK_PROCESS_CPUTIME_ID);
}

// Escape from the first read on: the title, the game and the credits each end at once.
void Escape(int, uint8_t state[256], void *) {
    for (int i = 0; i < 256; i++)
        state[i] = 0;
    state[DIK_ESCAPE] = 0x80;
}

} // namespace

int main() {
    Headless_Reset(1000);
    Headless_Set_Key_Source(Escape, nullptr);
    Headless_Set_Frame_Hook(First_Frame, nullptr);
    HINSTANCE__ instance{1};
    int code = WinMain(&instance, nullptr, nullptr, 0);
    if (code != 0 || !first_frame_ns) {
        std::fprintf(stderr, "startup-probe: no title frame was presented\n");
        return 1;
    }
    std::printf("%" PRId64 " %" PRId64 "\n", first_frame_ns, first_frame_cpu_ns);
    return 0;
}
