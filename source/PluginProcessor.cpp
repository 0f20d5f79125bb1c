#include "PluginProcessor.h"
#include "PluginEditor.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
constexpr float twoPi = 6.2831855f;           // 2 pi rounded to float
constexpr uint32_t goldenRatioStep = 0x9E3779B9u; // 2^32 / golden ratio

/** Highest frequency-to-sample-rate ratio a filter is tuned to. Keeps tan() finite and
    positive when a filter frequency would reach half the sample rate (below 6 kHz);
    at 22050 Hz and above no filter comes near it. */
constexpr float maxFilterRatio = 0.49f;

float clamp01 (float x) noexcept
{
    return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x);
}

void setFilterCoefficients (Svf& filter, float ratio, float k) noexcept
{
    const auto g = std::tan (std::min (ratio, maxFilterRatio) * 3.1415927f);
    filter.k = k;
    filter.a1 = 1.0f / ((g + k) * g + 1.0f);
    filter.a2 = filter.a1 * g;
    filter.a3 = filter.a2 * g;
}

struct SvfOutput
{
    float band, low;
};

SvfOutput stepFilter (Svf& f, float u) noexcept
{
    const auto d = u - f.ic2eq;
    const auto band = f.a1 * f.ic1eq + f.a2 * d;
    const auto low = f.a3 * d + (f.a2 * f.ic1eq + f.ic2eq);
    f.ic1eq = 2.0f * band - f.ic1eq;
    f.ic2eq = 2.0f * low - f.ic2eq;
    return { band, low };
}
} // namespace

//==============================================================================
FlintwickAudioProcessor::FlintwickAudioProcessor()
    : AudioProcessor (BusesProperties()
                          .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                          .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      apvts (*this, nullptr, "PARAMS", createParameterLayout())
{
    materialParam = apvts.getRawParameterValue ("MATERIAL");
    decayParam = apvts.getRawParameterValue ("DECAY");
    sensitivityParam = apvts.getRawParameterValue ("SENSITIVITY");
}

juce::AudioProcessorValueTreeState::ParameterLayout FlintwickAudioProcessor::createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;

    layout.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "MATERIAL", 1 }, "Material",
                                                             juce::NormalisableRange<float> (0.0f, 1.0f, 0.0001f, 1.0f), 0.5f));
    layout.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "DECAY", 1 }, "Decay",
                                                             juce::NormalisableRange<float> (10.0f, 1500.0f, 0.1f, 0.35f), 250.0f));
    layout.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "SENSITIVITY", 1 }, "Sensitivity",
                                                             juce::NormalisableRange<float> (0.0f, 1.0f, 0.0001f, 1.0f), 0.5f));
    return layout;
}

//==============================================================================
const juce::String FlintwickAudioProcessor::getName() const { return "FLINTWICK"; }

double FlintwickAudioProcessor::getTailLengthSeconds() const { return 1.5; }

bool FlintwickAudioProcessor::acceptsMidi() const { return false; }
bool FlintwickAudioProcessor::producesMidi() const { return false; }
bool FlintwickAudioProcessor::isMidiEffect() const { return false; }

juce::AudioProcessorEditor* FlintwickAudioProcessor::createEditor() { return new FlintwickAudioProcessorEditor (*this); }
bool FlintwickAudioProcessor::hasEditor() const { return true; }

int FlintwickAudioProcessor::getNumPrograms() { return 1; }
int FlintwickAudioProcessor::getCurrentProgram() { return 0; }
void FlintwickAudioProcessor::setCurrentProgram (int) {}
const juce::String FlintwickAudioProcessor::getProgramName (int) { return {}; }
void FlintwickAudioProcessor::changeProgramName (int, const juce::String&) {}

bool FlintwickAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto mainOut = layouts.getMainOutputChannelSet();

    if (mainOut != juce::AudioChannelSet::mono() && mainOut != juce::AudioChannelSet::stereo())
        return false;

    return layouts.getMainInputChannelSet() == mainOut;
}

