#include "TestHelpers.h"

#include <cmath>
#include <cstring>
#include <limits>

using namespace flintwick::test;
using Block = FlintwickAudioProcessor::BlockValues;

namespace
{
Block defaultBlock() { return FlintwickAudioProcessor::computeBlockValues (0.5f, 250.0f, 0.5f); }

/** Feeds a mono signal one sample at a time, reporting the sample at which voice 0 started. */
int firstTriggerSample (FlintwickAudioProcessor& p, const std::vector<float>& input)
{
    for (size_t n = 0; n < input.size(); ++n)
    {
        Signal s (1, 1);
        s.at (0, 0) = input[n];
        process (p, s, 1);

        if (p.voices[0].active)
            return (int) n;
    }
    return -1;
}
} // namespace

//==============================================================================
TEST (BlockValues, FollowTheMaterialRange)
{
    struct Case
    {
        float m, noise, body, ping, cutoff, pingHz;
    };

    const Case cases[] {
        { 0.0f, 1.0f, 0.0f, 0.0f, 800.0f, 3000.0f },
        { 0.2f, 0.5f, 0.5f, 0.0f, 800.0f, 3000.0f },
        { 0.35f, 0.125f, 0.875f, 0.0f, 887.5f, 3000.0f },
        { 0.4f, 0.0f, 1.0f, 0.0f, 975.0f, 3000.0f },
        { 0.5f, 0.0f, 1.0f, 0.0f, 1150.0f, 3000.0f },
        { 0.6f, 0.0f, 1.0f, 0.0f, 1325.0f, 3000.0f },
        { 0.7f, 0.0f, 1.0f - (0.7f - 0.6f) / 0.4f, (0.7f - 0.6f) / 0.4f, 1500.0f, 4250.0f },
        { 0.8f, 0.0f, 0.5f, 0.5f, 1500.0f, 5500.0f },
        { 1.0f, 0.0f, 0.0f, 1.0f, 1500.0f, 8000.0f },
        { -0.3f, 1.0f, 0.0f, 0.0f, 800.0f, 3000.0f }, // clamped to 0
        { 1.7f, 0.0f, 0.0f, 1.0f, 1500.0f, 8000.0f },  // clamped to 1
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.m);
        const auto b = FlintwickAudioProcessor::computeBlockValues (c.m, 250.0f, 0.5f);
        EXPECT_NEAR (b.noiseWeight, c.noise, 1.0e-6);
        EXPECT_NEAR (b.bodyWeight, c.body, 1.0e-6);
        EXPECT_NEAR (b.pingWeight, c.ping, 1.0e-6);
        EXPECT_NEAR (b.bodyCutoffHz, c.cutoff, 1.0e-3);
        EXPECT_NEAR (b.pingOmega / 6.2831855f, c.pingHz, 1.0e-3);
    }

    // The exact float forms at the ends and the edges of the ramps.
    const auto one = FlintwickAudioProcessor::computeBlockValues (1.0f, 250.0f, 0.5f);
    EXPECT_EQ (one.pingWeight, 0.99999994f);
    EXPECT_GT (one.bodyWeight, 0.0f);
    EXPECT_EQ (FlintwickAudioProcessor::computeBlockValues (0.4f, 250.0f, 0.5f).noiseWeight, 0.0f);
    EXPECT_EQ (FlintwickAudioProcessor::computeBlockValues (0.4f, 250.0f, 0.5f).bodyWeight, 1.0f);
    EXPECT_EQ (FlintwickAudioProcessor::computeBlockValues (0.7f, 250.0f, 0.5f).bodyCutoffHz, 1500.0);
}

