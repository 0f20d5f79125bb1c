#include "TestHelpers.h"

using namespace flintwick::test;

//==============================================================================
TEST (Processor, GivesTheFixedAnswers)
{
    FlintwickAudioProcessor p;

    EXPECT_EQ (p.getName(), "FLINTWICK");
    EXPECT_EQ (p.getNumPrograms(), 1);
    EXPECT_EQ (p.getCurrentProgram(), 0);
    EXPECT_EQ (p.getProgramName (0), "");
    EXPECT_DOUBLE_EQ (p.getTailLengthSeconds(), 1.5);
    EXPECT_FALSE (p.acceptsMidi());
    EXPECT_FALSE (p.producesMidi());
    EXPECT_FALSE (p.isMidiEffect());
    EXPECT_TRUE (p.hasEditor());
    EXPECT_FALSE (p.supportsDoublePrecisionProcessing());
    EXPECT_EQ (p.getLatencySamples(), 0);
    EXPECT_EQ (p.getBypassParameter(), nullptr);

    p.setCurrentProgram (3);
    EXPECT_EQ (p.getCurrentProgram(), 0);
    p.changeProgramName (0, "Mine");
    EXPECT_EQ (p.getProgramName (0), "");
}

TEST (Processor, DefaultLayoutIsStereoInAndOut)
{
    FlintwickAudioProcessor p;

    ASSERT_EQ (p.getBusCount (true), 1);
    ASSERT_EQ (p.getBusCount (false), 1);
    EXPECT_EQ (p.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (p.getBus (false, 0)->getName(), "Output");
    EXPECT_TRUE (p.getBus (true, 0)->isEnabled());
    EXPECT_TRUE (p.getBus (false, 0)->isEnabled());
    EXPECT_EQ (p.getTotalNumInputChannels(), 2);
    EXPECT_EQ (p.getTotalNumOutputChannels(), 2);
    EXPECT_FALSE (p.canAddBus (true));
    EXPECT_FALSE (p.canRemoveBus (false));
}

TEST (Processor, AcceptsOnlyMatchingMonoOrStereoLayouts)
{
    using Set = juce::AudioChannelSet;

    struct Case
    {
        const char* name;
        std::vector<Set> inputs, outputs;
        bool accepted;
    };

    const std::vector<Case> cases {
        { "mono/mono", { Set::mono() }, { Set::mono() }, true },
        { "stereo/stereo", { Set::stereo() }, { Set::stereo() }, true },
        { "mono/stereo", { Set::mono() }, { Set::stereo() }, false },
        { "stereo/mono", { Set::stereo() }, { Set::mono() }, false },
        { "disabled/stereo", { Set::disabled() }, { Set::stereo() }, false },
        { "stereo/disabled", { Set::stereo() }, { Set::disabled() }, false },
        { "no output bus", { Set::stereo() }, {}, false },
        { "no input bus", {}, { Set::stereo() }, false },
        { "5.1/5.1", { Set::create5point1() }, { Set::create5point1() }, false },
        { "LCR/LCR", { Set::createLCR() }, { Set::createLCR() }, false },
        { "quad/quad", { Set::quadraphonic() }, { Set::quadraphonic() }, false },
    };

    FlintwickAudioProcessor p;

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.addArray (c.inputs.data(), (int) c.inputs.size());
        layout.outputBuses.addArray (c.outputs.data(), (int) c.outputs.size());
        EXPECT_EQ (p.checkBusesLayoutSupported (layout), c.accepted);
    }
}

