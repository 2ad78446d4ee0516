// Field conversions of the layout engine. Each writes exactly w characters
// to out and returns true when the value did not fit: the field is then w
// asterisks.
#pragma once

namespace vorna {

// Iw.m: a 32-bit integer with at least m digits, right-justified in w.
// I12 of -5 is "          -5"; I2.2 of 7 is "07".
bool format_integer(int value, int w, int m, char* out);

// Fw.d: the exact value rounded to d decimals, half-way cases to even,
// right-justified in w. F12.3 of -0.0004 is "       0.000": a value that
// rounds to zero has no sign. The 0 before the point is dropped when only
// that makes the text fit (0.5 in F4.3 is ".500").
bool format_fixed(double value, int w, int d, char* out);

// 1PEw.d: one digit before the point and d after, exactly rounded, half-way
// cases to even. Exponents E+05 for |e| <= 99, +100 / -324 without the
// letter above. 1PE12.3 of 123456.789 is "   1.235E+05".
bool format_exponent(double value, int w, int d, char* out);

}  // namespace vorna
