#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>
#include <optional>

namespace flintwick::host
{
/** What one offline render does: a file through the plug-in into a 32-bit float WAV. */
struct RenderSettings
{
    juce::File input, output, plugin;
    std::optional<float> material, decay, sensitivity; // in the parameters' own units
    int blockSize = 512;
    double tailSeconds = 1.5;
};

/** Renders, reporting progress from 0 to 1. On failure nothing is left at the output path
    and the result carries a one-line message. */
juce::Result render (const RenderSettings& settings, const std::function<void (double)>& progress = {});

/** Writes a buffer as a 32-bit float WAV through a temporary file, so a failure leaves nothing. */
juce::Result writeWav (const juce::File& file, const juce::AudioBuffer<float>& buffer, double sampleRate);
} // namespace flintwick::host