//==============================================================================
void FlintwickAudioProcessor::prepareToPlay (double sr, int)
{
    sampleRate = sr;
    attackCoeff = (float) std::exp (-1.0 / (0.0005 * sr));
    releaseCoeff = (float) std::exp (-1.0 / (0.06 * sr));
    holdOffSamples = std::max ((int32_t) (0.02 * sr), (int32_t) 1);
    envelope = 0.0f;
    armed = true;
    samplesSinceTrigger = holdOffSamples;
    noiseSeed = goldenRatioStep;

    for (auto& v : voices)
    {
        v.active = false;
        v.amplitude = 0.0f;
        v.noiseFilter.ic1eq = v.noiseFilter.ic2eq = 0.0f;
        v.bodyFilter.ic1eq = v.bodyFilter.ic2eq = 0.0f;
        v.phase = 0.0f;
    }
}

void FlintwickAudioProcessor::releaseResources() {}

//==============================================================================
FlintwickAudioProcessor::BlockValues FlintwickAudioProcessor::computeBlockValues (float M, float D, float S) noexcept
{
    BlockValues b {};

    b.threshold = S < 0.0f ? 0.5f : 0.5f - 0.48f * std::min (1.0f, S);
    b.rearmLevel = 0.5f * b.threshold;

    const auto m = M < 0.0f ? 0.0f : std::min (1.0f, M);

    const auto t = D * 0.001f;
    b.decaySeconds = t > 0.001f ? t : 0.001f;

    b.noiseWeight = clamp01 ((0.4f - m) / 0.4f);
    b.pingWeight = clamp01 ((m - 0.6f) / 0.4f);
    b.bodyWeight = std::max (0.0f, (1.0f - b.noiseWeight) - b.pingWeight);

    const auto x = (m - 0.3f) / 0.4f;
    b.bodyCutoffHz = x < 0.0f ? 800.0 : (x > 1.0f ? 1500.0 : (double) (700.0f * x + 800.0f));

    b.pingOmega = (b.pingWeight * 5000.0f + 3000.0f) * twoPi;
    return b;
}

void FlintwickAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    const auto totalIn = getTotalNumInputChannels();
    const auto totalOut = getTotalNumOutputChannels();

    for (auto ch = totalIn; ch < totalOut; ++ch)
        buffer.clear (ch, 0, buffer.getNumSamples());

    const auto M = materialParam->load();
    const auto D = decayParam->load();
    const auto S = sensitivityParam->load();

    const auto numChannels = buffer.getNumChannels();
    const auto inputGain = 1.0f / (float) std::max (1, numChannels);

    const auto numSamples = buffer.getNumSamples();

    if (numSamples <= 0)
        return;

    const auto block = computeBlockValues (M, D, S);
    const auto* const* in = buffer.getArrayOfReadPointers();

    for (int n = 0; n < numSamples; ++n)
    {
        // Onset detector: the mean of the incoming channels drives the envelope.
        auto s = 0.0f;

        for (int c = 0; c < numChannels; ++c)
            s += in[c][n];

        auto x = std::abs (s * inputGain);

        // A non-finite sample counts as silence, so it cannot poison the envelope.
        if (! std::isfinite (x))
            x = 0.0f;

        const auto coeff = x > envelope ? attackCoeff : releaseCoeff;
        envelope = (envelope - x) * coeff + x;

        // Saturates instead of overflowing after hours without a trigger.
        if (samplesSinceTrigger < std::numeric_limits<int32_t>::max())
            ++samplesSinceTrigger;

        if (armed)
        {
            if (envelope >= block.threshold && samplesSinceTrigger >= holdOffSamples)
            {
                armed = false;
                samplesSinceTrigger = 0;
                startVoice (envelope < 0.0f ? 0.0f : std::min (1.0f, envelope), block);
            }
        }
        else if (envelope < block.rearmLevel)
        {
            armed = true;
        }

        // Voices: the sum of every sounding tap, added to each channel.
        auto tapSum = 0.0f;
        auto anySounding = false;

        for (auto& v : voices)
        {
            if (v.active)
            {
                tapSum += renderVoice (v);
                anySounding = true;
            }
        }

        // A sample without taps leaves the input untouched, bit for bit.
        if (! anySounding)
            continue;

        const auto y = tapSum * 0.6f;

        for (int c = 0; c < numChannels; ++c)
            buffer.getWritePointer (c)[n] += y;
    }
}