TEST (BlockValues, MapSensitivityAndDecay)
{
    struct Case
    {
        float s, threshold, rearm;
    };

    const Case thresholds[] {
        { 0.0f, 0.5f, 0.25f },
        { 0.5f, 0.26f, 0.13f },
        { 1.0f, 0.020000011f, 0.010000005f },
        { -1.0f, 0.5f, 0.25f },
        { 3.0f, 0.020000011f, 0.010000005f },
    };

    for (const auto& c : thresholds)
    {
        SCOPED_TRACE (c.s);
        const auto b = FlintwickAudioProcessor::computeBlockValues (0.5f, 250.0f, c.s);
        EXPECT_EQ (b.threshold, c.threshold);
        EXPECT_EQ (b.rearmLevel, c.rearm);
    }

    const std::pair<float, float> decays[] { { 250.0f, 0.25f }, { 10.0f, 0.01f }, { 1500.0f, 1.5f },
                                             { 0.5f, 0.001f }, { 0.0f, 0.001f }, { -20.0f, 0.001f } };

    for (auto [ms, seconds] : decays)
    {
        SCOPED_TRACE (ms);
        EXPECT_FLOAT_EQ (FlintwickAudioProcessor::computeBlockValues (0.5f, ms, 0.5f).decaySeconds, seconds);
    }
}

//==============================================================================
TEST (OnsetDetector, StepFiresOnItsSeventhSample)
{
    auto p = makePrepared (44100.0);

    std::vector<float> step (20, 1.0f);
    std::vector<float> envelopes;

    for (int n = 0; n < 7; ++n)
    {
        Signal s (1, 1);
        s.at (0, 0) = step[(size_t) n];
        process (*p, s, 1);
        envelopes.push_back (p->envelope);
        EXPECT_EQ (p->voices[0].active, n == 6) << "sample " << n + 1;
    }

    EXPECT_FLOAT_EQ (envelopes[5], 0.2382287f);
    EXPECT_EQ (envelopes[6], 0.27200443f);
    EXPECT_FALSE (p->armed);
    EXPECT_EQ (p->samplesSinceTrigger, 0);
    EXPECT_EQ (p->voices[0].velocity, 0.27200443f * 0.6f + 0.4f);
    EXPECT_FLOAT_EQ (p->voices[0].velocity, 0.5632027f);
}

TEST (OnsetDetector, ImpulseFiresOnlyAtHighSensitivity)
{
    for (auto [sensitivity, fires] : { std::pair { 0.5f, false }, std::pair { 1.0f, true } })
    {
        SCOPED_TRACE (sensitivity);
        auto p = makePrepared (44100.0);
        setParameter (*p, "SENSITIVITY", sensitivity);

        std::vector<float> impulse (100, 0.0f);
        impulse[0] = 1.0f;
        EXPECT_EQ (firstTriggerSample (*p, impulse), fires ? 0 : -1);
    }

    auto p = makePrepared (44100.0);
    Signal s (1, 1);
    s.at (0, 0) = 1.0f;
    process (*p, s, 1);
    EXPECT_NEAR (p->envelope, 0.0443385f, 1.0e-7);
}

TEST (OnsetDetector, StereoClickCountsAsHalf)
{
    auto stereo = makePrepared (44100.0, 2);
    auto mono = makePrepared (44100.0, 1);

    Signal click (2, 1);
    click.at (1, 0) = 1.0f;
    process (*stereo, click, 1);

    Signal half (1, 1);
    half.at (0, 0) = 0.5f;
    process (*mono, half, 1);

    EXPECT_EQ (stereo->envelope, mono->envelope);
    EXPECT_NEAR (stereo->envelope, 0.5f * (1.0f - 0.9556615f), 1.0e-7);
}

TEST (OnsetDetector, ThresholdIsInclusiveAndRearmIsStrict)
{
    auto p = makePrepared (44100.0);
    const auto b = defaultBlock();

    // An input equal to the envelope leaves the envelope unchanged: (e - e) * coeff + e.
    p->envelope = b.threshold;
    Signal at (1, 1);
    at.at (0, 0) = b.threshold;
    process (*p, at, 1);
    EXPECT_EQ (p->envelope, b.threshold);
    EXPECT_TRUE (p->voices[0].active) << "an envelope exactly at the threshold fires";

    p->prepareToPlay (44100.0, 512);
    p->armed = false;
    p->envelope = b.rearmLevel;
    Signal hold (1, 1);
    hold.at (0, 0) = b.rearmLevel;
    process (*p, hold, 1);
    EXPECT_EQ (p->envelope, b.rearmLevel);
    EXPECT_FALSE (p->armed) << "an envelope exactly at the re-arm level does not re-arm";
}

