#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <cstdint>

//==============================================================================
/** One state-variable filter, trapezoidal integration (topology-preserving form). */
struct Svf
{
    float ic1eq { 0.0f }; // first integrator state
    float ic2eq { 0.0f }; // second integrator state
    float a1 { 0.0f };    // 1 / ((g + k) * g + 1)
    float a2 { 0.0f };    // a1 * g
    float a3 { 0.0f };    // a2 * g
    float k { 0.0f };     // damping, 1 / Q
};

/** One tap: noise through a high-pass and a resonant band-pass, plus a sine, under one decay. */
struct Voice
{
    bool active { false };
    float amplitude { 0.0f };      // exponential decay, 1 at the start of a tap
    float decayCoeff { 0.0f };     // per-sample multiplier of amplitude
    float velocity { 1.0f };       // 0.4 .. 1 from the onset level
    float noiseWeight { 0.0f };
    float bodyWeight { 0.0f };
    float pingWeight { 0.0f };
    Svf noiseFilter;               // high-pass at 3000 Hz
    Svf bodyFilter;                // band-pass at 800 .. 1500 Hz
    float phase { 0.0f };          // sine phase in radians, below 2 pi
    float phaseIncrement { 0.0f }; // radians per sample
    uint32_t rngState { 1 };       // xorshift32 state, odd once the voice has started
};

//==============================================================================
class FlintwickAudioProcessor final : public juce::AudioProcessor
{
public:
    FlintwickAudioProcessor();
    ~FlintwickAudioProcessor() override = default;

    //==============================================================================
    const juce::String getName() const override;

    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;

    using AudioProcessor::processBlock;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;

    double getTailLengthSeconds() const override;

    bool acceptsMidi() const override;
    bool producesMidi() const override;
    bool isMidiEffect() const override;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    //==============================================================================
    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    //==============================================================================
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    //==============================================================================
    static juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();

    juce::AudioProcessorValueTreeState apvts;

    std::atomic<float>* materialParam = nullptr;
    std::atomic<float>* decayParam = nullptr;
    std::atomic<float>* sensitivityParam = nullptr;

    //==============================================================================
    // Tap engine state: plain members, touched only by prepareToPlay and processBlock.
    float envelope { 0.0f };        // smoothed absolute level of the mono input
    float attackCoeff { 0.0f };     // used while the input is above the envelope
    float releaseCoeff { 0.0f };    // used while the input is at or below the envelope
    bool armed { true };            // cleared at a trigger, set again below the re-arm level
    int32_t holdOffSamples { 882 }; // shortest distance between two triggers (20 ms)
    int32_t samplesSinceTrigger { 0 };
    double sampleRate { 44100.0 };
    std::array<Voice, 16> voices {};
    int32_t stealIndex { 0 };           // voice taken when all 16 are busy
    uint32_t noiseSeed { 0x9E3779B9u }; // advanced by the golden-ratio constant per trigger

    //==============================================================================
    // The engine's steps, public so that tests can drive them one at a time.

    /** The values one block derives from the three raw parameter values. */
    struct BlockValues
    {
        float threshold, rearmLevel, decaySeconds;
        float noiseWeight, bodyWeight, pingWeight;
        double bodyCutoffHz;
        float pingOmega;
    };

    [[nodiscard]] static BlockValues computeBlockValues (float material, float decayMs, float sensitivity) noexcept;

    /** Claims a voice (the first idle one, else round-robin) and sets it up for one tap. */
    void startVoice (float level, const BlockValues& block) noexcept;

    /** Renders one sample of an active voice and advances its state. */
    [[nodiscard]] static float renderVoice (Voice& voice) noexcept;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FlintwickAudioProcessor)
};
