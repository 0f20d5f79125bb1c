#include "TestHelpers.h"

#include <atomic>
#include <thread>

using namespace flintwick::test;

// Hosts may restore a state on the main thread while the audio thread keeps processing.
// Built with ThreadSanitizer in the test command, this shows the two share nothing unsafely.
TEST (Threading, StateRestoresWhileAudioRuns)
{
    auto p = makePrepared (48000.0, 2);

    std::vector<juce::MemoryBlock> states;
    for (float decay : { 30.0f, 900.0f, 1500.0f })
    {
        FlintwickAudioProcessor source;
        setParameter (source, "DECAY", decay);
        setParameter (source, "MATERIAL", decay / 1500.0f);
        juce::MemoryBlock block;
        source.getStateInformation (block);
        states.push_back (block);
    }

    std::atomic<bool> stop { false };
    std::atomic<int> blocks { 0 };

    std::thread audio ([&] {
        juce::AudioBuffer<float> buffer (2, 256);
        juce::MidiBuffer midi;

        while (! stop.load())
        {
            buffer.clear();
            buffer.setSample (0, 0, 0.9f);
            p->processBlock (buffer, midi);
            ++blocks;
        }
    });

    for (int i = 0; i < 300; ++i)
    {
        const auto& block = states[(size_t) i % states.size()];
        p->setStateInformation (block.getData(), (int) block.getSize());
        setParameter (*p, "SENSITIVITY", (float) (i % 100) / 100.0f);
    }

    while (blocks.load() < 200)
        std::this_thread::yield();

    stop = true;
    audio.join();

    EXPECT_GE (blocks.load(), 200);
    EXPECT_NEAR (rawValue (*p, "DECAY"), 1500.0f, 1.0e-3) << "the last restore (i = 299) is in force";
}