TEST (OnsetDetector, RearmsAfterTheEnvelopeFallsBelowHalfTheThreshold)
{
    // The reading in which the full-scale step lasts until the envelope is close to 1,
    // then silence begins: 5399 silent samples until the detector is armed again.
    auto p = makePrepared (44100.0);

    Signal loud (1, 2000);
    for (int n = 0; n < loud.numSamples(); ++n)
        loud.at (0, n) = 1.0f;
    process (*p, loud, 512);
    ASSERT_EQ (countActiveVoices (*p), 1) << "a sound that stays loud fires once";
    ASSERT_FALSE (p->armed);

    int silent = 0;
    while (! p->armed && silent < 100000)
    {
        process (*p, Signal (1, 1), 1);
        ++silent;
    }

    EXPECT_EQ (silent, 5399);
}

TEST (OnsetDetector, HoldOffSpacesTriggers)
{
    auto p = makePrepared (44100.0);
    setParameter (*p, "SENSITIVITY", 1.0f);

    // A loud sample every sample; force re-arming so that only the hold-off decides.
    std::vector<int> triggers;
    for (int n = 0; n < 3000; ++n)
    {
        const auto before = p->noiseSeed;
        p->armed = true;
        Signal s (1, 1);
        s.at (0, 0) = 1.0f;
        process (*p, s, 1);

        if (p->noiseSeed != before)
            triggers.push_back (n);
    }

    ASSERT_EQ (triggers.size(), 4u);
    EXPECT_EQ (triggers[0], 0);
    EXPECT_EQ (triggers[1], 882);
    EXPECT_EQ (triggers[2], 1764);
    EXPECT_EQ (triggers[3], 2646);
}

TEST (OnsetDetector, LevelAboveOneIsHandedOnAsOne)
{
    auto p = makePrepared (44100.0);
    p->envelope = 3.0f;
    Signal s (1, 1);
    s.at (0, 0) = 3.0f;
    process (*p, s, 1);
    ASSERT_TRUE (p->voices[0].active);
    EXPECT_EQ (p->voices[0].velocity, 1.0f);
}

TEST (OnsetDetector, HoldOffCounterNeverOverflows)
{
    auto p = makePrepared (44100.0);
    p->samplesSinceTrigger = std::numeric_limits<int32_t>::max() - 10;
    process (*p, Signal (1, 100), 100);
    EXPECT_EQ (p->samplesSinceTrigger, std::numeric_limits<int32_t>::max());

    Signal loud (1, 20);
    for (int n = 0; n < 20; ++n)
        loud.at (0, n) = 1.0f;
    process (*p, loud, 20);
    EXPECT_EQ (countActiveVoices (*p), 1) << "still fires after the counter saturated";
}

TEST (OnsetDetector, RecoversFromNonFiniteInput)
{
    const float bad[] { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                        -std::numeric_limits<float>::infinity() };

    for (auto value : bad)
    {
        SCOPED_TRACE (value);
        auto p = makePrepared (44100.0);

        Signal poisoned (1, 64);
        for (int n = 0; n < 64; ++n)
            poisoned.at (0, n) = value;
        const auto out = process (*p, poisoned, 64);

        EXPECT_TRUE (std::isfinite (p->envelope));
        EXPECT_EQ (countActiveVoices (*p), 0);

        // The next onset fires as usual and its tap is finite.
        Signal hit (1, 4096);
        for (int n = 100; n < 200; ++n)
            hit.at (0, n) = 1.0f;
        const auto after = process (*p, hit, 512);

        EXPECT_EQ (countActiveVoices (*p), 1);
        for (int n = 0; n < after.numSamples(); ++n)
            ASSERT_TRUE (std::isfinite (after.at (0, n))) << n;
    }
}

