// The whole game run headless for many frames under a seeded random key script (part of the time
// steering at the nearest enemy and firing), checking after every frame that the count of
// enemies matches the live craft and stations, that every field stays in its range and that no
// pool record lost its shared pictures; and that every frame's entity line (--entities) keeps
// within every pool's bounds. FW_SOAK_FULL=1 runs 100,000 frames instead of 5,000.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/dik.h"
#include "engine/sound/dsound.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/state_log.h"
#include "world/craft.h"
#include "world/ship.h"
#include "world/weapons.h"
#include "world/world.h"

namespace {

// The key script: segments of a few to sixty frames, each either random keys or a hunt that
// turns toward the nearest enemy, thrusts while it is far and fires.
struct Script {
    std::mt19937 gen;
    int left = 0; // frames left in this segment
    bool hunt = false;
    uint8_t held[256] = {};

    explicit Script(unsigned seed) : gen(seed) {}
    int Roll(int n) { return (int)(gen() % (unsigned)n); }

    void New_Segment() {
        left = 5 + Roll(56);
        hunt = Roll(2) == 0;
        std::memset(held, 0, sizeof held);
        int turn = Roll(3);
        if (turn == 1) held[DIK_RIGHT] = 0x80;
        if (turn == 2) held[DIK_LEFT] = 0x80;
        if (Roll(2)) held[DIK_UP] = 0x80;
        if (Roll(7) == 0) held[DIK_TAB] = 0x80;
        if (Roll(5) < 3) held[DIK_LCONTROL] = 0x80;
        if (Roll(5) == 0) held[DIK_LMENU] = 0x80;
        if (Roll(20) == 0) held[DIK_F5] = 0x80;
        if (Roll(40) == 0) held[DIK_D] = 0x80;
        if (Roll(60) == 0) held[DIK_F10] = 0x80;
        if (Roll(150) == 0) held[DIK_R] = 0x80;
        if (Roll(3) == 0) held[DIK_RETURN] = 0x80;
    }

    // Turn keys that bring the ship's heading toward the nearest live enemy.
    void Aim(uint8_t state[256]) {
        float best = 1e30f, tx = 0, ty = 0;
        auto consider = [&](const BOB_TYP *pool, int n) {
            for (int i = 0; i < n; i++) {
                if (!pool[i].state) continue;
                float dx = pool[i].int_vars[INDEX_WORLD_X] - player_x;
                float dy = pool[i].int_vars[INDEX_WORLD_Y] - player_y;
                if (dx * dx + dy * dy < best) {
                    best = dx * dx + dy * dy;
                    tx = dx;
                    ty = dy;
                }
            }
        };
        consider(craft, MAX_CRAFT);
        consider(stations, MAX_STATIONS);
        if (best == 1e30f) return;
        int want = (int)std::lround(std::atan2(ty, tx) * 18 / 3.14159265) % 36;
        if (want < 0) want += 36;
        int diff = (want - player.int_vars[INDEX_HEADING] + 36) % 36;
        state[DIK_RIGHT] = state[DIK_LEFT] = 0;
        if (diff != 0) state[diff <= 18 ? DIK_RIGHT : DIK_LEFT] = 0x80;
        state[DIK_UP] = std::sqrt(best) > 600 ? 0x80 : 0;
        state[DIK_LCONTROL] = 0x80;
    }

