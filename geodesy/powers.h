// Powers that give exactly the double std::pow gives, mostly without calling
// it: the projection's digits were made with glibc's pow, and pow was the
// larger part of its cost. Plain C++.
//
// glibc's pow is not correctly rounded. Its source bounds the error by the
// exp step's 0.509 ULP (0.511 without an fma unit) plus the log step's
// relative error of 1.3 * 2^-68 (1.5 * 2^-68) scaled by |y log x|: 0.54 ULP
// at worst, when |y log x| nears 710. Here |x| stays within 2^-20..2^20 and
// y within 0.5..6, so |y log x| < 84 and the error is below 0.515 ULP. So
// when the true power lies within 0.48 ULP of a double, pow can only have
// returned that double. We compute the power as an unevaluated sum of two
// doubles, good to about 2^-100, and return that double when it is so
// close; otherwise (one case in 25) we ask pow itself.
//
// The products are exact through std::fma: one instruction where the caller
// is built for processors that have it, glibc's exact function elsewhere.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

namespace quillet::powers {

struct Sum {
    double high, low;
};

inline Sum ExactProduct(double a, double b) {
    const double product = a * b;
    return {product, std::fma(a, b, -product)};
}

// The double nearest to high + low, if pow cannot have rounded the same true
// value to any other double.
inline bool Settled(double high, double low, double& result) {
    const double sum = high + low;
    const double tail = low - (sum - high);  // what the rounding left out
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(sum) & 0x7FFF'FFFF'FFFF'FFFFu;
    const std::uint64_t exponent = bits >> 52;
    // A power of two has a nearer neighbour below; tiny and huge values are
    // not worth the care.
    if ((bits & 0x000F'FFFF'FFFF'FFFFu) == 0 || exponent < 200 || exponent > 1800) return false;
    const double ulp = std::bit_cast<double>((exponent - 52) << 52);
    if (!(std::fabs(tail) < 0.48 * ulp)) return false;
    result = sum;
    return true;
}

// Where the bound above holds; pow answers outside.
inline bool InRange(double x) { return std::fabs(x) >= 0x1p-20 && std::fabs(x) <= 0x1p20; }

// std::pow(x, N) for a whole N from 2 up.
template <int N>
inline double Power(double x) {
    static_assert(N >= 2 && N <= 8);
    if (!InRange(x)) return std::pow(x, N);
    Sum power{x, 0};
    for (int i = 1; i < N; ++i) {
        const Sum product = ExactProduct(power.high, x);
        const double low = product.low + power.low * x;
        power.high = product.high + low;
        power.low = low - (power.high - product.high);
    }
    double result = 0;
    return Settled(power.high, power.low, result) ? result : std::pow(x, N);
}

// The square root as a sum: the rounded root and the rest of the true one.
inline Sum Root(double x) {
    const double root = std::sqrt(x);
    const double remainder = std::fma(-root, root, x);  // exact
    return {root, remainder / (2 * root)};
}

// std::pow(x, 0.5), not std::sqrt: they differ for -0 and -inf.
inline double SquareRoot(double x) {
    if (!(x > 0) || !InRange(x)) return std::pow(x, 0.5);
    // Root(x) without its division: the rest of the root, remainder / 2root,
    // is within 0.48 ULP when the remainder is within 0.96 ULP * root.
    const double root = std::sqrt(x);
    const double remainder = std::fma(-root, root, x);
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(root);
    if ((bits & 0x000F'FFFF'FFFF'FFFFu) == 0) return std::pow(x, 0.5);  // a power of two: see Settled
    const double ulp = std::bit_cast<double>(((bits >> 52) - 52) << 52);
    return std::fabs(remainder) < 0.96 * ulp * root ? root : std::pow(x, 0.5);
}

// std::pow(x, 1.5).
inline double PowerOneAndHalf(double x) {
    if (!(x > 0) || !InRange(x)) return std::pow(x, 1.5);
    const Sum root = Root(x);
    const Sum product = ExactProduct(root.high, x);
    double result = 0;
    return Settled(product.high, product.low + root.low * x, result) ? result : std::pow(x, 1.5);
}

}  // namespace quillet::powers
