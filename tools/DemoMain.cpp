// flintwick-demo: renders a generated drum loop through the plug-in at three MATERIAL
// settings and plots input and outputs with the trigger points marked.
#include "DemoPattern.h"
#include "Renderer.h"
#include "WaveformPlot.h"

#include <cstdio>

namespace
{
int fail (const juce::String& message)
{
    std::fprintf (stderr, "flintwick-demo: %s\n", message.toRawUTF8());
    return 1;
}
} // namespace

int main (int argc, char* argv[])
{
    if (argc < 3 || juce::String (argv[1]) == "--help")
    {
        std::fputs ("usage: flintwick-demo OUTDIR PLUGIN\n"
                    "Writes demo-dry.wav, demo-material-*.wav and demo-waveforms.png into OUTDIR.\n", stderr);
        return argc < 3 ? 2 : 0;
    }

    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    const auto cwd = juce::File::getCurrentWorkingDirectory();
    const auto outDir = cwd.getChildFile (argv[1]);
    const auto plugin = cwd.getChildFile (argv[2]);

    if (! outDir.createDirectory())
        return fail ("cannot create " + outDir.getFullPathName());

    constexpr double sampleRate = 48000.0;
    const auto dry = flintwick::host::makeDemoPattern (sampleRate, 6.0);
    const auto dryFile = outDir.getChildFile ("demo-dry.wav");

    if (auto r = flintwick::host::writeWav (dryFile, dry, sampleRate); r.failed())
        return fail (r.getErrorMessage());

    std::printf ("wrote %s\n", dryFile.getFullPathName().toRawUTF8());

    // The dry lane is drawn with the tail's length of silence, like the outputs.
    juce::AudioBuffer<float> dryWithTail (2, dry.getNumSamples() + (int) (1.5 * sampleRate));
    dryWithTail.clear();
    for (int c = 0; c < 2; ++c)
        dryWithTail.copyFrom (c, 0, dry, c, 0, dry.getNumSamples());

    std::vector<juce::AudioBuffer<float>> outputs, taps;
    std::vector<flintwick::host::PlotLane> lanes { { "input: generated drum loop, 80 BPM", &dryWithTail, {} } };

    for (float material : { 0.0f, 0.5f, 1.0f })
    {
        flintwick::host::RenderSettings settings;
        settings.input = dryFile;
        settings.output = outDir.getChildFile ("demo-material-" + juce::String (material, 1) + ".wav");
        settings.plugin = plugin;
        settings.material = material;

        if (auto r = flintwick::host::render (settings); r.failed())
            return fail (r.getErrorMessage());

        std::printf ("wrote %s\n", settings.output.getFullPathName().toRawUTF8());
        outputs.push_back (flintwick::host::readAudioFile (settings.output));

        // What the plug-in added: output minus input.
        auto& added = taps.emplace_back (outputs.back());
        for (int c = 0; c < added.getNumChannels(); ++c)
            added.addFrom (c, 0, dryWithTail, c, 0, std::min (added.getNumSamples(), dryWithTail.getNumSamples()), -1.0f);
    }

    const char* captions[] { "output, MATERIAL 0 (noise)", "output, MATERIAL 0.5 (body)", "output, MATERIAL 1 (ping)" };

    for (size_t i = 0; i < outputs.size(); ++i)
    {
        const auto triggers = flintwick::host::findTapStarts (dryWithTail, outputs[i]);
        lanes.push_back ({ juce::String (captions[i]) + ": input (grey) + taps (teal), "
                               + juce::String (triggers.size()) + " triggers (marked)",
                           &outputs[i], triggers, &taps[i] });
    }

    const auto png = outDir.getChildFile ("demo-waveforms.png");

    if (! flintwick::host::writePng (flintwick::host::plotWaveforms (lanes, sampleRate), png))
        return fail ("cannot write " + png.getFullPathName());

    std::printf ("wrote %s\n", png.getFullPathName().toRawUTF8());
    return 0;
}
