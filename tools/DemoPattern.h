#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace flintwick::host
{
/** A synthetic drum loop (kicks, snares, hats at varied levels and spacings), stereo, so the
    demo needs no third-party audio. Deterministic for a given sample rate. */
juce::AudioBuffer<float> makeDemoPattern (double sampleRate, double seconds);

/** The samples at which the plug-in's added signal starts after a stretch without it: its
    triggers, as long as taps do not overlap (the demo's hits are further apart than a tap
    at the default decay). */
juce::Array<int> findTapStarts (const juce::AudioBuffer<float>& dry, const juce::AudioBuffer<float>& processed);
} // namespace flintwick::host
