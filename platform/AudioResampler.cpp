#include "platform/AudioResampler.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// The filter. kZeroCrossings of the sinc on either side of its centre and
// Kaiser's beta set how steep and how deep the stop band is (85 dB and
// more); kPassFraction places the cut-off below the lower half rate so
// that the transition band ends about there.
constexpr double kZeroCrossings = 28;
constexpr double kKaiserBeta = 8.5;
constexpr double kPassFraction = 0.92;
// Rates whose ratio needs more rows than this (an odd device rate) blend
// the two rows around each position instead.
constexpr size_t kMaxPhases = 1024;

constexpr double kPi = 3.14159265358979323846;

// The zeroth-order modified Bessel function of the first kind, by its series.
double BesselI0(double x) {
    double sum = 1;
    double term = 1;
    for (int k = 1; k < 50 && term > sum * 1e-12; ++k) {
        const double half = x / (2 * k);
        term *= half * half;
        sum += term;
    }
    return sum;
}

// The windowed sinc at u zero crossings from its centre.
double Kernel(double u) {
    if (std::fabs(u) >= kZeroCrossings) {
        return 0;
    }
    const double sinc = u == 0 ? 1 : std::sin(kPi * u) / (kPi * u);
    const double r = u / kZeroCrossings;
    return sinc * BesselI0(kKaiserBeta * std::sqrt(1 - r * r)) / BesselI0(kKaiserBeta);
}

// The dot product of a row of coefficients with the input it covers, in
// four running sums so that the compiler can keep them in one vector.
float Dot(const float* c, const float* x, size_t n) {
    float s[4] = {0, 0, 0, 0};
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        for (size_t k = 0; k < 4; ++k) {
            s[k] += c[i + k] * x[i + k];
        }
    }
    for (; i < n; ++i) {
        s[0] += c[i] * x[i];
    }
    return (s[0] + s[1]) + (s[2] + s[3]);
}

}  // namespace

AudioResampler::AudioResampler(int fromRate, int toRate)
    : from_(static_cast<size_t>(std::max(fromRate, 1))),
      to_(static_cast<size_t>(std::max(toRate, 1))) {
    const size_t divisor = std::gcd(from_, to_);
    exact_ = to_ / divisor <= kMaxPhases;
    phases_ = exact_ ? to_ / divisor : kMaxPhases;
    // Cut-off as a fraction of the input's half rate: going down, the
    // output's half rate is the limit.
    const double band = kPassFraction * std::min(1.0, double(to_) / double(from_));
    half_ = static_cast<size_t>(std::ceil(kZeroCrossings / band));
    taps_ = 2 * half_;
    coefficients_.assign((phases_ + 1) * taps_, 0.0f);
    for (size_t p = 0; p <= phases_; ++p) {
        // Tap n weighs input frame (position's whole part) - half_ + 1 + n.
        const double fraction = double(p) / double(phases_);
        float* row = &coefficients_[p * taps_];
        double sum = 0;
        for (size_t n = 0; n < taps_; ++n) {
            const double distance = fraction + double(half_) - 1 - double(n);
            const double c = Kernel(distance * band);
            row[n] = static_cast<float>(c);
            sum += c;
        }
        // Every row passes a constant unchanged, so no position adds a ripple.
        for (size_t n = 0; n < taps_; ++n) {
            row[n] = static_cast<float>(row[n] / sum);
        }
    }
}

size_t AudioResampler::OutputFrames(size_t inputFrames) const {
    return (inputFrames * to_ + from_ - 1) / from_;
}

void AudioResampler::Convert(const float* in, size_t inputFrames, size_t inStride, float* out,
                             size_t outStride) const {
    // The sound with silence of half a filter on either side, so that no
    // tap needs a bounds check.
    std::vector<float> padded(inputFrames + taps_, 0.0f);
    for (size_t i = 0; i < inputFrames; ++i) {
        padded[half_ + i] = in[i * inStride];
    }
    const size_t frames = OutputFrames(inputFrames);
    for (size_t j = 0; j < frames; ++j) {
        // Position j * from / to in input frames: whole part and remainder.
        const size_t scaled = j * from_;
        const size_t whole = scaled / to_;
        const size_t remainder = scaled % to_;
        // padded[whole + 1 + n] is input frame whole - half_ + 1 + n.
        const float* x = &padded[whole + 1];
        double row = double(remainder) * double(phases_) / double(to_);
        size_t p = exact_ ? remainder * phases_ / to_ : static_cast<size_t>(row);
        const float* c0 = &coefficients_[p * taps_];
        const float y0 = Dot(c0, x, taps_);
        if (exact_) {
            out[j * outStride] = y0;
            continue;
        }
        const float y1 = Dot(c0 + taps_, x, taps_);
        const float blend = static_cast<float>(row - double(p));
        out[j * outStride] = y0 + (y1 - y0) * blend;
    }
}
