// The built FLINTWICK.vst3 bundle, loaded the way a host loads it: through JUCE's VST3 hosting.
#include "PluginHost.h"

#include <gtest/gtest.h>

using namespace flintwick::host;

namespace
{
const juce::File bundle { FLINTWICK_TEST_BUNDLE };

std::unique_ptr<juce::AudioPluginInstance> load (double sampleRate = 48000.0, int blockSize = 512)
{
    juce::String error;
    auto plugin = loadPlugin (bundle, sampleRate, blockSize, error);
    EXPECT_NE (plugin, nullptr) << error;
    return plugin;
}

juce::AudioBuffer<float> clickThrough (juce::AudioProcessor& plugin, int numChannels, int numSamples)
{
    juce::AudioBuffer<float> buffer (numChannels, numSamples);
    buffer.clear();
    for (int n = 0; n < 64; ++n)
        buffer.setSample (0, n, 1.0f);
    processInBlocks (plugin, buffer, 512);
    return buffer;
}
} // namespace

TEST (HostedPlugin, DescribesItselfAsAnFxByQuend)
{
    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, bundle.getFullPathName());

    ASSERT_EQ (types.size(), 1);
    const auto& d = *types[0];
    EXPECT_EQ (d.name, "FLINTWICK");
    EXPECT_EQ (d.manufacturerName, "Quend");
    EXPECT_EQ (d.version, "1.0.0");
    EXPECT_EQ (d.category, "Fx");
    EXPECT_FALSE (d.isInstrument);
    EXPECT_EQ (d.pluginFormatName, "VST3");
}

TEST (HostedPlugin, GivesItsFixedAnswers)
{
    auto plugin = load();
    ASSERT_NE (plugin, nullptr);

    EXPECT_EQ (plugin->getName(), "FLINTWICK");
    EXPECT_EQ (plugin->getLatencySamples(), 0);
    EXPECT_DOUBLE_EQ (plugin->getTailLengthSeconds(), 1.5);
    EXPECT_FALSE (plugin->acceptsMidi());
    EXPECT_FALSE (plugin->producesMidi());
    EXPECT_TRUE (plugin->hasEditor());
    EXPECT_EQ (plugin->getTotalNumInputChannels(), 2);
    EXPECT_EQ (plugin->getTotalNumOutputChannels(), 2);
}

TEST (HostedPlugin, HasExactlyItsParametersAndBypass)
{
    auto plugin = load();
    ASSERT_NE (plugin, nullptr);

    struct Expected
    {
        const char* name;
        float normalisedDefault;
        const char* text;
    };

    const Expected expected[] { { "Material", 0.5f, "0.5000" }, { "Decay", 0.5278f, "250.0" },
                                { "Sensitivity", 0.5f, "0.5000" }, { "Bypass", 0.0f, nullptr } };

    const auto& params = plugin->getParameters();
    ASSERT_EQ (params.size(), 4);

    for (int i = 0; i < 4; ++i)
    {
        SCOPED_TRACE (expected[i].name);
        EXPECT_EQ (params[i]->getName (100), expected[i].name);
        EXPECT_NEAR (params[i]->getDefaultValue(), expected[i].normalisedDefault, 1.0e-4);
        EXPECT_NEAR (params[i]->getValue(), expected[i].normalisedDefault, 1.0e-4);

        if (expected[i].text != nullptr)
        {
            EXPECT_EQ (params[i]->getCurrentValueAsText(), expected[i].text);
        }
    }

    EXPECT_EQ (plugin->getBypassParameter(), params[3]);
}

TEST (HostedPlugin, AcceptsOnlyMatchingMonoOrStereo)
{
    auto plugin = load();
    ASSERT_NE (plugin, nullptr);
    using Set = juce::AudioChannelSet;

    const std::tuple<const char*, Set, Set, bool> cases[] {
        { "mono/mono", Set::mono(), Set::mono(), true },
        { "stereo/stereo", Set::stereo(), Set::stereo(), true },
        { "mono/stereo", Set::mono(), Set::stereo(), false },
        { "stereo/mono", Set::stereo(), Set::mono(), false },
        { "5.1/5.1", Set::create5point1(), Set::create5point1(), false },
    };

    for (const auto& [name, in, out, accepted] : cases)
    {
        SCOPED_TRACE (name);
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (in);
        layout.outputBuses.add (out);
        EXPECT_EQ (plugin->setBusesLayout (layout), accepted);
    }
}

