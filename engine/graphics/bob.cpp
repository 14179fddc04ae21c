// Blitter objects: creation, frame loading, animation, movement and keyed drawing. Frame
// surfaces belong to the display device; sequences belong to this module's registry, so byte
// copies of a record may share both and still be destroyed in any order without double release.
#include "engine/graphics/bob.h"

#include "engine/graphics/clock.h"

#include <cstring>
#include <memory>
#include <unordered_map>

namespace {

// Frame surfaces made by Create_BOB and not released since, with the display that made them:
// after that display's shut-down they are gone, whatever the records still point at.
std::unordered_map<LPDIRECTDRAWSURFACE4, LPDIRECTDRAW4> &Live_Frames() {
    static std::unordered_map<LPDIRECTDRAWSURFACE4, LPDIRECTDRAW4> frames;
    return frames;
}

// Sequences made by Load_Animation_BOB and not freed since, with their lengths (end marker
// excluded). Records only forget sequences, so the registry frees the rest at exit.
struct Sequence {
    std::unique_ptr<int[]> indices;
    int length;
};

std::unordered_map<int *, Sequence> &Live_Sequences() {
    static std::unordered_map<int *, Sequence> sequences;
    return sequences;
}

int Frame_Alive(LPDIRECTDRAWSURFACE4 surf) {
    auto &live = Live_Frames();
    if (!lpdd) live.clear(); // the display is shut: every frame went with it
    if (!surf) return 0;
    auto it = live.find(surf);
    return it != live.end() && it->second == lpdd;
}

// The surface of the current frame when it can be drawn from, else null.
LPDIRECTDRAWSURFACE4 Current_Frame(const BOB_TYP *bob) {
    if (bob->curr_frame < 0 || bob->curr_frame >= MAX_BOB_FRAMES) return nullptr;
    LPDIRECTDRAWSURFACE4 surf = bob->frames[bob->curr_frame];
    return Frame_Alive(surf) ? surf : nullptr;
}

// Checks the frame and the cell for the frame loaders; returns the locked frame memory.
UCHAR *Frame_Target(BOB_TYP *bob, BITMAP_FILE_TAG *bitmap, int frame, int bits, int64_t x0,
                    int64_t y0, int *pitch) {
    if (!bitmap || !bitmap->buffer || bitmap->info_header.biBitCount != bits) return nullptr;
    if (frame < 0 || frame >= MAX_BOB_FRAMES || !Frame_Alive(bob->frames[frame])) return nullptr;
    if (bob->width <= 0 || bob->height <= 0) return nullptr;
    int64_t bw = bitmap->info_header.biWidth;
    int64_t bh = bitmap->info_header.biHeight < 0 ? -(int64_t)bitmap->info_header.biHeight
                                                  : bitmap->info_header.biHeight;
    if (x0 < 0 || y0 < 0 || x0 + bob->width > bw || y0 + bob->height > bh) return nullptr;
    LPDIRECTDRAWSURFACE4 surf = bob->frames[frame];
    if (bob->width_pad < 0 || bob->width_pad > 7 || bob->height > surf->height) return nullptr;
    int64_t row_bytes = ((int64_t)bob->width + bob->width_pad) * (bits / 8);
    // 16-bit rows go where the surface's pitch puts them, as the blit reads them; 8-bit rows
    // are packed width + width_pad bytes apart.
    int64_t stride = bits == 16 ? surf->pitch : row_bytes;
    if (row_bytes > surf->pitch ||
        stride * (bob->height - 1) + row_bytes > (int64_t)surf->memory.size())
        return nullptr;
    UCHAR *mem = DDraw_Lock_Surface(surf, pitch);
    if (mem) *pitch = (int)stride;
    return mem;
}

int Load_Frame(BOB_TYP *bob, BITMAP_FILE_TAG *bitmap, int frame, int cx, int cy, int mode,
               int bits) {
    if (!bob) return 0;
    int64_t x0 = cx, y0 = cy;
    if (mode == EXTRACT_CELL) {
        x0 = (int64_t)cx * ((int64_t)bob->width + 1) + 1;
        y0 = (int64_t)cy * ((int64_t)bob->height + 1) + 1;
    }
    int pitch = 0;
    UCHAR *dst = Frame_Target(bob, bitmap, frame, bits, x0, y0, &pitch);
    if (!dst) return 0;
    int bytes = bits / 8;
    size_t src_pitch = (size_t)bitmap->info_header.biWidth * bytes;
    const UCHAR *src = bitmap->buffer + (size_t)y0 * src_pitch + (size_t)x0 * bytes;
    size_t visible = (size_t)bob->width * bytes;
    size_t row = (size_t)(bob->width + bob->width_pad) * bytes;
    // The pad columns are never drawn; they hold zero so that the frame's memory is defined.
    for (int i = 0; i < bob->height; i++) {
        std::memcpy(dst, src, visible);
        std::memset(dst + visible, 0, row - visible);
        src += src_pitch;
        dst += pitch;
    }
    DDraw_Unlock_Surface(bob->frames[frame]);
    bob->attr |= BOB_ATTR_LOADED;
    return 1;
}

} // namespace

