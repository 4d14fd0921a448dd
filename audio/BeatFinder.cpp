#include "audio/BeatFinder.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace velkaro {

namespace {

constexpr double HopsPerSecond = 200.0;
constexpr double LowestBpm = 40.0;
constexpr double HighestBpm = 300.0;
// Candidate tempos a quarter of a percent apart: close enough that the coarse comb, blurred
// over a few hops, catches the true one.
constexpr double CoarseStep = 0.0025;
constexpr int SegmentHops = 2400; // the coarse comb is judged over 12 s at a time
constexpr double FineSpan = 0.005;
constexpr double FineStep = 0.0001;
constexpr double FinePhaseStep = 0.25;
// A comb of the double tempo that gathers nearly as much per beat is the beat itself: the
// slower one only skipped every other beat.
constexpr double FasterFits = 0.79;

struct Envelope {
    std::vector<float> Onsets; // rise of energy per hop, its slow level taken off
    double HopSeconds = 0;
};

double OnePole(double cutoff, int rate) {
    return 1.0 - std::exp(-2.0 * M_PI * cutoff / rate);
}

// Energy of low, middle and high band per hop, compressed, and its rise from hop to hop.
Envelope OnsetsOf(const std::vector<float>& samples, int rate) {
    const std::size_t hop =
        std::max<std::size_t>(1, std::size_t(std::lround(rate / HopsPerSecond)));
    const std::size_t hops = samples.size() / hop;
    std::vector<std::array<double, 3>> energy(hops);
    const double a1 = OnePole(200, rate), a2 = OnePole(2000, rate);
    double low = 0, mid = 0;
    for (std::size_t n = 0; n < hops; ++n) {
        std::array<double, 3> e{};
        for (std::size_t i = n * hop; i < (n + 1) * hop; ++i) {
            const double x = samples[i];
            low += a1 * (x - low);
            mid += a2 * (x - mid);
            e[0] += low * low;
            e[1] += (mid - low) * (mid - low);
            e[2] += (x - mid) * (x - mid);
        }
        energy[n] = e;
    }
    std::array<double, 3> mean{};
    for (const auto& e : energy)
        for (int b = 0; b < 3; ++b) mean[std::size_t(b)] += e[std::size_t(b)];
    for (double& m : mean) m = m / double(std::max<std::size_t>(hops, 1)) + 1e-12;
    Envelope envelope;
    envelope.HopSeconds = double(hop) / rate;
    std::vector<float>& onsets = envelope.Onsets;
    onsets.assign(hops, 0.0f);
    std::array<double, 3> before{};
    for (std::size_t n = 0; n < hops; ++n) {
        double rise = 0;
        for (std::size_t b = 0; b < 3; ++b) {
            const double level = std::log1p(10.0 * energy[n][b] / mean[b]);
            // Before the song is silence, so a song that starts on a beat has it at hop 0.
            rise += std::max(0.0, level - before[b]);
            before[b] = level;
        }
        onsets[n] = float(rise);
    }
    // The slow level goes, so a comb between the beats gathers less than nothing.
    constexpr std::size_t Half = 100;
    std::vector<double> sums(hops + 1, 0.0);
    for (std::size_t n = 0; n < hops; ++n) sums[n + 1] = sums[n] + onsets[n];
    for (std::size_t n = 0; n < hops; ++n) {
        const std::size_t from = n > Half ? n - Half : 0, to = std::min(hops, n + Half + 1);
        onsets[n] = float(onsets[n] - (sums[to] - sums[from]) / double(to - from));
    }
    return envelope;
}

std::vector<float> Blurred(const std::vector<float>& onsets, int half) {
    std::vector<float> blurred(onsets.size(), 0.0f);
    for (std::size_t n = 0; n < onsets.size(); ++n) {
        double sum = 0, weights = 0;
        for (int d = -half; d <= half; ++d) {
            const auto at = std::ptrdiff_t(n) + d;
            if (at < 0 || at >= std::ptrdiff_t(onsets.size())) continue;
            const double weight = half + 1 - std::abs(d);
            sum += weight * onsets[std::size_t(at)];
            weights += weight;
        }
        blurred[n] = float(sum / weights);
    }
    return blurred;
}

// The best mean per beat of a comb of period `period` hops over hops [from, to).
double BestCombMean(const std::vector<float>& onsets, std::size_t from, std::size_t to,
                    double period) {
    double best = -1e30;
    for (int phase = 0; phase < int(period); ++phase) {
        double sum = 0;
        int teeth = 0;
        for (double at = double(from) + phase; at < double(to); at += period, ++teeth)
            sum += onsets[std::size_t(at)];
        if (teeth > 0) best = std::max(best, sum / teeth);
    }
    return best;
}

double Prior(double bpm) {
    const double octaves = std::log2(bpm / 120.0);
    return std::exp(-0.5 * octaves * octaves);
}

double BpmOf(double period, double hopSeconds) {
    return 60.0 / (period * hopSeconds);
}

struct Candidates {
    std::vector<double> Periods;
    std::vector<double> Scores; // mean per beat, averaged over the segments
};

std::optional<Candidates> CoarseScores(const std::vector<float>& blurred, double hopSeconds,
                                       const BeatProgress& progress) {
    Candidates candidates;
    const double longest = 60.0 / (LowestBpm * hopSeconds);
    for (double period = 60.0 / (HighestBpm * hopSeconds); period <= longest;
         period *= 1.0 + CoarseStep)
        candidates.Periods.push_back(period);
    const std::size_t hops = blurred.size();
    const std::size_t segment = std::max<std::size_t>(SegmentHops, std::size_t(longest * 4));
    for (std::size_t i = 0; i < candidates.Periods.size(); ++i) {
        if (i % 32 == 0 && progress && !progress(0.6 * double(i) / candidates.Periods.size()))
            return std::nullopt;
        double total = 0;
        int segments = 0;
        for (std::size_t from = 0; from + segment / 2 <= hops || from == 0; from += segment) {
            total +=
                BestCombMean(blurred, from, std::min(hops, from + segment), candidates.Periods[i]);
            ++segments;
            if (from + segment >= hops) break;
        }
        candidates.Scores.push_back(total / segments);
    }
    return candidates;
}

double ScoreNear(const Candidates& candidates, double period) {
    double best = -1e30;
    for (std::size_t i = 0; i < candidates.Periods.size(); ++i)
        if (std::abs(candidates.Periods[i] / period - 1.0) < 0.006)
            best = std::max(best, candidates.Scores[i]);
    return best;
}

// The period preferred by score and prior, then moved to the double tempo while that still
// gathers nearly as much per beat.
double ChosenPeriod(const Candidates& candidates, double hopSeconds) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < candidates.Periods.size(); ++i)
        if (candidates.Scores[i] * Prior(BpmOf(candidates.Periods[i], hopSeconds)) >
            candidates.Scores[best] * Prior(BpmOf(candidates.Periods[best], hopSeconds)))
            best = i;
    double period = candidates.Periods[best];
    double score = candidates.Scores[best];
    while (BpmOf(period / 2, hopSeconds) <= HighestBpm) {
        const double faster = ScoreNear(candidates, period / 2);
        if (faster < FasterFits * score) break;
        period /= 2;
        score = faster;
    }
    return period;
}

