// libFuzzer target: arbitrary bytes into setStateInformation. After every call each
// parameter must be finite and inside its range, and the state must round-trip.
#include "PluginProcessor.h"

#include <cstdlib>

namespace
{
// Lives until the process ends: libFuzzer exits from inside its own driver, after JUCE's
// statics may already be gone, so nothing here is torn down at exit.
FlintwickAudioProcessor& processor()
{
    static auto* juceInitialiser = new juce::ScopedJuceInitialiser_GUI();
    static auto* instance = new FlintwickAudioProcessor();
    juce::ignoreUnused (juceInitialiser);
    return *instance;
}

void checkRanges (FlintwickAudioProcessor& p)
{
    const struct { const char* id; float low, high; } ranges[] {
        { "MATERIAL", 0.0f, 1.0f }, { "DECAY", 10.0f, 1500.0f }, { "SENSITIVITY", 0.0f, 1.0f }
    };

    for (const auto& r : ranges)
    {
        const auto v = p.apvts.getRawParameterValue (r.id)->load();

        if (! (v >= r.low && v <= r.high))
            std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& p = processor();
    p.setStateInformation (data, (int) std::min<size_t> (size, 1 << 20));
    checkRanges (p);

    // Whatever was accepted saves and loads again to the same bytes.
    juce::MemoryBlock saved, again;
    p.getStateInformation (saved);
    p.setStateInformation (saved.getData(), (int) saved.getSize());
    p.getStateInformation (again);

    if (saved != again)
        std::abort();

    return 0;
}