    void Keys(uint8_t state[256]) {
        if (left-- <= 0) New_Segment();
        std::memcpy(state, held, 256);
        if (hunt) Aim(state);
    }
};

Script *script = nullptr;

void Key_Source(int read, uint8_t state[256], void *) {
    std::memset(state, 0, 256);
    if (read == 0)
        state[DIK_ESCAPE] = 0x80; // leaves the title screen
    else
        script->Keys(state);
}

int Live(const BOB_TYP *pool, int n) {
    int live = 0;
    for (int i = 0; i < n; i++)
        live += pool[i].state != 0;
    return live;
}

// Lengths as the craft (float squares) and the missiles (double squares) measure them.
float Length(float x, float y) {
    return (float)std::sqrt((double)(x * x + y * y));
}
float Length_Double(double x, double y) {
    return (float)std::sqrt(x * x + y * y);
}

// Every invariant of the world after a frame; the first broken one is reported.
::testing::AssertionResult World_Is_Sound() {
    auto fail = [](const std::string &what, int i) {
        return ::testing::AssertionFailure() << what << " (slot " << i << ")";
    };
    if (enemy_ships != Live(craft, MAX_CRAFT) + Live(stations, MAX_STATIONS))
        return ::testing::AssertionFailure()
               << "enemy_ships " << enemy_ships << " but " << Live(craft, MAX_CRAFT)
               << " craft and " << Live(stations, MAX_STATIONS) << " stations live";
    for (int i = 0; i < MAX_CRAFT; i++) {
        const BOB_TYP &c = craft[i];
        if (c.frames[0] != craft[0].frames[0] || c.width != 49)
            return fail("craft record lost its pictures", i);
        if (c.state != CRAFT_STATE_OFF && c.state != CRAFT_STATE_HUNT &&
            c.state != CRAFT_STATE_LAUNCH)
            return fail("craft state", i);
        if (!c.state) continue;
        if (c.int_vars[INDEX_HEADING] < 0 || c.int_vars[INDEX_HEADING] > 35)
            return fail("craft heading", i);
        if (c.int_vars[INDEX_FIRE_DELAY] < 0 || c.int_vars[INDEX_FIRE_DELAY] > 24)
            return fail("craft fire delay", i);
        if (Length(c.float_vars[INDEX_VEL_X], c.float_vars[INDEX_VEL_Y]) >= 10.0f)
            return fail("craft speed", i);
        if (c.state == CRAFT_STATE_LAUNCH && (c.counter_2 < 1 || c.counter_2 > 60))
            return fail("craft launch counter", i);
    }
    for (int i = 0; i < MAX_BULLETS; i++) {
        const BOB_TYP &b = bullets[i];
        if (b.frames[0] != bullets[0].frames[0] || b.anims[1] != bullets[0].anims[1])
            return fail("shot record lost its pictures", i);
        if (b.state != 0 && b.state != 1) return fail("shot state", i);
        if (!b.state) continue;
        if (b.counter_1 < 1 || b.counter_1 > 99) return fail("shot age", i);
        if (b.anim_state != BULLET_COLOR_PLAYER && b.anim_state != BULLET_COLOR_ENEMY)
            return fail("shot colour", i);
        if (b.curr_anim != b.anim_state) return fail("shot sequence", i);
    }
    for (int i = 0; i < MAX_MISSILES; i++) {
        const BOB_TYP &m = missiles[i];
        if (m.frames[0] != missiles[0].frames[0])
            return fail("missile record lost its pictures", i);
        if (m.state != 0 && m.state != 1) return fail("missile state", i);
        if (!m.state) continue;
        if (m.counter_1 < 0 || m.counter_1 > 99) return fail("missile life", i);
        if (m.int_vars[INDEX_HEADING] < 0 || m.int_vars[INDEX_HEADING] > 35)
            return fail("missile heading", i);
        if (Length_Double(m.float_vars[INDEX_VEL_X], m.float_vars[INDEX_VEL_Y]) >= 30.0f)
            return fail("missile speed " + std::to_string(m.float_vars[INDEX_VEL_X]) + "," +
                            std::to_string(m.float_vars[INDEX_VEL_Y]) + " life " +
                            std::to_string(m.counter_1) + " heading " +
                            std::to_string(m.int_vars[INDEX_HEADING]),
                        i);
    }
    for (int i = 0; i < MAX_STATIONS; i++) {
        const BOB_TYP &s = stations[i];
        if (s.frames[0] != stations[0].frames[0])
            return fail("station record lost its pictures", i);
        if (s.state != 0 && s.state != 1) return fail("station state", i);
        if (i >= 2 && s.state) return fail("a station in a slot never placed", i);
        if (s.state && (s.counter_1 < 1 || s.counter_1 > 50)) return fail("station hit points", i);
        if (s.state && (s.counter_2 < 0 || s.counter_2 > 1000))
            return fail("station launch timer", i);
    }
    for (int i = 0; i < MAX_POWERUPS; i++) {
        const BOB_TYP &p = powerups[i];
        if (p.frames[0] != powerups[0].frames[0])
            return fail("power-up record lost its pictures", i);
        if (p.state != 0 && p.state != 1) return fail("power-up state", i);
        if (p.state && (p.curr_frame < 0 || p.curr_frame > 3)) return fail("power-up kind", i);
    }
    for (int i = 0; i < MAX_PARTICLES; i++)
        if (particles[i].life < 0 || particles[i].life > 31) return fail("particle life", i);
    if (explosion.state != 0 && explosion.state != 1) return fail("explosion state", 0);
    if (explosion.curr_frame < 0 || explosion.curr_frame > 3) return fail("explosion picture", 0);
    int shield = player.int_vars[INDEX_SHIELD];
    if (shield < 0 || shield > 3) return fail("shield level", 0);
    if (missile_load < 0 || missile_load > 6) return fail("missile load", 0);
    if (missile_delay < 0 || missile_delay > 49) return fail("missile delay", 0);
    if (fuel < 0.0f || fuel > 300.0f) return fail("fuel", 0);
    if (score < 0 || score % 100 != 0) return fail("score " + std::to_string(score), 0);
    return ::testing::AssertionSuccess();
}

// Reads an entity line: {"read":N,"pool":[[n,...],...],...,"stars_crc":C}. Each pool's records
// become rows of numbers; false when the line is not of that shape.
struct Entity_Line {
    long long read = -1, stars_crc = -1;
    std::vector<std::pair<std::string, std::vector<std::vector<double>>>> pools;

