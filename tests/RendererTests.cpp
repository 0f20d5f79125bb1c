// flintwick-render run as a user runs it: files in, files out, exit status and message.
#include "Renderer.h"

#include <gtest/gtest.h>
#include <juce_audio_formats/juce_audio_formats.h>

namespace
{
struct Run
{
    int exitCode;
    juce::String output;
};

Run runRenderer (juce::StringArray args)
{
    args.insert (0, FLINTWICK_RENDER_BINARY);
    juce::ChildProcess process;
    EXPECT_TRUE (process.start (args, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr));
    auto output = process.readAllProcessOutput();
    process.waitForProcessToFinish (60000);
    return { (int) process.getExitCode(), output };
}

/** Quiet noise with two loud hits, at 44100 Hz. */
juce::AudioBuffer<float> makeInput (int numChannels, int numSamples)
{
    juce::AudioBuffer<float> buffer (numChannels, numSamples);
    juce::Random random (3);
    for (int c = 0; c < numChannels; ++c)
        for (int n = 0; n < numSamples; ++n)
            buffer.setSample (c, n, 0.01f * (random.nextFloat() - 0.5f) + ((n >= 10000 && n < 10100) || (n >= 40000 && n < 40100) ? 0.8f : 0.0f));
    return buffer;
}

struct RendererTest : public ::testing::Test
{
    juce::TemporaryFile folderName;
    juce::File dir = folderName.getFile();

    void SetUp() override { ASSERT_TRUE (dir.createDirectory()); }
    void TearDown() override { dir.deleteRecursively(); }

    juce::File write (const juce::String& name, const juce::AudioBuffer<float>& buffer)
    {
        const auto file = dir.getChildFile (name);
        EXPECT_TRUE (flintwick::host::writeWav (file, buffer, 44100.0).wasOk());
        return file;
    }
};
} // namespace

TEST_F (RendererTest, RendersMonoAndStereoWithTheTail)
{
    for (int channels : { 1, 2 })
    {
        SCOPED_TRACE (channels);
        const auto input = makeInput (channels, 60000);
        const auto in = write ("in.wav", input);
        const auto out = dir.getChildFile ("out.wav");

        const auto run = runRenderer ({ in.getFullPathName(), out.getFullPathName(), "--plugin", FLINTWICK_TEST_BUNDLE,
                                        "--material", "0.8", "--decay", "300", "--block", "256" });
        ASSERT_EQ (run.exitCode, 0) << run.output;

        double rate = 0.0;
        unsigned int bits = 0;
        const auto result = flintwick::host::readAudioFile (out, &rate, &bits);
        EXPECT_EQ (rate, 44100.0);
        EXPECT_EQ (bits, 32u);
        ASSERT_EQ (result.getNumChannels(), channels);
        ASSERT_EQ (result.getNumSamples(), 60000 + 66150);

        for (int c = 0; c < channels; ++c)
        {
            // Untouched before the first onset, bit for bit; taps after each onset.
            for (int n = 0; n < 10000; ++n)
                ASSERT_EQ (result.getSample (c, n), input.getSample (c, n)) << n;

            juce::AudioBuffer<float> added (1, 60000);
            added.copyFrom (0, 0, result, c, 0, 60000);
            added.addFrom (0, 0, input, c, 0, 60000, -1.0f);
            EXPECT_GT (added.getMagnitude (0, 10000, 5000), 0.05f);
            EXPECT_GT (added.getMagnitude (0, 40000, 5000), 0.05f);

            // The tail carries the end of the last tap, then silence.
            EXPECT_EQ (result.getMagnitude (c, 120000, 6150), 0.0f);
        }
    }
}