//==============================================================================
TEST (Voices, IdleVoicesAreTakenInOrderAndBusyOnesStolenRoundRobin)
{
    auto p = makePrepared (44100.0);
    const auto b = defaultBlock();

    for (int i = 0; i < 16; ++i)
    {
        p->startVoice (1.0f, b);
        EXPECT_EQ (countActiveVoices (*p), i + 1);
        EXPECT_TRUE (p->voices[(size_t) i].active);
    }
    EXPECT_EQ (p->stealIndex, 0);

    // All busy: each start takes voice stealIndex and moves it on, wrapping after 15.
    for (int i = 0; i < 17; ++i)
    {
        const auto expected = (size_t) (i % 16);
        p->voices[expected].amplitude = 0.5f;
        p->startVoice (1.0f, b);
        EXPECT_EQ (p->voices[expected].amplitude, 1.0f) << "start " << i;
        EXPECT_EQ (p->stealIndex, (i + 1) % 16);
    }

    // An idle voice is used before stealing, and leaves stealIndex alone.
    p->stealIndex = 9;
    p->voices[5].active = false;
    p->voices[12].active = false;
    p->voices[5].amplitude = 0.0f;
    p->startVoice (1.0f, b);
    EXPECT_TRUE (p->voices[5].active);
    EXPECT_FALSE (p->voices[12].active);
    EXPECT_EQ (p->stealIndex, 9);
}

TEST (Voices, NoiseSeedFollowsTheGoldenRatioSequence)
{
    auto p = makePrepared (44100.0);
    const uint32_t expected[] { 0x3C6EF373, 0xDAA66D2B, 0x78DDE6E5, 0x1715609D, 0xB54CDA57 };

    for (size_t i = 0; i < 5; ++i)
    {
        p->startVoice (1.0f, defaultBlock());
        EXPECT_EQ (p->voices[i].rngState, expected[i]) << i;
    }

    // The first noise values of the first tap.
    auto& v = p->voices[0];
    const std::pair<uint32_t, float> draws[] { { 0xA21CAC13u, 0.2665f }, { 0xC4442C5Cu, 0.53333044f },
                                               { 0x783E1BDBu, -0.060604572f } };

    for (auto [state, noise] : draws)
    {
        (void) FlintwickAudioProcessor::renderVoice (v);
        EXPECT_EQ (v.rngState, state);
        EXPECT_FLOAT_EQ ((float) state * 0x1p-31f - 1.0f, noise);
    }
}

TEST (Voices, VelocityAndCoefficients)
{
    struct Case
    {
        double rate;
        float decaySeconds;
        float decayCoeff, noiseG, noiseA1, noiseA2, noiseA3, phaseIncrement;
    };

    const Case cases[] {
        { 44100.0, 0.25f, 0.99937361f, 0.217028f, 0.738513f, 0.160278f, 0.0347849f, 0.42742759f },
        { 44100.0, 0.001f, 0.85501313f, 0.217028f, 0.738513f, 0.160278f, 0.0347849f, 0.42742759f },
        { 48000.0, 0.25f, std::exp (-6.9077554f / (0.25f * 48000.0f)), 0.198912f, -1.0f, -1.0f, -1.0f, 0.39269909f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.rate);
        auto p = makePrepared (c.rate);
        auto block = defaultBlock();
        block.decaySeconds = c.decaySeconds;
        p->startVoice (1.0f, block);
        const auto& v = p->voices[0];

        EXPECT_FLOAT_EQ (v.decayCoeff, c.decayCoeff);
        EXPECT_NEAR (v.noiseFilter.a2 / v.noiseFilter.a1, c.noiseG, 2.0e-6);
        EXPECT_EQ (v.noiseFilter.k, 1.4144272f);
        EXPECT_EQ (v.bodyFilter.k, 0.125f);

        if (c.noiseA1 > 0.0f)
        {
            EXPECT_NEAR (v.noiseFilter.a1, c.noiseA1, 1.0e-6);
            EXPECT_NEAR (v.noiseFilter.a2, c.noiseA2, 1.0e-6);
            EXPECT_NEAR (v.noiseFilter.a3, c.noiseA3, 1.0e-7);
            EXPECT_NEAR (v.bodyFilter.a2 / v.bodyFilter.a1, 0.0821074f, 2.0e-6);
        }

        EXPECT_FLOAT_EQ (v.phaseIncrement, c.phaseIncrement);
        EXPECT_EQ (v.amplitude, 1.0f);
        EXPECT_EQ (v.phase, 0.0f);
    }

    const std::pair<float, float> velocities[] { { 0.0f, 0.4f }, { 1.0f, 1.0f }, { 0.27200443f, 0.5632027f } };

    for (auto [level, velocity] : velocities)
    {
        auto p = makePrepared (44100.0);
        p->startVoice (level, defaultBlock());
        EXPECT_FLOAT_EQ (p->voices[0].velocity, velocity) << level;
    }
}

