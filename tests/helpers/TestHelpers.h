#pragma once

#include "PluginProcessor.h"

#include <gtest/gtest.h>

#include <vector>

namespace flintwick::test
{
/** Sets a parameter the way the host or a knob does: through its normalised value. */
inline void setParameter (FlintwickAudioProcessor& p, const juce::String& id, float value)
{
    auto* param = p.apvts.getParameter (id);
    param->setValueNotifyingHost (param->convertTo0to1 (value));
}

inline float rawValue (FlintwickAudioProcessor& p, const juce::String& id)
{
    return p.apvts.getRawParameterValue (id)->load();
}

/** Planar audio that is easy to build, compare and hand to processBlock in pieces. */
struct Signal
{
    std::vector<std::vector<float>> channels;

    Signal (int numChannels, int numSamples)
        : channels ((size_t) numChannels, std::vector<float> ((size_t) numSamples, 0.0f)) {}

    int numChannels() const { return (int) channels.size(); }
    int numSamples() const { return channels.empty() ? 0 : (int) channels[0].size(); }
    float& at (int ch, int n) { return channels[(size_t) ch][(size_t) n]; }
    float at (int ch, int n) const { return channels[(size_t) ch][(size_t) n]; }
};

/** Runs a signal through processBlock in blocks of the given size and returns the output. */
inline Signal process (FlintwickAudioProcessor& p, Signal signal, int blockSize)
{
    juce::MidiBuffer midi;
    std::vector<float*> pointers ((size_t) signal.numChannels());

    for (int start = 0; start < signal.numSamples(); start += blockSize)
    {
        const auto n = std::min (blockSize, signal.numSamples() - start);

        for (int c = 0; c < signal.numChannels(); ++c)
            pointers[(size_t) c] = &signal.at (c, start);

        juce::AudioBuffer<float> buffer (pointers.data(), signal.numChannels(), n);
        p.processBlock (buffer, midi);
    }

    return signal;
}

/** A processor with the given channel layout (1 or 2), prepared at the given rate. */
inline std::unique_ptr<FlintwickAudioProcessor> makePrepared (double sampleRate, int numChannels = 1)
{
    auto p = std::make_unique<FlintwickAudioProcessor>();
    const auto set = numChannels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (set);
    layout.outputBuses.add (set);
    EXPECT_TRUE (p->setBusesLayout (layout));
    p->setRateAndBufferSizeDetails (sampleRate, 512);
    p->prepareToPlay (sampleRate, 512);
    return p;
}

inline int countActiveVoices (const FlintwickAudioProcessor& p)
{
    int n = 0;
    for (const auto& v : p.voices)
        n += v.active ? 1 : 0;
    return n;
}
} // namespace flintwick::test