//==============================================================================
TEST (Parameters, AreTheThreeOfTheLayoutInOrder)
{
    struct Expected
    {
        const char* id;
        const char* name;
        float start, end, interval, skew, defaultValue, normalisedDefault;
    };

    const Expected expected[] {
        { "MATERIAL", "Material", 0.0f, 1.0f, 0.0001f, 1.0f, 0.5f, 0.5f },
        { "DECAY", "Decay", 10.0f, 1500.0f, 0.1f, 0.35f, 250.0f, 0.5278f },
        { "SENSITIVITY", "Sensitivity", 0.0f, 1.0f, 0.0001f, 1.0f, 0.5f, 0.5f },
    };

    FlintwickAudioProcessor p;
    const auto& params = p.getParameters();
    ASSERT_EQ (params.size(), 3);

    for (int i = 0; i < 3; ++i)
    {
        const auto& e = expected[i];
        SCOPED_TRACE (e.id);

        auto* param = dynamic_cast<juce::AudioParameterFloat*> (params[i]);
        ASSERT_NE (param, nullptr);
        EXPECT_EQ (param->getParameterID(), e.id);
        EXPECT_EQ (param->getName (100), e.name);
        EXPECT_EQ (param->getVersionHint(), 1);
        EXPECT_EQ (param->getLabel(), "");
        EXPECT_TRUE (param->isAutomatable());
        EXPECT_FALSE (param->isDiscrete());
        EXPECT_FALSE (param->isMetaParameter());
        EXPECT_EQ (param->range.start, e.start);
        EXPECT_EQ (param->range.end, e.end);
        EXPECT_EQ (param->range.interval, e.interval);
        EXPECT_EQ (param->range.skew, e.skew);
        EXPECT_FALSE (param->range.symmetricSkew);
        auto* base = static_cast<juce::AudioProcessorParameter*> (param);
        EXPECT_NEAR (param->convertFrom0to1 (base->getDefaultValue()), e.defaultValue, 1.0e-4);
        EXPECT_NEAR (base->getDefaultValue(), e.normalisedDefault, 1.0e-4);
        EXPECT_NEAR (p.apvts.getRawParameterValue (e.id)->load(), e.defaultValue, 1.0e-4);
    }

    EXPECT_EQ (p.materialParam, p.apvts.getRawParameterValue ("MATERIAL"));
    EXPECT_EQ (p.decayParam, p.apvts.getRawParameterValue ("DECAY"));
    EXPECT_EQ (p.sensitivityParam, p.apvts.getRawParameterValue ("SENSITIVITY"));
}

TEST (Parameters, DecayFollowsItsSkewedMapping)
{
    FlintwickAudioProcessor p;
    auto* decay = p.apvts.getParameter ("DECAY");

    const std::pair<float, float> points[] { { 0.0f, 10.0f }, { 0.25f, 38.4f }, { 0.5f, 215.6f },
                                             { 0.75f, 665.0f }, { 1.0f, 1500.0f } };

    for (auto [normalised, ms] : points)
    {
        SCOPED_TRACE (normalised);
        decay->setValueNotifyingHost (normalised);
        EXPECT_NEAR (rawValue (p, "DECAY"), ms, 1.0e-3);
    }
}

TEST (Parameters, SnapToTheirIntervalAndClampToTheirRange)
{
    struct Case
    {
        const char* id;
        float given, stored;
    };

    const Case cases[] {
        { "DECAY", 250.04f, 250.0f },   { "DECAY", 250.06f, 250.1f },
        { "DECAY", 5.0f, 10.0f },       { "DECAY", 2000.0f, 1500.0f },
        { "MATERIAL", -0.5f, 0.0f },    { "MATERIAL", 1.5f, 1.0f },
        { "MATERIAL", 0.12344f, 0.1234f }, { "SENSITIVITY", 0.98765f, 0.9877f },
    };

    FlintwickAudioProcessor p;

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.id) + " " + juce::String (c.given));
        setParameter (p, c.id, c.given);
        EXPECT_NEAR (rawValue (p, c.id), c.stored, 1.0e-4);
    }
}

