#include "PluginHost.h"

namespace flintwick::host
{
std::unique_ptr<juce::AudioPluginInstance> loadPlugin (const juce::File& bundle, double sampleRate,
                                                       int blockSize, juce::String& error)
{
    if (! bundle.exists())
    {
        error = "plug-in bundle not found: " + bundle.getFullPathName();
        return {};
    }

    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, bundle.getFullPathName());

    if (types.isEmpty())
    {
        error = "no VST3 plug-in could be loaded from " + bundle.getFullPathName();
        return {};
    }

    auto instance = format.createInstanceFromDescription (*types[0], sampleRate, blockSize, error);

    if (instance == nullptr && error.isEmpty())
        error = "the plug-in in " + bundle.getFullPathName() + " could not be instantiated";

    return instance;
}

juce::AudioProcessorParameter* findParameter (juce::AudioProcessor& plugin, const juce::String& name)
{
    for (auto* param : plugin.getParameters())
        if (param->getName (100) == name)
            return param;

    return nullptr;
}

bool setParameterValue (juce::AudioProcessor& plugin, const juce::String& name, float value)
{
    auto* param = findParameter (plugin, name);

    if (param == nullptr)
        return false;

    param->setValueNotifyingHost (param->getValueForText (juce::String (value, 6)));
    return true;
}

bool setChannelCount (juce::AudioProcessor& plugin, int numChannels)
{
    const auto set = juce::AudioChannelSet::canonicalChannelSet (numChannels);
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (set);
    layout.outputBuses.add (set);
    return plugin.setBusesLayout (layout);
}

void processInBlocks (juce::AudioProcessor& plugin, juce::AudioBuffer<float>& buffer, int blockSize)
{
    juce::MidiBuffer midi;

    for (int start = 0; start < buffer.getNumSamples(); start += blockSize)
    {
        const auto n = std::min (blockSize, buffer.getNumSamples() - start);
        juce::AudioBuffer<float> block (buffer.getArrayOfWritePointers(), buffer.getNumChannels(), start, n);
        plugin.processBlock (block, midi);
    }
}
} // namespace flintwick::host
