// The game's own random numbers: the additive-feedback generator of GNU libc (TYPE_3, 31 words
// of state), so a seed gives the same game on every C library and in the browser.
#pragma once

// Largest value Rand() returns, as RAND_MAX on glibc.
constexpr int RAND_LIMIT = 2147483647;

// Seeds the generator as glibc's srand(seed) does (a seed of 0 acts as 1).
void Seed_Rand(unsigned seed);
// The seed the generator last started from (what a recording keeps to replay the game).
unsigned Rand_Last_Seed();
// While on, Seed_Rand starts from seed whatever it is given (replaying a recorded game).
void Rand_Force_Seed(int on, unsigned seed);
// Next number in 0..RAND_LIMIT, the same sequence glibc's rand() gives after the same seed.
int Rand();
