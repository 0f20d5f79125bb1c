// processBlock at 48000 Hz, stereo, blocks of 512: with no voice sounding, one voice, and
// all 16 busy. Reports nanoseconds per sample frame and the multiple of real time.
#include "PluginProcessor.h"

#include <benchmark/benchmark.h>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;

void runProcessBlock (benchmark::State& state, int voicesSounding)
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    FlintwickAudioProcessor processor;
    processor.prepareToPlay (sampleRate, blockSize);

    // Long taps, started directly so that the count stays fixed while the loop runs.
    const auto block = FlintwickAudioProcessor::computeBlockValues (0.5f, 1500.0f, 0.5f);
    // A quiet input that never reaches the threshold, copied in afresh for every block
    // (the copy is part of the measured time, as a host's buffer handling would be).
    juce::AudioBuffer<float> input (2, blockSize), buffer (2, blockSize);
    for (int c = 0; c < 2; ++c)
        for (int n = 0; n < blockSize; ++n)
            input.setSample (c, n, 0.01f * (float) ((n * 7 + c) % 13 - 6));

    juce::MidiBuffer midi;

    for (auto _ : state)
    {
        // Voices that ran out are restarted, so the count stays fixed.
        for (int v = 0; v < voicesSounding; ++v)
            if (! processor.voices[(size_t) v].active)
                processor.startVoice (1.0f, block);

        buffer.copyFrom (0, 0, input, 0, 0, blockSize);
        buffer.copyFrom (1, 0, input, 1, 0, blockSize);
        processor.processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }

    const auto frames = (double) state.iterations() * blockSize;
    state.counters["ns_per_frame"] = benchmark::Counter (frames * 1.0e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["x_realtime"] = benchmark::Counter (frames / sampleRate, benchmark::Counter::kIsRate);
}
} // namespace

BENCHMARK_CAPTURE (runProcessBlock, no_voice, 0)->Unit (benchmark::kMicrosecond);
BENCHMARK_CAPTURE (runProcessBlock, one_voice, 1)->Unit (benchmark::kMicrosecond);
BENCHMARK_CAPTURE (runProcessBlock, sixteen_voices, 16)->Unit (benchmark::kMicrosecond);

BENCHMARK_MAIN();
