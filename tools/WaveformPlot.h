#pragma once

#include <juce_graphics/juce_graphics.h>
#include <juce_audio_basics/juce_audio_basics.h>

namespace flintwick::host
{
/** One lane of the plot: a signal (its first channel), a caption and optional markers. */
struct PlotLane
{
    juce::String caption;
    const juce::AudioBuffer<float>* signal = nullptr;
    juce::Array<int> markers;
    const juce::AudioBuffer<float>* overlay = nullptr; // drawn on top in a brighter colour
};

/** Draws the lanes one under another, on a shared time axis. */
juce::Image plotWaveforms (const std::vector<PlotLane>& lanes, double sampleRate, int width = 1200, int laneHeight = 130);

bool writePng (const juce::Image& image, const juce::File& file);
} // namespace flintwick::host
