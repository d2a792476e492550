// The three sound effects, synthesised as 16-bit mono PCM.
#include "tools/contentgen/Sounds.h"

#include <algorithm>
#include <cmath>

#include "tools/contentgen/FileWriters.h"
#include "tools/gen/Noise.h"
#include "tools/gen/Vec.h"

namespace {

constexpr int kRate = 22050;

double Noise(int i, uint32_t seed) {
    return Hash01(static_cast<uint32_t>(i), seed) * 2 - 1;
}

// A band-limited square-ish tone: the first odd harmonics only.
double SoftSquare(double phase) {
    return std::sin(phase) + std::sin(3 * phase) / 3 + std::sin(5 * phase) / 5 * 0.6;
}

std::vector<double> Explosion() {
    const int n = static_cast<int>(0.9 * kRate);
    std::vector<double> out(n);
    double low = 0, lower = 0, rumblePhase = 0;
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double attack = Smooth(0.0, 0.004, t);
        const double env = attack * std::exp(-t * 5.5) * (1 - Smooth(0.75, 0.9, t));
        // Noise through two low-pass stages whose cut-off falls as the blast dies.
        const double cut = 0.08 + 0.6 * std::exp(-t * 18);
        low += (Noise(i, 1) - low) * cut;
        lower += (low - lower) * (cut * 0.7);
        rumblePhase += 2 * kPi * (38 + 50 * std::exp(-t * 6)) / kRate;
        const double crack = Noise(i, 2) * std::exp(-t * 60);
        out[i] = env * (1.6 * lower + 0.35 * std::sin(rumblePhase) + 0.5 * crack);
    }
    return out;
}

std::vector<double> Death() {
    const int n = static_cast<int>(0.75 * kRate);
    std::vector<double> out(n);
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double f =
            880 * std::pow(110.0 / 880.0, t / 0.75) * (1 + 0.04 * std::sin(t * 2 * kPi * 11));
        phase += 2 * kPi * f / kRate;
        const double env = Smooth(0.0, 0.01, t) * (1 - Smooth(0.45, 0.75, t));
        out[i] = 0.45 * env * SoftSquare(phase);
    }
    return out;
}

// A falling four-note phrase, the last note held with vibrato: two seconds.
std::vector<double> GameOver() {
    const int n = 2 * kRate;
    std::vector<double> out(n, 0.0);
    const double notes[] = {523.25, 493.88, 466.16, 440.0};
    const double starts[] = {0.0, 0.32, 0.64, 0.96};
    const double lengths[] = {0.3, 0.3, 0.3, 1.04};
    for (int k = 0; k < 4; ++k) {
        double phase = 0;
        const int i0 = static_cast<int>(starts[k] * kRate);
        const int len = static_cast<int>(lengths[k] * kRate);
        for (int j = 0; j < len && i0 + j < n; ++j) {
            const double t = static_cast<double>(j) / kRate;
            const double vibrato =
                k == 3 ? 1 + 0.012 * std::sin(2 * kPi * 5.5 * t) * Smooth(0.1, 0.4, t) : 1;
            phase += 2 * kPi * notes[k] * vibrato / kRate;
            const double env = Smooth(0.0, 0.015, t) *
                               (1 - Smooth(lengths[k] - 0.08, lengths[k], t)) *
                               (k == 3 ? std::exp(-t * 1.2) : 1.0);
            out[i0 + j] += 0.32 * env * (SoftSquare(phase) + 0.5 * std::sin(phase / 2));
        }
    }
    return out;
}

std::vector<uint8_t> Wav(const std::vector<double>& samples) {
    std::vector<uint8_t> out;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    Put32(out, 36 + dataBytes);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, kRate);
    Put32(out, kRate * 2);
    Put16(out, 2);
    Put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, dataBytes);
    for (double s : samples) {
        const double v = std::clamp(s, -1.0, 1.0) * 32767.0;
        Put16(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(v))));
    }
    return out;
}

}  // namespace

std::vector<uint8_t> ExplosionWav() {
    return Wav(Explosion());
}

std::vector<uint8_t> DeathWav() {
    return Wav(Death());
}

std::vector<uint8_t> GameOverWav() {
    return Wav(GameOver());
}