//==============================================================================
TEST (Rendering, FirstSamplesOfTheFirstTap)
{
    struct Case
    {
        float material;
        float y[5];
    };

    const Case cases[] {
        { 0.0f, { 0.070853f, 0.099748f, -0.12694f, 0.11459f, -0.28315f } },
        { 0.5f, { 0.045183f, 0.17857f, 0.24897f, 0.33191f, 0.31889f } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.material);
        auto p = makePrepared (44100.0);
        p->startVoice (1.0f, FlintwickAudioProcessor::computeBlockValues (c.material, 250.0f, 0.5f));

        for (int n = 0; n < 5; ++n)
            EXPECT_NEAR (FlintwickAudioProcessor::renderVoice (p->voices[0]) * 0.6f, c.y[n], 1.0e-5) << n;
    }
}

TEST (Rendering, TapLengths)
{
    const std::pair<float, int> cases[] { { 250.0f, 14700 }, { 1.0f, 59 }, { 1500.0f, 88194 } };

    for (auto [decayMs, length] : cases)
    {
        SCOPED_TRACE (decayMs);
        auto p = makePrepared (44100.0);
        p->startVoice (1.0f, FlintwickAudioProcessor::computeBlockValues (0.5f, decayMs, 0.5f));

        int rendered = 0;
        while (p->voices[0].active && rendered < 200000)
        {
            (void) FlintwickAudioProcessor::renderVoice (p->voices[0]);
            ++rendered;
        }

        EXPECT_EQ (rendered, length);
    }
}

TEST (Rendering, PingPhaseWrapsOncePerTurn)
{
    auto p = makePrepared (44100.0);
    p->startVoice (1.0f, FlintwickAudioProcessor::computeBlockValues (1.0f, 250.0f, 0.5f));
    auto& v = p->voices[0];

    const float expected[] { 0.0f, 1.1398069f, 2.2796137f, 3.4194207f, 4.5592275f, 5.6990342f, 0.5556555f };

    for (auto phase : expected)
    {
        EXPECT_FLOAT_EQ (v.phase, phase);
        (void) FlintwickAudioProcessor::renderVoice (v);
    }

    // A pure ping starts at phase 0, so the first sample is silent.
    auto q = makePrepared (44100.0);
    auto block = FlintwickAudioProcessor::computeBlockValues (1.0f, 250.0f, 0.5f);
    block.bodyWeight = 0.0f;
    q->startVoice (1.0f, block);
    EXPECT_EQ (FlintwickAudioProcessor::renderVoice (q->voices[0]), 0.0f);
}

//==============================================================================
namespace
{
/** A drum-like test input: short noisy hits of varied level every 95 to 115 ms, close
    enough that long taps pile up and force steals. */
Signal drumPattern (int numChannels, int numSamples, double sampleRate)
{
    Signal s (numChannels, numSamples);
    juce::Random random (1234);
    int next = 0;

    while (next < numSamples)
    {
        const auto level = 0.3f + 0.3f * random.nextFloat();
        const auto length = (int) (sampleRate * 0.003);

        for (int n = next; n < std::min (numSamples, next + length); ++n)
            for (int c = 0; c < numChannels; ++c)
                s.at (c, n) = level * (0.9f + 0.1f * random.nextFloat()) * ((n & 1) != 0 ? 1.0f : -1.0f);

        next += (int) (sampleRate * (0.095 + 0.02 * random.nextDouble()));
    }
    return s;
}

bool bitIdentical (const Signal& a, const Signal& b)
{
    if (a.numChannels() != b.numChannels() || a.numSamples() != b.numSamples())
        return false;

    for (int c = 0; c < a.numChannels(); ++c)
        if (std::memcmp (a.channels[(size_t) c].data(), b.channels[(size_t) c].data(), sizeof (float) * (size_t) a.numSamples()) != 0)
            return false;

    return true;
}
} // namespace