void FlintwickAudioProcessor::startVoice (float level, const BlockValues& block) noexcept
{
    auto* voice = std::find_if (voices.begin(), voices.end(), [] (const Voice& v) { return ! v.active; });

    if (voice == voices.end())
    {
        voice = &voices[(size_t) stealIndex];
        stealIndex = (stealIndex + 1) % 16;
    }

    noiseSeed += goldenRatioStep;

    auto& v = *voice;
    v.active = true;
    v.rngState = noiseSeed | 1u;
    v.noiseFilter.ic1eq = v.noiseFilter.ic2eq = 0.0f;
    v.bodyFilter.ic1eq = v.bodyFilter.ic2eq = 0.0f;
    v.phase = 0.0f;
    v.amplitude = 1.0f;
    v.velocity = level * 0.6f + 0.4f;
    v.noiseWeight = block.noiseWeight;
    v.bodyWeight = block.bodyWeight;
    v.pingWeight = block.pingWeight;

    const auto F = (float) sampleRate;
    v.decayCoeff = std::exp (-6.9077554f / (block.decaySeconds * F));

    setFilterCoefficients (v.noiseFilter, (float) (3000.0 / sampleRate), 1.4144272f);
    setFilterCoefficients (v.bodyFilter, (float) (block.bodyCutoffHz / sampleRate), 0.125f);

    v.phaseIncrement = block.pingOmega / F;

    // At sample rates below the ping frequency one step would pass a full turn;
    // reducing it to one turn keeps the per-sample wrap sufficient.
    if (v.phaseIncrement >= twoPi)
        v.phaseIncrement = std::fmod (v.phaseIncrement, twoPi);
}

float FlintwickAudioProcessor::renderVoice (Voice& v) noexcept
{
    auto r = v.rngState;
    r ^= r << 13;
    r ^= r >> 17;
    r ^= r << 5;
    v.rngState = r;
    const auto noise = (float) r * 0x1p-31f - 1.0f;

    const auto nf = stepFilter (v.noiseFilter, noise);
    const auto hp = (noise - v.noiseFilter.k * nf.band) - nf.low;

    const auto bp = stepFilter (v.bodyFilter, noise).band;

    const auto p = v.phase;
    const auto q = p + v.phaseIncrement;
    v.phase = q >= twoPi ? q - twoPi : q;

    const auto a = v.amplitude;
    v.amplitude = v.decayCoeff * a;

    if (v.amplitude < 0.0001f)
        v.active = false;

    const auto s = std::sin (p);

    const auto t1 = hp * 0.6f;
    const auto t2 = (bp * 3.5f) * v.bodyWeight;
    const auto t3 = v.noiseWeight * t1 + t2;
    const auto t4 = s * 0.7f;
    const auto t5 = v.pingWeight * t4 + t3;

    return v.velocity * (a * t5);
}

//==============================================================================
void FlintwickAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    if (auto xml = apvts.copyState().createXml())
        copyXmlToBinary (*xml, destData);
}

