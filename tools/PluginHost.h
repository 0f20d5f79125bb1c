#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace flintwick::host
{
/** Loads a VST3 bundle through JUCE's VST3 hosting. Returns null and sets error on failure. */
std::unique_ptr<juce::AudioPluginInstance> loadPlugin (const juce::File& bundle, double sampleRate,
                                                       int blockSize, juce::String& error);

/** The hosted parameter with the given name ("Material", "Bypass", ...), or null. */
juce::AudioProcessorParameter* findParameter (juce::AudioProcessor& plugin, const juce::String& name);

/** Sets a parameter to a value in its own units, converted by the plug-in's own text parsing. */
bool setParameterValue (juce::AudioProcessor& plugin, const juce::String& name, float value);

/** Gives the plug-in matching mono or stereo buses. */
bool setChannelCount (juce::AudioProcessor& plugin, int numChannels);

/** Runs the buffer through the plug-in in blocks of at most blockSize samples. */
void processInBlocks (juce::AudioProcessor& plugin, juce::AudioBuffer<float>& buffer, int blockSize);
} // namespace flintwick::host
