#include "tools/gen/Music.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <sstream>

#include <lame/lame.h>

#include "tools/gen/Noise.h"

namespace gen {

namespace {

constexpr double tempo = 112.0;               // quarter notes per minute
constexpr double eighth = 60.0 / tempo / 2.0; // seconds
constexpr int eighthsPerBar = 8;
constexpr double tailSeconds = 2.5;
constexpr double twoPi = 6.283185307179586;

struct Note {
    double start;     // seconds
    double length;    // seconds
    double frequency; // Hz, 0 for a rest
};

double frequencyOf(int midi)
{
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

int midiOf(const std::string& name)
{
    static const int steps[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    int semitone = steps[name[0] - 'A'];
    size_t i = 1;
    if (name[i] == '#') {
        ++semitone;
        ++i;
    } else if (name[i] == 'b') {
        --semitone;
        ++i;
    }
    int octave = name[i] - '0';
    return 12 * (octave + 1) + semitone;
}

// "D5:2 B4:1 r:2": note names with lengths in eighths; returns the end time.
double parse(const std::string& line, double start, std::vector<Note>& out, int transpose = 0)
{
    std::istringstream in(line);
    std::string token;
    double t = start;
    while (in >> token) {
        size_t colon = token.find(':');
        std::string pitch = token.substr(0, colon);
        double len = std::stod(token.substr(colon + 1)) * eighth;
        if (pitch != "r")
            out.push_back({t, len, frequencyOf(midiOf(pitch) + transpose)});
        t += len;
    }
    return t;
}

// The tune: G major, an A strain, its repeat, a B strain in the relative minor, A once more.
const char* const strainA
    = "D5:2 B4:1 G4:1 B4:2 D5:2  E5:2 C5:1 E5:1 G5:3 E5:1  D5:2 B4:2 G4:2 B4:2  A4:3 B4:1 A4:2 F#4:2 "
      "G4:1 A4:1 B4:2 D5:2 G5:2  E5:2 G5:1 E5:1 C5:2 E5:2  D5:2 C5:1 B4:1 A4:2 F#4:2  G4:6 r:2";
const char* const strainB
    = "B4:2 E5:2 G5:2 E5:2  E5:1 D5:1 C5:2 G4:2 C5:2  B4:2 D5:2 G5:3 F#5:1  F#5:2 E5:1 D5:1 A4:4 "
      "G5:2 F#5:1 E5:1 B4:2 E5:2  C5:2 E5:1 G5:1 A5:3 G5:1  E5:2 C#5:2 A4:2 C#5:2  D5:4 A4:2 F#4:2";

struct Chord {
    int root;              // midi, bass octave
    int third, fifth, top; // offsets above the root
};

const Chord G{43, 4, 7, 12}, C{48, 4, 7, 12}, D{50, 4, 7, 12}, Em{40, 3, 7, 12}, A7{45, 4, 10, 12};
const std::vector<Chord> introChords = {G, C, D, G};
const std::vector<Chord> chordsA = {G, C, G, D, G, C, D, G};
const std::vector<Chord> chordsB = {Em, C, G, D, Em, C, A7, D};

struct Arrangement {
    std::vector<Note> lead, flute, bass, pluck, kick, snare, hat;
    double end = 0.0;
};

void accompany(Arrangement& a, const std::vector<Chord>& chords, double start, bool bass, bool drums)
{
    for (size_t bar = 0; bar < chords.size(); ++bar) {
        const Chord& c = chords[bar];
        double t0 = start + static_cast<double>(bar * eighthsPerBar) * eighth;
        const int arp[8] = {0, c.third, c.fifth, c.top, c.fifth + 12, c.top, c.fifth, c.third};
        for (int i = 0; i < 8; ++i)
            a.pluck.push_back({t0 + i * eighth, 2.0 * eighth, frequencyOf(c.root + 12 + arp[i])});
        if (bass) {
            const int line[5] = {0, c.fifth, 12, c.fifth, 0};
            const int lens[5] = {2, 2, 1, 1, 2};
            double t = t0;
            for (int i = 0; i < 5; ++i) {
                a.bass.push_back({t, lens[i] * eighth * 0.9, frequencyOf(c.root + line[i])});
                t += lens[i] * eighth;
            }
        }
        for (int i = 0; i < 8; ++i) {
            double t = t0 + i * eighth;
            if (drums) {
                if (i == 0 || i == 4 || (i == 7 && bar % 4 == 3))
                    a.kick.push_back({t, 0.3, 0});
                if (i == 2 || i == 6)
                    a.snare.push_back({t, 0.2, 0});
            }
            if (drums || bass)
                a.hat.push_back({t, 0.05, i % 2 == 1 ? 1.0 : 0.5});
        }
    }
}

Arrangement arrange()
{
    Arrangement a;
    double t = 0.0;
    accompany(a, introChords, t, false, false);
    t += 4 * eighthsPerBar * eighth;

    double barLength = eighthsPerBar * eighth;
    accompany(a, chordsA, t, true, false);
    t = parse(strainA, t, a.lead);
    accompany(a, chordsA, t, true, true);
    parse(strainA, t, a.flute, 12);
    t = parse(strainA, t, a.lead);
    accompany(a, chordsB, t, true, true);
    t = parse(strainB, t, a.lead);
    accompany(a, chordsA, t, true, true);
    parse(strainA, t, a.flute, 12);
    t = parse(strainA, t, a.lead);
    // Close on a long tonic chord.
    a.lead.push_back({t, 2 * barLength, frequencyOf(midiOf("G4"))});
    a.flute.push_back({t, 2 * barLength, frequencyOf(midiOf("D5"))});
    a.bass.push_back({t, 2 * barLength, frequencyOf(G.root)});
    for (int i = 0; i < 4; ++i)
        a.pluck.push_back({t + i * 0.06, 2 * barLength,
                           frequencyOf(G.root + 12
                                       + (i == 0       ? 0
                                              : i == 1 ? 7
                                              : i == 2 ? 12
                                                       : 16))});
    a.kick.push_back({t, 0.3, 0});
    a.end = t + 2 * barLength;
    return a;
}

// Attack, decay to sustain, hold, then release after the note's length.
double envelope(double t, double length, double attack, double decay, double sustain, double release)
{
    double level;
    if (t < attack)
        level = t / attack;
    else if (t < attack + decay)
        level = 1.0 - (1.0 - sustain) * (t - attack) / decay;
    else
        level = sustain;
    if (t > length)
        level *= std::max(0.0, 1.0 - (t - length) / release);
    return level;
}

void addLead(std::vector<float>& out, const Note& n, double gain)
{
    static const double partials[] = {1.0, 0.55, 0.38, 0.22, 0.14, 0.09, 0.05};
    double release = 0.09;
    size_t first = static_cast<size_t>(n.start * musicSampleRate);
    size_t count = static_cast<size_t>((n.length + release) * musicSampleRate);
    double phase = 0.0;
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
        double t = static_cast<double>(i) / musicSampleRate;
        double vibrato = 1.0 + 0.004 * std::min(1.0, std::max(0.0, (t - 0.18) / 0.2)) * std::sin(twoPi * 5.5 * t);
        phase += twoPi * n.frequency * vibrato / musicSampleRate;
        double s = 0.0;
        for (int k = 0; k < 7; ++k)
            if (n.frequency * (k + 1) < 9000.0)
                s += partials[k] * std::sin(phase * (k + 1));
        out[first + i] += static_cast<float>(gain * 0.5 * s * envelope(t, n.length, 0.015, 0.12, 0.7, release));
    }
}

void addFlute(std::vector<float>& out, const Note& n, double gain, Rng& rng)
{
    double release = 0.12;
    size_t first = static_cast<size_t>(n.start * musicSampleRate);
    size_t count = static_cast<size_t>((n.length + release) * musicSampleRate);
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
        double t = static_cast<double>(i) / musicSampleRate;
        double p = twoPi * n.frequency * t * (1.0 + 0.003 * std::sin(twoPi * 5.0 * t));
        double breath = 0.04 * (rng.uniform() - 0.5);
        double s = std::sin(p) + 0.12 * std::sin(2.0 * p) + breath;
        out[first + i] += static_cast<float>(gain * s * envelope(t, n.length, 0.05, 0.1, 0.85, release));
    }
}

void addBass(std::vector<float>& out, const Note& n, double gain)
{
    size_t first = static_cast<size_t>(n.start * musicSampleRate);
    size_t count = static_cast<size_t>((n.length + 0.05) * musicSampleRate);
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
        double t = static_cast<double>(i) / musicSampleRate;
        double p = twoPi * n.frequency * t;
        // Odd partials falling off with the square: a soft triangle.
        double s = std::sin(p) - std::sin(3 * p) / 9.0 + std::sin(5 * p) / 25.0;
        double env = envelope(t, n.length, 0.006, 0.25, 0.55, 0.05);
        out[first + i] += static_cast<float>(gain * s * env);
    }
}

// Karplus-Strong: a burst of noise in a delay line that loses its highs on every pass.
void addPluck(std::vector<float>& out, const Note& n, double gain, Rng& rng)
{
    size_t period = static_cast<size_t>(std::lround(musicSampleRate / n.frequency));
    std::vector<double> line(period);
    for (double& v : line)
        v = rng.uniform() * 2.0 - 1.0;
    size_t first = static_cast<size_t>(n.start * musicSampleRate);
    size_t count = static_cast<size_t>((n.length + 0.1) * musicSampleRate);
    double previous = 0.0;
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
        size_t k = i % period;
        double v = line[k];
        double t = static_cast<double>(i) / musicSampleRate;
        double fade = t > n.length ? std::max(0.0, 1.0 - (t - n.length) / 0.1) : 1.0;
        out[first + i] += static_cast<float>(gain * v * fade);
        line[k] = 0.996 * 0.5 * (v + previous);
        previous = v;
    }
}