namespace
{
/** The XML parser and the value tree recurse once per level of nesting, so a hostile block
    nested deeply enough would overflow the stack. Our own blocks are two levels deep. */
constexpr int maxStateNesting = 64;

/** Well-formed UTF-8 (RFC 3629): every continuation byte in place, no overlong forms, no
    surrogates, nothing above U+10FFFF. JUCE's own check accepts some malformed sequences. */
bool isWellFormedUtf8 (const char* text, int size)
{
    const auto* bytes = reinterpret_cast<const uint8_t*> (text);

    for (int i = 0; i < size;)
    {
        const auto lead = bytes[i];

        if (lead < 0x80)
        {
            ++i;
            continue;
        }

        int extra = 0;
        uint8_t low = 0x80, high = 0xbf; // allowed range of the first continuation byte

        if (lead >= 0xc2 && lead <= 0xdf)      extra = 1;
        else if (lead == 0xe0)                 { extra = 2; low = 0xa0; }
        else if (lead == 0xed)                 { extra = 2; high = 0x9f; }
        else if (lead >= 0xe1 && lead <= 0xef) extra = 2;
        else if (lead == 0xf0)                 { extra = 3; low = 0x90; }
        else if (lead == 0xf4)                 { extra = 3; high = 0x8f; }
        else if (lead >= 0xf1 && lead <= 0xf3) extra = 3;
        else                                   return false;

        if (i + extra >= size || bytes[i + 1] < low || bytes[i + 1] > high)
            return false;

        for (int k = 2; k <= extra; ++k)
            if ((bytes[i + k] & 0xc0) != 0x80)
                return false;

        i += extra + 1;
    }

    return true;
}

/** Checks the text of a framed block before it reaches JUCE's XML parser, which reads past
    the end of text that is not valid UTF-8, recurses once per level of nesting and can loop
    forever on a processing instruction inside an element. The text is taken as the parser
    will see it: at most the length field's bytes, at most to the end of the data, up to the
    first zero byte. */
bool isSafeToParse (const void* data, int sizeInBytes)
{
    if (sizeInBytes <= 8)
        return true; // refused later anyway

    const auto* text = static_cast<const char*> (data) + 8;
    const auto lengthField = (int) juce::ByteOrder::littleEndianInt (static_cast<const char*> (data) + 4);
    const auto available = std::min (sizeInBytes - 8, std::max (lengthField, 0));
    const auto size = (int) (std::find (text, text + available, 0) - text);

    if (! isWellFormedUtf8 (text, size))
        return false;

    int depth = 0;
    bool insideRoot = false;

    for (int i = 0; i + 1 < size; ++i)
    {
        // A processing instruction after the root has begun sends the parser into an
        // endless loop when text follows it; only the declaration before the root is ours.
        if (text[i] == '<' && text[i + 1] == '?' && insideRoot)
            return false;

        if (text[i] == '<' && text[i + 1] != '/' && text[i + 1] != '?' && text[i + 1] != '!')
        {
            insideRoot = true;

            if (++depth > maxStateNesting)
                return false;
        }
        else if ((text[i] == '<' && text[i + 1] == '/') || (text[i] == '/' && text[i + 1] == '>'))
        {
            --depth;
        }
    }

    return true;
}

/** XML forbids an attribute twice on one element. JUCE's parser lets it through, and the
    value tree would then apply the first and save the last, so such text is refused. */
bool hasDuplicateAttributes (const juce::XmlElement& element)
{
    const auto count = element.getNumAttributes();

    for (int i = 1; i < count; ++i)
        for (int j = 0; j < i; ++j)
            if (element.getAttributeName (i) == element.getAttributeName (j))
                return true;

    for (auto* child : element.getChildIterator())
        if (hasDuplicateAttributes (*child))
            return true;

    return false;
}
} // namespace

void FlintwickAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    if (! isSafeToParse (data, sizeInBytes))
        return;

    auto xml = getXmlFromBinary (data, sizeInBytes);

    if (xml == nullptr || hasDuplicateAttributes (*xml)
        || ! xml->getTagName().equalsIgnoreCase (apvts.state.getType().toString()))
        return;

    auto tree = juce::ValueTree::fromXml (*xml);

    // A parameter the block does not mention keeps its current value: it gets a child that
    // carries that value, so that saving and loading again restores it too.
    juce::StringArray ids;
    for (auto* param : getParameters())
        if (auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (param))
            ids.add (withId->getParameterID());
    ids.sort (false);

    for (const auto& id : ids)
    {
        // A value of "nan" reads as no number at all, like any other text that is not one.
        for (auto child : tree)
            if (child["id"].toString() == id && child.hasProperty ("value") && std::isnan ((float) child["value"]))
                child.setProperty ("value", 0.0, nullptr);

        if (tree.getChildWithProperty ("id", id).isValid())
            continue;

        juce::ValueTree child ("PARAM");
        child.setProperty ("id", id, nullptr);
        child.setProperty ("value", (double) apvts.getRawParameterValue (id)->load(), nullptr);
        tree.appendChild (child, nullptr);
    }

    apvts.replaceState (tree);
}

//==============================================================================
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new FlintwickAudioProcessor();
}