    bool Parse(const std::string &s) {
        size_t i = 0;
        auto eat = [&](char c) { return i < s.size() && s[i] == c ? (++i, true) : false; };
        auto number = [&](double *v) {
            char *end = nullptr;
            *v = std::strtod(s.c_str() + i, &end);
            if (end == s.c_str() + i) return false;
            i = (size_t)(end - s.c_str());
            return true;
        };
        auto key = [&](std::string *k) {
            if (!eat('"')) return false;
            size_t close = s.find('"', i);
            if (close == std::string::npos) return false;
            *k = s.substr(i, close - i);
            i = close + 1;
            return eat(':');
        };
        std::string k;
        double v;
        if (!eat('{') || !key(&k) || k != "read" || !number(&v)) return false;
        read = (long long)v;
        while (eat(',')) {
            if (!key(&k)) return false;
            if (k == "stars_crc") {
                if (!number(&v)) return false;
                stars_crc = (long long)v;
                return eat('}') && i == s.size();
            }
            std::vector<std::vector<double>> rows;
            if (!eat('[')) return false;
            if (!eat(']')) {
                do {
                    std::vector<double> row;
                    if (!eat('[')) return false;
                    do {
                        if (!number(&v)) return false;
                        row.push_back(v);
                    } while (eat(','));
                    if (!eat(']')) return false;
                    rows.push_back(row);
                } while (eat(','));
                if (!eat(']')) return false;
            }
            pools.emplace_back(k, rows);
        }
        return false;
    }
};

// Every pool of the entity line in its order, slots inside the pool, rising, with live records of
// the right width; the explosion's one record; the counts the state line gives.
::testing::AssertionResult Entities_In_Bounds(const std::string &text, int read) {
    Entity_Line e;
    if (!e.Parse(text)) return ::testing::AssertionFailure() << "not an entity line: " << text;
    if (e.read != read) return ::testing::AssertionFailure() << "read " << e.read;
    if (e.stars_crc < 0 || e.stars_crc > 0xFFFFFFFFLL)
        return ::testing::AssertionFailure() << "stars_crc " << e.stars_crc;
    struct Want {
        const char *name;
        int slots, width, live;
    } want[] = {
        {"craft", MAX_CRAFT, 13, Live(craft, MAX_CRAFT)},
        {"stations", MAX_STATIONS, 13, Live(stations, MAX_STATIONS)},
        {"missiles", MAX_MISSILES, 13, Live(missiles, MAX_MISSILES)},
        {"bullets", MAX_BULLETS, 13, Live(bullets, MAX_BULLETS)},
        {"powerups", MAX_POWERUPS, 13, Live(powerups, MAX_POWERUPS)},
        {"explosion", 1, 13, 1},
        {"particles", MAX_PARTICLES, 6, -1},
    };
    if (e.pools.size() != std::size(want))
        return ::testing::AssertionFailure() << e.pools.size() << " pools";
    for (size_t p = 0; p < std::size(want); p++) {
        const Want &w = want[p];
        const auto &rows = e.pools[p].second;
        auto fail = [&](const std::string &what) {
            return ::testing::AssertionFailure() << w.name << ": " << what;
        };
        if (e.pools[p].first != w.name) return fail("found " + e.pools[p].first);
        if ((int)rows.size() > w.slots) return fail(std::to_string(rows.size()) + " records");
        if (w.live >= 0 && (int)rows.size() != w.live)
            return fail(std::to_string(rows.size()) + " records, " + std::to_string(w.live) +
                        " live");
        double last_slot = -1;
        for (const auto &row : rows) {
            if ((int)row.size() != w.width)
                return fail("a record of " + std::to_string(row.size()));
            if (row[0] <= last_slot || row[0] >= w.slots || row[0] != (int)row[0])
                return fail("slot " + std::to_string(row[0]));
            last_slot = row[0];
            bool is_explosion = p == 5;
            if (w.width == 13 && !is_explosion && row[1] == 0) return fail("a free record listed");
            if (w.width == 13 && (row[4] < 0 || row[4] > 35)) return fail("heading");
            if (w.width == 6 && (row[5] < 1 || row[5] > 31)) return fail("particle life");
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(Soak, EntityBoundsCatchBrokenLines) {
    // A world of nothing live (no game has been set up in this process).
    const std::string pools = "{\"read\":3,\"craft\":[],\"stations\":[],\"missiles\":[],"
                              "\"bullets\":[],\"powerups\":[],";
    const std::string expl = "\"explosion\":[[0,0,0,0,0,0,0,0,0,0,0,0,2]],";
    EXPECT_TRUE(
        Entities_In_Bounds(pools + expl + "\"particles\":[[49,1,1,1,1,31]],\"stars_crc\":5}", 3));
    EXPECT_FALSE(
        Entities_In_Bounds(pools + expl + "\"particles\":[[50,1,1,1,1,3]],\"stars_crc\":5}", 3));
    EXPECT_FALSE(
        Entities_In_Bounds(pools + expl + "\"particles\":[[4,1,1,1,1,0]],\"stars_crc\":5}", 3));
    EXPECT_FALSE(Entities_In_Bounds(
        pools + expl + "\"particles\":[[4,1,1,1,1,2],[4,1,1,1,1,2]],\"stars_crc\":5}", 3));
    EXPECT_FALSE(Entities_In_Bounds(pools + "\"particles\":[],\"stars_crc\":5}", 3));
    EXPECT_FALSE(Entities_In_Bounds(pools + expl + "\"particles\":[],\"stars_crc\":5}", 4));
    EXPECT_FALSE(Entities_In_Bounds(pools + expl + "\"particles\":[]", 3));
    EXPECT_FALSE(Entities_In_Bounds(
        "{\"read\":3,\"craft\":[[2,1,0,0,0,0,0,0,0,0,0,0,0]],\"stations\":[],\"missiles\":[],"
        "\"bullets\":[],\"powerups\":[]," +
            expl + "\"particles\":[],\"stars_crc\":5}",
        3));
}

TEST(Soak, SeededKeyScriptKeepsTheWorldSound) {
    const char *full = std::getenv("FW_SOAK_FULL");
    const int frames = full && std::strcmp(full, "1") == 0 ? 100000 : 5000;
    Script keys(20261207);
    script = &keys;
    Headless_Reset(4242);
    Headless_Set_Available(1, 1);
    Headless_Set_Key_Source(Key_Source, nullptr);
    ASSERT_EQ(Plat_Init(), 1);
    ASSERT_EQ(Plat_Open_Window("farwake soak", 800, 600), 1);
    Game_Init(nullptr);
    ASSERT_TRUE(World_Is_Sound()) << "after set-up";

    int craft_lost = 0, stations_lost = 0, ships_lost = 0, wins = 0, enemy_shots = 0, revived = 0;
    int max_score = 0;
    for (int frame = 1; frame <= frames; frame++) {
        int craft_before = Live(craft, MAX_CRAFT);
        int stations_before = Live(stations, MAX_STATIONS);
        int alive_before = player.state;
        int enemies_before = enemy_ships;
        int enemy_shots_before = 0;
        for (const BOB_TYP &b : bullets)
            enemy_shots_before += b.state && b.anim_state == BULLET_COLOR_ENEMY;
        Game_Main(nullptr);
        ASSERT_TRUE(World_Is_Sound()) << "after frame " << frame;
        int read = Headless_Keyboard_Reads() - 1;
        ASSERT_TRUE(Entities_In_Bounds(Format_Entity_Line(read), read)) << "after frame " << frame;
        craft_lost += std::max(0, craft_before - Live(craft, MAX_CRAFT));
        stations_lost += std::max(0, stations_before - Live(stations, MAX_STATIONS));
        ships_lost += alive_before && !player.state;
        revived += !alive_before && player.state;
        wins += enemies_before > 0 && enemy_ships == 0;
        int enemy_shots_after = 0;
        for (const BOB_TYP &b : bullets)
            enemy_shots_after += b.state && b.anim_state == BULLET_COLOR_ENEMY;
        enemy_shots += std::max(0, enemy_shots_after - enemy_shots_before);
        max_score = std::max(max_score, score);
    }
    // The run has to have been a fight for its checks to mean anything.
    EXPECT_GT(craft_lost, 0);
    EXPECT_GT(enemy_shots, 0);
    EXPECT_GT(max_score, 0);
    if (frames >= 100000) {
        // The long run also wins, loses and restarts games.
        EXPECT_GT(wins, 0);
        EXPECT_GT(ships_lost, 0);
        EXPECT_GT(revived, 0);
    }
    RecordProperty("craft_lost", craft_lost);
    RecordProperty("stations_lost", stations_lost);
    RecordProperty("ships_lost", ships_lost);
    RecordProperty("wins", wins);
    std::printf("%d frames: %d craft and %d stations destroyed, %d ships lost, %d wins, "
                "best score %d\n",
                frames, craft_lost, stations_lost, ships_lost, wins, max_score);

    Game_Shutdown(nullptr);
    Plat_Close_Window();
    Plat_Quit();
    Headless_Set_Key_Source(nullptr, nullptr);
    script = nullptr;
}

} // namespace