TEST (HostedPlugin, ProcessesAudio)
{
    for (int channels : { 1, 2 })
    {
        SCOPED_TRACE (channels);
        auto plugin = load();
        ASSERT_NE (plugin, nullptr);
        ASSERT_TRUE (setChannelCount (*plugin, channels));
        plugin->prepareToPlay (48000.0, 512);

        // Silence stays silence.
        juce::AudioBuffer<float> silence (channels, 4096);
        silence.clear();
        processInBlocks (*plugin, silence, 512);
        EXPECT_EQ (silence.getMagnitude (0, silence.getNumSamples()), 0.0f);

        // A click produces a tap on every channel, after the click has passed.
        const auto out = clickThrough (*plugin, channels, 8192);
        for (int c = 0; c < channels; ++c)
            EXPECT_GT (out.getMagnitude (c, 1000, 4000), 0.001f) << "channel " << c;

        plugin->releaseResources();
    }
}

TEST (HostedPlugin, BypassPassesInputUnchanged)
{
    auto plugin = load();
    ASSERT_NE (plugin, nullptr);
    plugin->prepareToPlay (48000.0, 512);
    plugin->getBypassParameter()->setValueNotifyingHost (1.0f);

    const auto out = clickThrough (*plugin, 2, 8192);

    for (int n = 0; n < out.getNumSamples(); ++n)
    {
        ASSERT_EQ (out.getSample (0, n), n < 64 ? 1.0f : 0.0f) << n;
        ASSERT_EQ (out.getSample (1, n), 0.0f) << n;
    }
}

TEST (HostedPlugin, StateRestoresIntoAFreshInstance)
{
    auto source = load();
    ASSERT_NE (source, nullptr);
    ASSERT_TRUE (setParameterValue (*source, "Decay", 1500.0f));
    ASSERT_TRUE (setParameterValue (*source, "Material", 0.125f));
    ASSERT_TRUE (setParameterValue (*source, "Sensitivity", 0.9f));

    juce::MemoryBlock state;
    source->getStateInformation (state);

    auto restored = load();
    ASSERT_NE (restored, nullptr);
    restored->setStateInformation (state.getData(), (int) state.getSize());

    EXPECT_EQ (findParameter (*restored, "Decay")->getCurrentValueAsText(), "1500.0");
    EXPECT_EQ (findParameter (*restored, "Material")->getCurrentValueAsText(), "0.1250");
    EXPECT_EQ (findParameter (*restored, "Sensitivity")->getCurrentValueAsText(), "0.9000");

    juce::MemoryBlock again;
    restored->getStateInformation (again);
    EXPECT_EQ (again, state);
}

TEST (HostedPlugin, EditorOpensAtItsSizeAndCloses)
{
    auto plugin = load();
    ASSERT_NE (plugin, nullptr);

    for (int i = 0; i < 3; ++i)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (plugin->createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);
        EXPECT_EQ (editor->getWidth(), 480);
        EXPECT_EQ (editor->getHeight(), 260);
        plugin->editorBeingDeleted (editor.get());
    }
}

TEST (HostedPlugin, RestoresItsOwnStateByteForByteAfterRandomChanges)
{
    auto plugin = load();
    ASSERT_NE (plugin, nullptr);

    juce::MemoryBlock original;
    plugin->getStateInformation (original);

    juce::Random random (5);
    for (auto* param : plugin->getParameters())
        if (param != plugin->getBypassParameter())
            param->setValue (random.nextFloat());

    plugin->setStateInformation (original.getData(), (int) original.getSize());

    juce::MemoryBlock again;
    plugin->getStateInformation (again);
    EXPECT_EQ (again, original);
    EXPECT_EQ (findParameter (*plugin, "Decay")->getCurrentValueAsText(), "250.0");
}

TEST (HostedPlugin, NoiseWithAutomationStaysFiniteAndNormal)
{
    auto plugin = load();
    ASSERT_NE (plugin, nullptr);
    juce::Random random (11);

    for (double rate : { 44100.0, 48000.0, 96000.0 })
    {
        for (int blockSize : { 1, 64, 512, 4096 })
        {
            SCOPED_TRACE (juce::String (rate) + " Hz, blocks of " + juce::String (blockSize));
            plugin->releaseResources();
            plugin->prepareToPlay (rate, blockSize);
            juce::AudioBuffer<float> buffer (2, blockSize);
            juce::MidiBuffer midi;

            for (int block = 0; block < std::max (4, 8192 / blockSize); ++block)
            {
                for (auto* param : plugin->getParameters())
                    if (param != plugin->getBypassParameter())
                        param->setValue (random.nextFloat());

                for (int c = 0; c < 2; ++c)
                    for (int n = 0; n < blockSize; ++n)
                        buffer.setSample (c, n, random.nextFloat() * 2.0f - 1.0f);

                plugin->processBlock (buffer, midi);

                for (int c = 0; c < 2; ++c)
                {
                    for (int n = 0; n < blockSize; ++n)
                    {
                        const auto v = buffer.getSample (c, n);
                        ASSERT_TRUE (std::isfinite (v));
                        ASSERT_NE (std::fpclassify (v), FP_SUBNORMAL);
                    }
                }
            }
        }
    }
}
