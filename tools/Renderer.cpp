#include "Renderer.h"
#include "PluginHost.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <array>

namespace flintwick::host
{
namespace
{
struct ParameterSetting
{
    const char* name;
    std::optional<float> value;
    float low, high;
};

std::unique_ptr<juce::AudioFormatWriter> createFloatWavWriter (juce::OutputStream* stream, double sampleRate, int numChannels)
{
    juce::WavAudioFormat wav;
    return std::unique_ptr<juce::AudioFormatWriter> (wav.createWriterFor (stream, sampleRate, (unsigned int) numChannels, 32, {}, 0));
}
} // namespace

juce::Result writeWav (const juce::File& file, const juce::AudioBuffer<float>& buffer, double sampleRate)
{
    juce::TemporaryFile temp (file);
    auto stream = std::make_unique<juce::FileOutputStream> (temp.getFile());

    if (! stream->openedOk())
        return juce::Result::fail ("cannot write output: " + file.getFullPathName());

    auto writer = createFloatWavWriter (stream.get(), sampleRate, buffer.getNumChannels());

    if (writer == nullptr)
        return juce::Result::fail ("cannot write a WAV file with " + juce::String (buffer.getNumChannels()) + " channels");

    stream.release();

    if (! writer->writeFromAudioSampleBuffer (buffer, 0, buffer.getNumSamples()) || ! writer->flush())
        return juce::Result::fail ("cannot write output: " + file.getFullPathName());

    writer.reset();

    if (! temp.overwriteTargetFileWithTemporary())
        return juce::Result::fail ("cannot write output: " + file.getFullPathName());

    return juce::Result::ok();
}

std::array<ParameterSetting, 3> parametersOf (const RenderSettings& settings)
{
    return { { { "Material", settings.material, 0.0f, 1.0f },
               { "Decay", settings.decay, 10.0f, 1500.0f },
               { "Sensitivity", settings.sensitivity, 0.0f, 1.0f } } };
}

juce::Result checkParameterRanges (const RenderSettings& settings)
{
    for (const auto& p : parametersOf (settings))
        if (p.value && ! (*p.value >= p.low && *p.value <= p.high))
            return juce::Result::fail (juce::String (p.name).toLowerCase() + " must be between " + juce::String (p.low)
                                       + " and " + juce::String (p.high) + ", got " + juce::String (*p.value));

    return juce::Result::ok();
}

juce::AudioBuffer<float> readAudioFile (const juce::File& file, double* sampleRate, unsigned int* bitsPerSample)
{
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));
    juce::AudioBuffer<float> buffer;

    if (reader != nullptr)
    {
        buffer.setSize ((int) reader->numChannels, (int) reader->lengthInSamples);
        reader->read (&buffer, 0, buffer.getNumSamples(), 0, true, true);

        if (sampleRate != nullptr)
            *sampleRate = reader->sampleRate;

        if (bitsPerSample != nullptr)
            *bitsPerSample = reader->bitsPerSample;
    }

    return buffer;
}

juce::Result render (const RenderSettings& settings, const std::function<void (double)>& progress)
{
    if (auto ranges = checkParameterRanges (settings); ranges.failed())
        return ranges;

    const auto parameters = parametersOf (settings);

    if (settings.blockSize < 1 || settings.blockSize > 65536)
        return juce::Result::fail ("block size must be between 1 and 65536");

    if (! settings.input.existsAsFile())
        return juce::Result::fail ("input not found: " + settings.input.getFullPathName());

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (settings.input));

    if (reader == nullptr)
        return juce::Result::fail ("unsupported or unreadable audio file: " + settings.input.getFullPathName());

    const auto numChannels = (int) reader->numChannels;
    const auto sampleRate = reader->sampleRate;

    if (numChannels != 1 && numChannels != 2)
        return juce::Result::fail ("unsupported channel count " + juce::String (numChannels) + " (mono or stereo only)");

    if (! (sampleRate > 0.0))
        return juce::Result::fail ("the input has no valid sample rate");

    if (! settings.output.getParentDirectory().isDirectory())
        return juce::Result::fail ("cannot write output: folder " + settings.output.getParentDirectory().getFullPathName() + " does not exist");

    juce::String error;
    auto plugin = loadPlugin (settings.plugin, sampleRate, settings.blockSize, error);

    if (plugin == nullptr)
        return juce::Result::fail (error);

    if (! setChannelCount (*plugin, numChannels))
        return juce::Result::fail ("the plug-in refused a " + juce::String (numChannels) + "-channel layout");

    for (const auto& p : parameters)
        if (p.value && ! setParameterValue (*plugin, p.name, *p.value))
            return juce::Result::fail ("the plug-in has no parameter " + juce::String (p.name));

    plugin->prepareToPlay (sampleRate, settings.blockSize);

    juce::TemporaryFile temp (settings.output);
    auto stream = std::make_unique<juce::FileOutputStream> (temp.getFile());

    if (! stream->openedOk())
        return juce::Result::fail ("cannot write output: " + settings.output.getFullPathName());

    auto writer = createFloatWavWriter (stream.get(), sampleRate, numChannels);

    if (writer == nullptr)
        return juce::Result::fail ("cannot write output: " + settings.output.getFullPathName());

    stream.release();

    const auto total = reader->lengthInSamples + (juce::int64) std::ceil (settings.tailSeconds * sampleRate);
    juce::AudioBuffer<float> buffer (numChannels, settings.blockSize);
    juce::MidiBuffer midi;

    for (juce::int64 pos = 0; pos < total; pos += settings.blockSize)
    {
        const auto n = (int) std::min<juce::int64> (settings.blockSize, total - pos);
        buffer.setSize (numChannels, n, false, false, true);

        // Past the end of the file the reader fills in silence: the tail.
        if (! reader->read (&buffer, 0, n, pos, true, numChannels > 1))
            return juce::Result::fail ("cannot read input: " + settings.input.getFullPathName());

        plugin->processBlock (buffer, midi);

        if (! writer->writeFromAudioSampleBuffer (buffer, 0, n))
            return juce::Result::fail ("cannot write output: " + settings.output.getFullPathName());

        if (progress)
            progress ((double) (pos + n) / (double) total);
    }

    plugin->releaseResources();

    if (! writer->flush())
        return juce::Result::fail ("cannot write output: " + settings.output.getFullPathName());

    writer.reset();

    if (! temp.overwriteTargetFileWithTemporary())
        return juce::Result::fail ("cannot write output: " + settings.output.getFullPathName());

    return juce::Result::ok();
}
} // namespace flintwick::host