TEST (Processing, SplittingIntoBlocksChangesNothing)
{
    const auto input = drumPattern (2, 3 * 44100, 44100.0);

    auto reference = makePrepared (44100.0, 2);
    setParameter (*reference, "DECAY", 1500.0f); // long taps, so voices pile up and get stolen
    const auto expected = process (*reference, input, input.numSamples());
    ASSERT_GT (reference->stealIndex, 0) << "the pattern should force steals";

    for (int blockSize : { 1, 7, 512, 4096 })
    {
        SCOPED_TRACE (blockSize);
        auto p = makePrepared (44100.0, 2);
        setParameter (*p, "DECAY", 1500.0f);
        EXPECT_TRUE (bitIdentical (process (*p, input, blockSize), expected));
    }
}

TEST (Processing, SameInputAfterPrepareGivesSameOutput)
{
    const auto input = drumPattern (1, 22050, 44100.0);
    auto p = makePrepared (44100.0);

    const auto first = process (*p, input, 512);
    const auto steal = p->stealIndex;
    p->prepareToPlay (44100.0, 512);
    p->stealIndex = 0;
    const auto second = process (*p, input, 512);

    EXPECT_EQ (steal, 0) << "no steals in this pattern at the default decay";
    EXPECT_TRUE (bitIdentical (first, second));
}

TEST (Processing, PrepareSilencesSoundingTaps)
{
    auto p = makePrepared (44100.0);
    process (*p, drumPattern (1, 4410, 44100.0), 512);
    ASSERT_GT (countActiveVoices (*p), 0);

    p->prepareToPlay (44100.0, 512);
    const auto out = process (*p, Signal (1, 512), 512);
    EXPECT_TRUE (bitIdentical (out, Signal (1, 512)));
}

TEST (Processing, SamplesWithoutTapsPassThroughBitForBit)
{
    auto p = makePrepared (44100.0, 2);

    Signal input (2, 256);
    const float specials[] { -0.0f, 1.0e-40f, -1.0e-42f, 0.001f, -0.002f, std::numeric_limits<float>::denorm_min() };
    for (int n = 0; n < 256; ++n)
        for (int c = 0; c < 2; ++c)
            input.at (c, n) = specials[(size_t) (n + c) % 6];

    EXPECT_TRUE (bitIdentical (process (*p, input, 64), input));
    EXPECT_EQ (countActiveVoices (*p), 0);
}

TEST (Processing, AddsTheSameTapToEveryChannel)
{
    auto p = makePrepared (44100.0, 2);

    Signal input (2, 2048);
    for (int n = 100; n < 120; ++n)
        input.at (0, n) = 1.0f;
    for (int n = 0; n < 2048; ++n)
        input.at (1, n) = 0.25f * std::sin ((float) n * 0.01f);

    const auto out = process (*p, input, 512);

    int withTap = 0;
    for (int n = 0; n < 2048; ++n)
    {
        const auto y0 = out.at (0, n) - input.at (0, n);
        const auto y1 = out.at (1, n) - input.at (1, n);
        EXPECT_NEAR (y0, y1, 1.0e-6) << n;
        withTap += y0 != 0.0f ? 1 : 0;
    }
    EXPECT_GT (withTap, 1000);
}

