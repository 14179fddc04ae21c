// The mixer's inner loop: one voice's frames read by linear interpolation from its oversampled
// samples and added, scaled to each channel, into the stereo accumulator.
#pragma once
#include <cstdint>

// Adds n frames read at pos, pos + step, ... (32.32 in source samples) from the oversampled
// samples wide into out (n stereo pairs), each leading into the wide sample after its own;
// gains are Q15. The caller keeps every read one wide sample short of the end.
void Add_Span(const int16_t *wide, uint64_t pos, uint64_t step, int n, int32_t gain_l,
              int32_t gain_r, int32_t *out);
// The same with the loops every processor has (the vector one is chosen at start where the
// processor has AVX2): the same sums, kept for comparison.
void Add_Span_Plain(const int16_t *wide, uint64_t pos, uint64_t step, int n, int32_t gain_l,
                    int32_t gain_r, int32_t *out);
