#pragma once

#include <cstdint>

// Seeded, platform-independent randomness: every asset must come out byte-identical on
// every build, so nothing here touches std::random_device, the clock or library PRNGs.
namespace gen {

uint32_t hash32(uint32_t x);
uint32_t hash2(int x, int y, uint32_t seed);
// Uniform in [0, 1).
float hashUnit(int x, int y, uint32_t seed);

class Rng {
public:
    explicit Rng(uint64_t seed) : state(seed) { }
    uint32_t next();
    float uniform();                 // [0, 1)
    float range(float lo, float hi); // [lo, hi)
    int below(int n);                // 0 .. n-1

private:
    uint64_t state;
};

// Smooth value noise in [0, 1] on a lattice that repeats every `periodX` cells along x and
// `periodY` along y, so a texture sampled over [0, periodX) x [0, periodY) tiles without a seam.
float tileNoise(float x, float y, int periodX, int periodY, uint32_t seed);

// Sum of `octaves` layers of tileNoise, each twice the frequency and `gain` times the
// amplitude of the last, normalised back into [0, 1].
float tileFbm(float x, float y, int periodX, int periodY, int octaves, uint32_t seed, float gain = 0.5f);

// Distances to the nearest and second-nearest jittered feature point of a cell lattice
// that repeats every `period` cells; `id` identifies the nearest cell (wrapped).
struct CellSample {
    float f1;
    float f2;
    uint32_t id;
};
CellSample tileCells(float x, float y, int period, uint32_t seed, float jitter = 0.8f);

// The jittered feature point of lattice cell (cx, cy), as tileCells places it, and its id.
struct CellPoint {
    float x;
    float y;
    uint32_t id;
};
CellPoint cellPoint(int cx, int cy, int period, uint32_t seed, float jitter = 0.8f);

} // namespace gen
