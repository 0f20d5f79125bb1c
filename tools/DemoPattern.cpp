#include "DemoPattern.h"

#include <cmath>

namespace flintwick::host
{
namespace
{
enum class Drum { kick, snare, hat };

void addHit (juce::AudioBuffer<float>& out, int start, Drum drum, float level, juce::Random& random, double sampleRate)
{
    const auto length = (int) (sampleRate * (drum == Drum::hat ? 0.05 : 0.35));
    const auto pan = drum == Drum::hat ? 0.35f : 0.0f;
    auto phase = 0.0;
    auto lowpassed = 0.0f;

    for (int i = 0; i < length && start + i < out.getNumSamples(); ++i)
    {
        const auto t = (double) i / sampleRate;
        auto value = 0.0f;

        switch (drum)
        {
            case Drum::kick: // a sine falling from 120 to 45 Hz
                phase += juce::MathConstants<double>::twoPi * (45.0 + 75.0 * std::exp (-t * 30.0)) / sampleRate;
                value = (float) (std::sin (phase) * std::exp (-t * 9.0));
                break;

            case Drum::snare: // a 190 Hz tone under a burst of noise
            {
                const auto noise = random.nextFloat() * 2.0f - 1.0f;
                value = (float) (0.4 * std::sin (juce::MathConstants<double>::twoPi * 190.0 * t) * std::exp (-t * 25.0)
                                 + 0.7 * noise * std::exp (-t * 18.0));
                break;
            }

            case Drum::hat: // high-passed noise, very short
            {
                const auto noise = random.nextFloat() * 2.0f - 1.0f;
                lowpassed += 0.3f * (noise - lowpassed);
                value = (float) ((noise - lowpassed) * std::exp (-t * 90.0));
                break;
            }
        }

        out.addSample (0, start + i, level * value * (1.0f - pan));
        out.addSample (1, start + i, level * value * (1.0f + pan) * 0.9f);
    }
}
} // namespace

juce::AudioBuffer<float> makeDemoPattern (double sampleRate, double seconds)
{
    juce::AudioBuffer<float> out (2, (int) (sampleRate * seconds));
    out.clear();
    juce::Random random (42);

    // 80 BPM: a beat is 0.75 s. Kicks on 1 and 3, snares on 2 and 4, hats on the off-beats,
    // alternately quiet (below the default threshold) and loud.
    const auto beat = sampleRate * 0.75;
    const float kickLevels[] { 0.95f, 0.7f, 0.85f, 0.5f };
    const float snareLevels[] { 0.8f, 0.6f, 0.9f, 0.4f };

    for (int bar = 0; bar * 4 * beat < out.getNumSamples(); ++bar)
    {
        const auto barStart = bar * 4.0 * beat;
        addHit (out, (int) barStart, Drum::kick, kickLevels[bar % 4], random, sampleRate);
        addHit (out, (int) (barStart + 2.0 * beat), Drum::kick, kickLevels[(bar + 2) % 4], random, sampleRate);
        addHit (out, (int) (barStart + beat), Drum::snare, snareLevels[bar % 4], random, sampleRate);
        addHit (out, (int) (barStart + 3.0 * beat), Drum::snare, snareLevels[(bar + 1) % 4], random, sampleRate);

        for (int half = 0; half < 4; ++half)
            addHit (out, (int) (barStart + (half + 0.5) * beat), Drum::hat, half % 2 == 0 ? 0.2f : 0.9f, random, sampleRate);
    }

    return out;
}

juce::Array<int> findTapStarts (const juce::AudioBuffer<float>& dry, const juce::AudioBuffer<float>& processed)
{
    // A tap can round away against a loud input for a few samples, so a start needs a
    // stretch of untouched samples before it.
    constexpr int minimumGap = 256;
    juce::Array<int> starts;
    auto untouched = minimumGap;
    const auto n = std::min (dry.getNumSamples(), processed.getNumSamples());

    for (int i = 0; i < n; ++i)
    {
        if (processed.getSample (0, i) == dry.getSample (0, i))
        {
            ++untouched;
            continue;
        }

        if (untouched >= minimumGap)
            starts.add (i);

        untouched = 0;
    }

    return starts;
}
} // namespace flintwick::host
