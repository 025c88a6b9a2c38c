#include "tools/gen/Noise.h"

#include <cmath>

namespace gen {

namespace {

int wrap(int v, int period)
{
    int m = v % period;
    return m < 0 ? m + period : m;
}

float smooth(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

} // namespace

uint32_t hash32(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

uint32_t hash2(int x, int y, uint32_t seed)
{
    return hash32(static_cast<uint32_t>(x) * 0x9e3779b1u ^ hash32(static_cast<uint32_t>(y) + seed * 0x85ebca77u));
}

float hashUnit(int x, int y, uint32_t seed)
{
    return static_cast<float>(hash2(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

uint32_t Rng::next()
{
    // splitmix64: tiny, fast and identical everywhere.
    state += 0x9e3779b97f4a7c15ull;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

float Rng::uniform()
{
    return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f);
}

float Rng::range(float lo, float hi)
{
    return lo + (hi - lo) * uniform();
}

int Rng::below(int n)
{
    return static_cast<int>(next() % static_cast<uint32_t>(n));
}

float tileNoise(float x, float y, int periodX, int periodY, uint32_t seed)
{
    float fx = std::floor(x);
    float fy = std::floor(y);
    int ix = static_cast<int>(fx);
    int iy = static_cast<int>(fy);
    float tx = smooth(x - fx);
    float ty = smooth(y - fy);
    int x0 = wrap(ix, periodX), x1 = wrap(ix + 1, periodX);
    int y0 = wrap(iy, periodY), y1 = wrap(iy + 1, periodY);
    float a = hashUnit(x0, y0, seed), b = hashUnit(x1, y0, seed);
    float c = hashUnit(x0, y1, seed), d = hashUnit(x1, y1, seed);
    float top = a + (b - a) * tx;
    float bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float tileFbm(float x, float y, int periodX, int periodY, int octaves, uint32_t seed, float gain)
{
    float sum = 0.0f, amplitude = 1.0f, total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * tileNoise(x, y, periodX, periodY, seed + static_cast<uint32_t>(o) * 1013u);
        total += amplitude;
        amplitude *= gain;
        x *= 2.0f;
        y *= 2.0f;
        periodX *= 2;
        periodY *= 2;
    }
    return sum / total;
}

CellPoint cellPoint(int cx, int cy, int period, uint32_t seed, float jitter)
{
    int wx = wrap(cx, period), wy = wrap(cy, period);
    return {static_cast<float>(cx) + 0.5f + jitter * (hashUnit(wx, wy, seed) - 0.5f),
            static_cast<float>(cy) + 0.5f + jitter * (hashUnit(wx, wy, seed ^ 0x5bd1e995u) - 0.5f),
            hash2(wx, wy, seed + 7u)};
}

CellSample tileCells(float x, float y, int period, uint32_t seed, float jitter)
{
    int ix = static_cast<int>(std::floor(x));
    int iy = static_cast<int>(std::floor(y));
    CellSample s{1e9f, 1e9f, 0};
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            CellPoint p = cellPoint(ix + dx, iy + dy, period, seed, jitter);
            float d = std::hypot(p.x - x, p.y - y);
            if (d < s.f1) {
                s.f2 = s.f1;
                s.f1 = d;
                s.id = p.id;
            } else if (d < s.f2) {
                s.f2 = d;
            }
        }
    }
    return s;
}

} // namespace gen