TEST_F (RendererTest, RefusesBadInputWithAMessageAndNoOutput)
{
    const auto good = write ("good.wav", makeInput (2, 4410));
    const auto notAudio = dir.getChildFile ("text.wav");
    notAudio.replaceWithText ("this is not audio");
    const auto threeChannels = write ("three.wav", makeInput (3, 4410));
    const auto notABundle = dir.getChildFile ("empty.vst3");
    notABundle.createDirectory();
    const auto out = dir.getChildFile ("out.wav");

    struct Case
    {
        const char* name;
        juce::StringArray args;
        int exitCode;
        const char* message;
        juce::File output;
    };

    const juce::String plugin = FLINTWICK_TEST_BUNDLE;
    const std::vector<Case> cases {
        { "missing input", { dir.getChildFile ("none.wav").getFullPathName(), out.getFullPathName(), "--plugin", plugin }, 1, "input not found", out },
        { "not audio", { notAudio.getFullPathName(), out.getFullPathName(), "--plugin", plugin }, 1, "unsupported or unreadable audio file", out },
        { "three channels", { threeChannels.getFullPathName(), out.getFullPathName(), "--plugin", plugin }, 1, "unsupported channel count 3", out },
        { "output folder missing", { good.getFullPathName(), dir.getChildFile ("no/out.wav").getFullPathName(), "--plugin", plugin }, 1, "cannot write output", dir.getChildFile ("no/out.wav") },
        { "bundle missing", { good.getFullPathName(), out.getFullPathName(), "--plugin", dir.getChildFile ("none.vst3").getFullPathName() }, 1, "plug-in bundle not found", out },
        { "not a bundle", { good.getFullPathName(), out.getFullPathName(), "--plugin", notABundle.getFullPathName() }, 1, "no VST3 plug-in could be loaded", out },
        { "decay out of range", { good.getFullPathName(), out.getFullPathName(), "--decay", "5" }, 2, "--decay must be between 10 and 1500", out },
        { "material not a number", { good.getFullPathName(), out.getFullPathName(), "--material", "abc" }, 2, "--material needs a number", out },
        { "sensitivity above 1", { good.getFullPathName(), out.getFullPathName(), "--sensitivity", "1.5" }, 2, "--sensitivity must be between 0 and 1", out },
        { "block not whole", { good.getFullPathName(), out.getFullPathName(), "--block", "1.5" }, 2, "--block needs a whole number", out },
        { "unknown option", { good.getFullPathName(), out.getFullPathName(), "--volume", "3" }, 2, "unknown option --volume", out },
        { "missing value", { good.getFullPathName(), out.getFullPathName(), "--decay" }, 2, "--decay needs a value", out },
        { "no output named", { good.getFullPathName() }, 2, "expected INPUT and OUTPUT", out },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto run = runRenderer (c.args);
        EXPECT_EQ (run.exitCode, c.exitCode);
        EXPECT_TRUE (run.output.startsWith ("flintwick-render: ")) << run.output;
        EXPECT_TRUE (run.output.contains (c.message)) << run.output;
        EXPECT_EQ (run.output.trim().indexOfChar ('\n'), -1) << "one line: " << run.output;
        EXPECT_FALSE (c.output.exists());
    }

    // Nothing but the inputs is left in the folder: no temporary files either.
    EXPECT_EQ (dir.getNumberOfChildFiles (juce::File::findFiles), 3);
}

TEST_F (RendererTest, ExistingOutputSurvivesAFailedRender)
{
    const auto out = dir.getChildFile ("out.wav");
    out.replaceWithText ("keep me");
    const auto notAudio = dir.getChildFile ("text.wav");
    notAudio.replaceWithText ("this is not audio");

    const auto run = runRenderer ({ notAudio.getFullPathName(), out.getFullPathName(), "--plugin", FLINTWICK_TEST_BUNDLE });
    EXPECT_EQ (run.exitCode, 1);
    EXPECT_EQ (out.loadFileAsString(), "keep me");
}

TEST_F (RendererTest, PrintsHelp)
{
    const auto run = runRenderer ({ "--help" });
    EXPECT_EQ (run.exitCode, 0);
    EXPECT_TRUE (run.output.startsWith ("usage: flintwick-render INPUT OUTPUT"));
}