void addDrum(std::vector<float>& out, const Note& n, int kind, double gain, Rng& rng)
{
    size_t first = static_cast<size_t>(n.start * musicSampleRate);
    size_t count = static_cast<size_t>(n.length * musicSampleRate);
    double phase = 0.0, low = 0.0;
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
        double t = static_cast<double>(i) / musicSampleRate;
        double s = 0.0;
        if (kind == 0) {
            double f = 45.0 + 110.0 * std::exp(-t / 0.035);
            phase += twoPi * f / musicSampleRate;
            s = std::sin(phase) * std::exp(-t / 0.18);
        } else {
            double noise = rng.uniform() * 2.0 - 1.0;
            low += 0.3 * (noise - low);
            double high = noise - low; // keep the hiss, lose the rumble
            if (kind == 1)
                s = 0.7 * high * std::exp(-t / 0.07) + 0.5 * std::sin(twoPi * 190.0 * t) * std::exp(-t / 0.04);
            else
                s = high * std::exp(-t / 0.018) * n.frequency;
        }
        out[first + i] += static_cast<float>(gain * s);
    }
}

} // namespace

double songDurationSeconds()
{
    return arrange().end + tailSeconds;
}

std::vector<float> renderSong()
{
    Arrangement a = arrange();
    std::vector<float> mix(static_cast<size_t>((a.end + tailSeconds) * musicSampleRate), 0.0f);
    Rng rng(0x60bbec4ull);
    std::vector<float> lead(mix.size(), 0.0f);
    for (const Note& n : a.lead)
        addLead(lead, n, 0.30);
    for (const Note& n : a.flute)
        addFlute(mix, n, 0.10, rng);
    for (const Note& n : a.bass)
        addBass(mix, n, 0.32);
    for (const Note& n : a.pluck)
        addPluck(mix, n, 0.13, rng);
    for (const Note& n : a.kick)
        addDrum(mix, n, 0, 0.45, rng);
    for (const Note& n : a.snare)
        addDrum(mix, n, 1, 0.16, rng);
    for (const Note& n : a.hat)
        addDrum(mix, n, 2, 0.07, rng);
    // The lead with two soft echoes, three eighths apart, for a sense of space.
    size_t delay = static_cast<size_t>(3.0 * eighth * musicSampleRate);
    for (size_t i = 0; i < mix.size(); ++i) {
        float s = lead[i];
        if (i >= delay)
            s += 0.22f * lead[i - delay];
        if (i >= 2 * delay)
            s += 0.08f * lead[i - 2 * delay];
        mix[i] += s;
    }
    float peak = 0.0f;
    for (float& s : mix) {
        s = std::tanh(1.1f * s);
        peak = std::max(peak, std::abs(s));
    }
    float scale = peak > 0.0f ? 0.9f / peak : 1.0f;
    for (size_t i = 0; i < mix.size(); ++i) {
        float t = static_cast<float>(i) / musicSampleRate;
        float fadeIn = std::min(1.0f, t / 0.01f);
        mix[i] *= scale * fadeIn;
    }
    return mix;
}