double At(const std::vector<float>& onsets, double position) {
    const auto index = std::size_t(position);
    if (index + 1 >= onsets.size()) return onsets.empty() ? 0.0 : onsets.back();
    const double part = position - double(index);
    return onsets[index] * (1.0 - part) + onsets[index + 1] * part;
}

struct Comb {
    double Period = 0;
    double Phase = 0;
    double Mean = -1e30;
};

std::optional<Comb> Refined(const std::vector<float>& onsets, double period,
                            const BeatProgress& progress) {
    Comb best;
    const int steps = int(FineSpan / FineStep);
    const double hops = double(onsets.size());
    for (int s = -steps; s <= steps; ++s) {
        if (progress && s % 8 == 0 && !progress(0.6 + 0.4 * (s + steps) / (2.0 * steps)))
            return std::nullopt;
        const double p = period * (1.0 + s * FineStep);
        for (double phase = 0; phase < p; phase += FinePhaseStep) {
            double sum = 0;
            int teeth = 0;
            for (double at = phase; at + 1 < hops; at += p, ++teeth) sum += At(onsets, at);
            if (teeth > 0 && sum / teeth > best.Mean) best = {p, phase, sum / teeth};
        }
    }
    return best;
}

// The first tooth of the comb where the song has a beat worth the name.
double FirstBeatHop(const std::vector<float>& onsets, const Comb& comb) {
    std::vector<double> teeth;
    for (double at = comb.Phase; at + 1 < double(onsets.size()); at += comb.Period)
        teeth.push_back(At(onsets, at));
    if (teeth.empty()) return comb.Phase;
    std::vector<double> sorted = teeth;
    std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(sorted.size() * 3 / 4),
                     sorted.end());
    const double threshold = 0.3 * sorted[sorted.size() * 3 / 4];
    for (std::size_t k = 0; k < teeth.size(); ++k)
        if (teeth[k] >= threshold) return comb.Phase + double(k) * comb.Period;
    return comb.Phase;
}

} // namespace

std::optional<BeatProposal> FindBeat(const std::vector<float>& samples, int rate,
                                     const BeatProgress& progress) {
    if (rate < 1000) return std::nullopt;
    const Envelope envelope = OnsetsOf(samples, rate);
    const double longestBeatHops = 60.0 / (LowestBpm * envelope.HopSeconds);
    if (envelope.Onsets.size() < std::size_t(4 * longestBeatHops)) return std::nullopt;
    const std::optional<Candidates> candidates =
        CoarseScores(Blurred(envelope.Onsets, 4), envelope.HopSeconds, progress);
    if (!candidates) return std::nullopt;
    const double period = ChosenPeriod(*candidates, envelope.HopSeconds);
    const std::vector<float> sharp = Blurred(envelope.Onsets, 1);
    const std::optional<Comb> comb = Refined(sharp, period, progress);
    if (!comb || !(comb->Mean > 0)) return std::nullopt;
    // A hop's rise belongs to the middle of the hop it was heard in.
    const double first = (FirstBeatHop(sharp, *comb) + 0.5) * envelope.HopSeconds;
    return BeatProposal{BpmOf(comb->Period, envelope.HopSeconds), first};
}

} // namespace velkaro
