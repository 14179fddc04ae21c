// The few transcendental functions the game uses, computed by our own code on every target, so
// that a browser's maths library cannot change a seeded game by a last bit.
#pragma once

// Sine of x (radians, |x| below a few thousand), rounded once to the nearest double.
double Fm_Sin(double x);
// Cosine of x (radians, |x| below a few thousand), rounded once to the nearest double.
double Fm_Cos(double x);
// Angle of (x, y) in -pi..pi with the usual signed-zero, infinity and NaN cases.
double Fm_Atan2(double y, double x);
// Ten to the power y, for |y| up to about 300, rounded once to the nearest double.
double Fm_Pow10(double y);
