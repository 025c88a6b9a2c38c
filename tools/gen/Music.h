#pragma once

#include <string>
#include <vector>

namespace gen {

constexpr int musicSampleRate = 44100;

// Length of the tune in seconds, including the last notes dying away.
double songDurationSeconds();

// The tune as mono samples in [-1, 1]: a reed-like lead, a flute doubling it an octave up
// in the repeats, a plucked arpeggio, a bass line and light drums.
std::vector<float> renderSong();

// Constant bit rate, no ID3 or LAME info tag, so the bytes never vary.
bool writeMp3(const std::string& path, const std::vector<float>& samples, int sampleRate);

} // namespace gen