TEST (Parameters, HostTextShowsTheIntervalsDecimals)
{
    FlintwickAudioProcessor p;
    const auto& params = p.getParameters();

    EXPECT_EQ (params[0]->getCurrentValueAsText(), "0.5000");
    EXPECT_EQ (params[1]->getCurrentValueAsText(), "250.0");
    EXPECT_EQ (params[2]->getCurrentValueAsText(), "0.5000");

    // Typed text is read as a number.
    auto* decay = p.apvts.getParameter ("DECAY");
    EXPECT_NEAR (decay->convertFrom0to1 (decay->getValueForText ("700")), 700.0f, 1.0e-3);
}

//==============================================================================
TEST (EngineState, StartsAtItsDeclaredValues)
{
    FlintwickAudioProcessor p;

    EXPECT_EQ (p.envelope, 0.0f);
    EXPECT_EQ (p.attackCoeff, 0.0f);
    EXPECT_EQ (p.releaseCoeff, 0.0f);
    EXPECT_TRUE (p.armed);
    EXPECT_EQ (p.holdOffSamples, 882);
    EXPECT_EQ (p.samplesSinceTrigger, 0);
    EXPECT_EQ (p.sampleRate, 44100.0);
    EXPECT_EQ (p.stealIndex, 0);
    EXPECT_EQ (p.noiseSeed, 0x9E3779B9u);

    for (const auto& v : p.voices)
    {
        EXPECT_FALSE (v.active);
        EXPECT_EQ (v.velocity, 1.0f);
        EXPECT_EQ (v.rngState, 1u);
        EXPECT_EQ (v.amplitude, 0.0f);
        EXPECT_EQ (v.bodyFilter.k, 0.0f);
    }
}

TEST (EngineState, PrepareDerivesTheRateDependentValues)
{
    struct Case
    {
        double rate;
        float attack, release;
        int holdOff;
    };

    const Case cases[] {
        { 44100.0, 0.9556615f, 0.99962217f, 882 },
        { 48000.0, 0.9591895f, 0.99965286f, 960 },
        { 96000.0, (float) std::exp (-1.0 / 48.0), (float) std::exp (-1.0 / 5760.0), 1920 },
        { 49.0, (float) std::exp (-1.0 / (0.0005 * 49.0)), (float) std::exp (-1.0 / (0.06 * 49.0)), 1 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.rate);
        FlintwickAudioProcessor p;
        p.envelope = 0.7f;
        p.armed = false;
        p.noiseSeed = 42;
        p.voices[3].active = true;
        p.voices[3].amplitude = 0.5f;
        p.voices[3].phase = 1.0f;
        p.voices[3].noiseFilter.ic1eq = 0.25f;
        p.voices[3].bodyFilter.ic2eq = 0.25f;
        p.voices[3].decayCoeff = 0.9f;

        p.prepareToPlay (c.rate, 512);

        EXPECT_EQ (p.sampleRate, c.rate);
        EXPECT_FLOAT_EQ (p.attackCoeff, c.attack);
        EXPECT_FLOAT_EQ (p.releaseCoeff, c.release);
        EXPECT_EQ (p.holdOffSamples, c.holdOff);
        EXPECT_EQ (p.samplesSinceTrigger, c.holdOff);
        EXPECT_EQ (p.envelope, 0.0f);
        EXPECT_TRUE (p.armed);
        EXPECT_EQ (p.noiseSeed, 0x9E3779B9u);

        const auto& v = p.voices[3];
        EXPECT_FALSE (v.active);
        EXPECT_EQ (v.amplitude, 0.0f);
        EXPECT_EQ (v.phase, 0.0f);
        EXPECT_EQ (v.noiseFilter.ic1eq, 0.0f);
        EXPECT_EQ (v.bodyFilter.ic2eq, 0.0f);
        EXPECT_EQ (v.decayCoeff, 0.9f) << "fields a voice start rewrites are left alone";
    }
}

TEST (EngineState, StealIndexSurvivesPrepareAndRelease)
{
    FlintwickAudioProcessor p;
    p.stealIndex = 9;
    p.prepareToPlay (48000.0, 256);
    p.releaseResources();
    p.prepareToPlay (44100.0, 256);
    EXPECT_EQ (p.stealIndex, 9);
}
