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

/** Checks the parameter values against their ranges. On failure the message names the
    parameter in small letters: "decay must be between 10 and 1500, got 5". */
juce::Result checkParameterRanges (const RenderSettings& settings);

/** Reads a whole audio file (any format JUCE reads here); empty if it cannot be read. */
juce::AudioBuffer<float> readAudioFile (const juce::File& file, double* sampleRate = nullptr, unsigned int* bitsPerSample = nullptr);

/** Renders, reporting progress from 0 to 1. On failure nothing is left at the output path
    and the result carries a one-line message. */
juce::Result render (const RenderSettings& settings, const std::function<void (double)>& progress = {});

/** Writes a buffer as a 32-bit float WAV through a temporary file, so a failure leaves nothing. */
juce::Result writeWav (const juce::File& file, const juce::AudioBuffer<float>& buffer, double sampleRate);
} // namespace flintwick::host