int Create_BOB(BOB_TYP *bob, int x, int y, int width, int height, int num_frames, int attr,
               int mem_flags, USHORT color_key, int bpp) {
    if (!bob) return 0;
    bob->state = 1;
    bob->anim_state = 0;
    bob->attr = attr;
    bob->x = x;
    bob->y = y;
    bob->xv = bob->yv = 0;
    bob->width = width;
    bob->height = height;
    bob->bpp = bpp;
    bob->counter_1 = bob->counter_2 = bob->counter_3 = bob->counter_4 = 0;
    bob->curr_frame = 0;
    bob->curr_anim = bob->anim_counter = bob->anim_pos = bob->anim_speed = 0;
    for (auto &f : bob->frames)
        f = nullptr;
    for (auto &a : bob->anims)
        a = nullptr;
    bob->width_pad = (width % 8) ? 8 - (width % 8) : 0;
    Write_Error("\nCreate BOB %d", bob->width_pad);
    // Beyond the record's 64 frame slots there is nowhere to keep a surface.
    int fits = num_frames >= 0 && num_frames <= MAX_BOB_FRAMES;
    bob->num_frames = num_frames < 0 ? 0 : (fits ? num_frames : MAX_BOB_FRAMES);
    if (width <= 0 || height <= 0 || width > BITMAP_MAX_DIM || height > BITMAP_MAX_DIM) return 0;
    for (int i = 0; i < bob->num_frames; i++) {
        LPDIRECTDRAWSURFACE4 surf =
            DDraw_Create_Surface(width + bob->width_pad, height, mem_flags, color_key);
        if (!surf) return 0;
        surf->color_key = color_key;
        bob->frames[i] = surf;
        Live_Frames()[surf] = lpdd;
    }
    return fits;
}

int Destroy_BOB(BOB_TYP *bob) {
    if (!bob) return 0;
    if (bob->attr != 0) {
        for (auto &f : bob->frames)
            f = nullptr;
        for (auto &a : bob->anims)
            a = nullptr;
        return 1;
    }
    // A record of its own (attr 0) releases what it holds; pointers keep their values, and a
    // copy destroyed later finds them gone from the registries and releases nothing twice.
    auto &frames = Live_Frames();
    for (LPDIRECTDRAWSURFACE4 f : bob->frames) {
        if (!Frame_Alive(f)) continue;
        frames.erase(f);
        DDraw_Release_Surface(f);
    }
    auto &seqs = Live_Sequences();
    for (int *a : bob->anims)
        if (a) seqs.erase(a);
    return 1;
}

int Duplicate_BOB(BOB_TYP *source, BOB_TYP *dest) {
    if (!source || !dest || source == dest) return 0;
    std::memcpy(dest, source, sizeof *dest);
    dest->attr |= BOB_ATTR_DUPLICATE;
    return 1;
}

int Draw_BOB16(BOB_TYP *bob, LPDIRECTDRAWSURFACE4 dest) {
    if (!bob) return 0;
    if (!(bob->attr & BOB_ATTR_VISIBLE)) return 1;
    LPDIRECTDRAWSURFACE4 frame = Current_Frame(bob);
    if (!frame || !dest) return 0;
    RECT src_rect{0, 0, bob->width, bob->height};
    RECT dest_rect{bob->x, bob->y, bob->x + bob->width, bob->y + bob->height};
    return DDraw_Blt(dest, &dest_rect, frame, &src_rect, DDBLT_KEYSRC | DDBLT_WAIT) ? 1 : 0;
}

int Draw_BOB(BOB_TYP *bob, LPDIRECTDRAWSURFACE4 dest) {
    return Draw_BOB16(bob, dest);
}

int Draw_Stretched_BOB16(BOB_TYP *bob, int swidth, int sheight, LPDIRECTDRAWSURFACE4 dest) {
    if (!bob) return 0;
    if (!(bob->attr & BOB_ATTR_VISIBLE)) return 1;
    LPDIRECTDRAWSURFACE4 frame = Current_Frame(bob);
    if (!frame || !dest) return 0;
    RECT src_rect{0, 0, bob->width, bob->height};
    RECT dest_rect{bob->x, bob->y, bob->x + swidth, bob->y + sheight};
    return DDraw_Blt(dest, &dest_rect, frame, &src_rect, DDBLT_KEYSRC | DDBLT_WAIT) ? 1 : 0;
}

int Draw_Stretched_BOB(BOB_TYP *bob, int swidth, int sheight, LPDIRECTDRAWSURFACE4 dest) {
    return Draw_Stretched_BOB16(bob, swidth, sheight, dest);
}

int Load_Frame_BOB16(BOB_TYP *bob, BITMAP_FILE_TAG *bitmap, int frame, int cx, int cy, int mode) {
    return Load_Frame(bob, bitmap, frame, cx, cy, mode, 16);
}

