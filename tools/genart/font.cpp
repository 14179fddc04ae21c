// The generator's stroke font: each glyph is a few polylines on a 4 x 6 grid, drawn as round
// strokes; enough letters for the title, the captions and the gauge digits.
#include "tools/genart/art.h"

#include <algorithm>
#include <vector>

namespace {

struct Glyph {
    char c;
    std::vector<std::vector<V2>> strokes;
};

const std::vector<Glyph> &Glyphs() {
    static const std::vector<Glyph> g = {
        {'A', {{{0, 6}, {0, 2}, {2, 0}, {4, 2}, {4, 6}}, {{0, 3.6f}, {4, 3.6f}}}},
        {'B',
         {{{0, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}, {0, 3}},
          {{3, 3}, {4, 4}, {4, 5}, {3, 6}, {0, 6}, {0, 0}}}},
        {'C', {{{4, 0}, {1, 0}, {0, 1}, {0, 5}, {1, 6}, {4, 6}}}},
        {'D', {{{0, 0}, {3, 0}, {4, 1}, {4, 5}, {3, 6}, {0, 6}, {0, 0}}}},
        {'E', {{{4, 0}, {0, 0}, {0, 6}, {4, 6}}, {{0, 3}, {3, 3}}}},
        {'F', {{{4, 0}, {0, 0}, {0, 6}}, {{0, 3}, {3, 3}}}},
        {'G', {{{4, 0}, {1, 0}, {0, 1}, {0, 5}, {1, 6}, {4, 6}, {4, 3.2f}, {2.4f, 3.2f}}}},
        {'H', {{{0, 0}, {0, 6}}, {{4, 0}, {4, 6}}, {{0, 3}, {4, 3}}}},
        {'I', {{{2, 0}, {2, 6}}, {{1, 0}, {3, 0}}, {{1, 6}, {3, 6}}}},
        {'K', {{{0, 0}, {0, 6}}, {{4, 0}, {1.2f, 3}, {0, 3}}, {{1.2f, 3}, {4, 6}}}},
        {'L', {{{0, 0}, {0, 6}, {4, 6}}}},
        {'M', {{{0, 6}, {0, 0}, {2, 2.5f}, {4, 0}, {4, 6}}}},
        {'N', {{{0, 6}, {0, 0}, {4, 6}, {4, 0}}}},
        {'O', {{{1, 0}, {3, 0}, {4, 1}, {4, 5}, {3, 6}, {1, 6}, {0, 5}, {0, 1}, {1, 0}}}},
        {'P', {{{0, 6}, {0, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}, {0, 3}}}},
        {'R', {{{0, 6}, {0, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}, {0, 3}}, {{2, 3}, {4, 6}}}},
        {'S', {{{4, 0}, {1, 0}, {0, 1}, {0, 2}, {1, 3}, {3, 3}, {4, 4}, {4, 5}, {3, 6}, {0, 6}}}},
        {'T', {{{0, 0}, {4, 0}}, {{2, 0}, {2, 6}}}},
        {'U', {{{0, 0}, {0, 5}, {1, 6}, {3, 6}, {4, 5}, {4, 0}}}},
        {'V', {{{0, 0}, {2, 6}, {4, 0}}}},
        {'W', {{{0, 0}, {0.8f, 6}, {2, 2.4f}, {3.2f, 6}, {4, 0}}}},
        {'Y', {{{0, 0}, {2, 3}, {4, 0}}, {{2, 3}, {2, 6}}}},
        {'0',
         {{{1, 0}, {3, 0}, {4, 1}, {4, 5}, {3, 6}, {1, 6}, {0, 5}, {0, 1}, {1, 0}},
          {{3.2f, 1.2f}, {0.8f, 4.8f}}}},
        {'1', {{{0.8f, 1.4f}, {2.2f, 0}, {2.2f, 6}}, {{0.8f, 6}, {3.6f, 6}}}},
        {'2', {{{0, 1}, {1, 0}, {3, 0}, {4, 1}, {4, 2.2f}, {0, 6}, {4, 6}}}},
        {'3',
         {{{0, 0}, {4, 0}, {1.8f, 2.6f}, {3, 2.6f}, {4, 3.6f}, {4, 5}, {3, 6}, {1, 6}, {0, 5}}}},
    };
    return g;
}

const Glyph *Find(char c) {
    for (const Glyph &g : Glyphs())
        if (g.c == c) return &g;
    return nullptr;
}

} // namespace

float Text_Width(const std::string &s, float h) {
    // Glyphs are 4 wide on a 6-high grid, with 2 units between them.
    if (s.empty()) return 0.0f;
    return (s.size() * 6.0f - 2.0f) * h / 6.0f;
}

float Sd_Text(V2 p, const std::string &s, float x, float y, float h, float sw) {
    const float u = h / 6.0f;
    float best = 1e9f;
    for (size_t i = 0; i < s.size(); ++i) {
        float gx = x + i * 6.0f * u;
        // Skip glyphs far from p: their strokes cannot be nearer than the current best.
        if (p.x < gx - best - sw || p.x > gx + 4.0f * u + best + sw) continue;
        const Glyph *g = Find(s[i]);
        if (!g) continue;
        for (const auto &line : g->strokes)
            for (size_t k = 0; k + 1 < line.size(); ++k) {
                V2 a = {gx + line[k].x * u, y + line[k].y * u};
                V2 b = {gx + line[k + 1].x * u, y + line[k + 1].y * u};
                best = std::min(best, Sd_Segment(p, a, b, 0.0f));
            }
    }
    return best - sw * 0.5f;
}