bool writeMp3(const std::string& path, const std::vector<float>& samples, int sampleRate)
{
    lame_global_flags* lame = lame_init();
    if (!lame)
        return false;
    lame_set_num_channels(lame, 1);
    lame_set_in_samplerate(lame, sampleRate);
    lame_set_out_samplerate(lame, sampleRate);
    lame_set_mode(lame, MONO);
    lame_set_brate(lame, 112);
    lame_set_VBR(lame, vbr_off);
    lame_set_quality(lame, 5);
    lame_set_bWriteVbrTag(lame, 0);
    lame_set_write_id3tag_automatic(lame, 0);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return false;
    }
    std::vector<short> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        pcm[i] = static_cast<short>(std::lround(std::clamp(samples[i], -1.0f, 1.0f) * 32767.0f));

    std::vector<unsigned char> mp3;
    const size_t chunk = 8192;
    std::vector<unsigned char> buffer(chunk * 5 / 4 + 7200);
    for (size_t i = 0; i < pcm.size(); i += chunk) {
        int n = static_cast<int>(std::min(chunk, pcm.size() - i));
        int written = lame_encode_buffer(lame, &pcm[i], nullptr, n, buffer.data(), static_cast<int>(buffer.size()));
        if (written < 0) {
            lame_close(lame);
            return false;
        }
        mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + written);
    }
    int written = lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size()));
    if (written > 0)
        mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + written);
    lame_close(lame);

    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    return file && std::fwrite(mp3.data(), 1, mp3.size(), file.get()) == mp3.size();
}

} // namespace gen