TEST (Processing, ParametersAreReadOncePerBlockAndFrozenIntoVoices)
{
    Signal hit (1, 4096);
    for (int n = 0; n < 40; ++n)
        hit.at (0, n) = 1.0f;

    // The tap started under MATERIAL 0 keeps its sound when MATERIAL moves afterwards.
    auto steady = makePrepared (44100.0);
    setParameter (*steady, "MATERIAL", 0.0f);
    const auto a = process (*steady, hit, 512);

    auto moved = makePrepared (44100.0);
    setParameter (*moved, "MATERIAL", 0.0f);
    Signal firstBlock (1, 512), rest (1, 4096 - 512);
    firstBlock.channels[0].assign (hit.channels[0].begin(), hit.channels[0].begin() + 512);
    const auto b1 = process (*moved, firstBlock, 512);
    setParameter (*moved, "MATERIAL", 1.0f);
    setParameter (*moved, "DECAY", 10.0f);
    const auto b2 = process (*moved, rest, 512);

    for (int n = 0; n < 512; ++n)
        ASSERT_EQ (a.at (0, n), b1.at (0, n)) << n;
    for (int n = 0; n < rest.numSamples(); ++n)
        ASSERT_EQ (a.at (0, 512 + n), b2.at (0, n)) << n;

    // The new values apply to the next tap that starts.
    auto next = makePrepared (44100.0);
    setParameter (*next, "MATERIAL", 1.0f);
    process (*next, hit, 512);
    EXPECT_FLOAT_EQ (next->voices[0].pingWeight, 0.99999994f);
}

TEST (Processing, ZeroSampleBlockChangesNoState)
{
    auto p = makePrepared (44100.0, 2);
    process (*p, drumPattern (2, 3000, 44100.0), 512);

    const auto voicesBefore = p->voices;
    const auto envelope = p->envelope;
    const auto counter = p->samplesSinceTrigger;
    const auto seed = p->noiseSeed;
    const auto armed = p->armed;

    juce::AudioBuffer<float> empty (2, 0);
    juce::MidiBuffer midi;
    p->processBlock (empty, midi);

    EXPECT_EQ (std::memcmp (voicesBefore.data(), p->voices.data(), sizeof (Voice) * 16), 0);
    EXPECT_EQ (p->envelope, envelope);
    EXPECT_EQ (p->samplesSinceTrigger, counter);
    EXPECT_EQ (p->noiseSeed, seed);
    EXPECT_EQ (p->armed, armed);
}

TEST (Processing, OutOfRangeParameterValuesAreClamped)
{
    // Values written straight into the raw parameter values, beyond the ranges.
    auto p = makePrepared (44100.0);
    *p->materialParam = 4.0f;
    *p->decayParam = -100.0f;
    *p->sensitivityParam = 9.0f;

    Signal hit (1, 512);
    hit.at (0, 0) = 1.0f;
    process (*p, hit, 512);

    ASSERT_FALSE (p->voices[0].active) << "a 1 ms tap is over within the block";
    EXPECT_FLOAT_EQ (p->voices[0].decayCoeff, 0.85501313f);
    EXPECT_FLOAT_EQ (p->voices[0].pingWeight, 0.99999994f);
}

TEST (Processing, LowSampleRatesStayFiniteAndBounded)
{
    for (double rate : { 22050.0, 16000.0, 11025.0, 8000.0, 6000.0, 4000.0, 1000.0 })
    {
        for (float material : { 0.0f, 0.5f, 1.0f })
        {
            SCOPED_TRACE (juce::String (rate) + " Hz, material " + juce::String (material));
            auto p = makePrepared (rate);
            setParameter (*p, "MATERIAL", material);
            setParameter (*p, "DECAY", 1500.0f);

            const auto out = process (*p, drumPattern (1, (int) rate * 2, rate), 256);

            for (int n = 0; n < out.numSamples(); ++n)
            {
                ASSERT_TRUE (std::isfinite (out.at (0, n))) << n;
                ASSERT_LT (std::abs (out.at (0, n)), 50.0f) << n;
            }

            for (const auto& v : p->voices)
            {
                EXPECT_GE (v.phase, 0.0f);
                EXPECT_LT (v.phase, 6.2831855f);
            }
        }
    }
}