int Load_Frame_BOB8(BOB_TYP *bob, BITMAP_FILE_TAG *bitmap, int frame, int cx, int cy, int mode) {
    return Load_Frame(bob, bitmap, frame, cx, cy, mode, 8);
}

int Load_Animation_BOB(BOB_TYP *bob, int anim_index, int num_frames, int *sequence) {
    if (!bob || anim_index < 0 || anim_index >= MAX_BOB_ANIMATIONS) return 0;
    if (num_frames < 0 || num_frames > 65536 || (num_frames > 0 && !sequence)) return 0;
    std::unique_ptr<int[]> seq(new (std::nothrow) int[(size_t)num_frames + 1]);
    if (!seq) return 0;
    for (int i = 0; i < num_frames; i++)
        seq[i] = sequence[i];
    seq[num_frames] = -1;
    int *raw = seq.get();
    Live_Sequences()[raw] = Sequence{std::move(seq), num_frames};
    bob->anims[anim_index] = raw;
    return 1;
}

int Set_Animation_BOB(BOB_TYP *bob, int anim_index) {
    if (!bob) return 0;
    bob->curr_anim = anim_index;
    bob->anim_pos = 0;
    return 1;
}

int Set_Anim_Speed_BOB(BOB_TYP *bob, int speed) {
    if (!bob) return 0;
    bob->anim_speed = speed;
    return 1;
}

int Animate_BOB(BOB_TYP *bob) {
    if (!bob) return 0;
    if (bob->attr & BOB_ATTR_SINGLE_FRAME) {
        bob->curr_frame = 0;
    } else if (bob->attr & BOB_ATTR_MULTI_FRAME) {
        if (++bob->anim_counter >= bob->anim_speed) {
            bob->anim_counter = 0;
            if (++bob->curr_frame >= bob->num_frames) bob->curr_frame = 0;
        }
    } else if (bob->attr & BOB_ATTR_MULTI_ANIM) {
        if (bob->curr_anim < 0 || bob->curr_anim >= MAX_BOB_ANIMATIONS) return 0;
        auto &seqs = Live_Sequences();
        auto found = seqs.find(bob->anims[bob->curr_anim]);
        if (found == seqs.end()) return 0;
        const int *seq = found->second.indices.get();
        if (++bob->anim_counter >= bob->anim_speed) {
            bob->anim_counter = 0;
            // A position that is not on one of the sequence's frames starts it again.
            if (bob->anim_pos < 0 || bob->anim_pos >= found->second.length) bob->anim_pos = -1;
            bob->curr_frame = seq[++bob->anim_pos];
            if (bob->curr_frame == -1) {
                if (bob->attr & BOB_ATTR_ANIM_ONE_SHOT) {
                    bob->anim_state = BOB_STATE_ANIM_DONE;
                    if (bob->anim_pos > 0) bob->anim_pos--;
                    bob->curr_frame = seq[bob->anim_pos];
                } else {
                    bob->anim_pos = 0;
                    bob->curr_frame = seq[0];
                }
            }
        }
    }
    return 1;
}

int Move_BOB(BOB_TYP *bob) {
    if (!bob) return 0;
    bob->x += bob->xv;
    bob->y += bob->yv;
    if (bob->attr & BOB_ATTR_WRAPAROUND) {
        if (bob->x > max_clip_x)
            bob->x = min_clip_x - bob->width;
        else if (bob->x < min_clip_x - bob->width)
            bob->x = max_clip_x;
        if (bob->y > max_clip_y)
            bob->y = min_clip_y - bob->height;
        else if (bob->y < min_clip_y - bob->height)
            bob->y = max_clip_y;
    } else if (bob->attr & BOB_ATTR_BOUNCE) {
        if (bob->x > max_clip_x - bob->width || bob->x < min_clip_x) bob->xv = -bob->xv;
        if (bob->y > max_clip_y - bob->height || bob->y < min_clip_y) bob->yv = -bob->yv;
    }
    return 1;
}

int Set_Position_BOB(BOB_TYP *bob, int x, int y) {
    if (!bob) return 0;
    bob->x = x;
    bob->y = y;
    return 1;
}

int Set_Velocity_BOB(BOB_TYP *bob, int xv, int yv) {
    if (!bob) return 0;
    bob->xv = xv;
    bob->yv = yv;
    return 1;
}

int Hide_BOB(BOB_TYP *bob) {
    if (!bob) return 0;
    bob->attr &= ~BOB_ATTR_VISIBLE;
    return 1;
}

int Show_BOB(BOB_TYP *bob) {
    if (!bob) return 0;
    bob->attr |= BOB_ATTR_VISIBLE;
    return 1;
}

int Collision_Test_BOB(BOB_TYP *a, BOB_TYP *b) {
    if (!a || !b) return 0;
    return Collision_Test(a->x, a->y, a->width, a->height, b->x, b->y, b->width, b->height);
}
