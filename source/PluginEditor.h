#pragma once

#include "PluginProcessor.h"

//==============================================================================
/** The editor's look: LookAndFeel_V4 with a fixed monospaced label font and its own knobs. */
class VelmaraLookAndFeel final : public juce::LookAndFeel_V4
{
public:
    VelmaraLookAndFeel();
    ~VelmaraLookAndFeel() override = default;

    juce::Font getComboBoxFont (juce::ComboBox&) override;
    juce::Font getLabelFont (juce::Label&) override;

    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height,
                           float sliderPos, float rotaryStartAngle, float rotaryEndAngle,
                           juce::Slider&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VelmaraLookAndFeel)
};

//==============================================================================
class FlintwickAudioProcessorEditor final : public juce::AudioProcessorEditor
{
public:
    explicit FlintwickAudioProcessorEditor (FlintwickAudioProcessor&);
    ~FlintwickAudioProcessorEditor() override;

    //==============================================================================
    void paint (juce::Graphics&) override;
    void resized() override;

    void configureKnob (juce::Slider& knob, const juce::String& suffix, int decimalPlaces);

private:
    using SliderAttachment = juce::AudioProcessorValueTreeState::SliderAttachment;

    FlintwickAudioProcessor& processorRef;

    VelmaraLookAndFeel editorLookAndFeel;

    juce::Label titleLabel, vendorLabel;
    juce::Label materialLabel, decayLabel, sensitivityLabel;

    juce::Slider materialKnob, decayKnob, sensitivityKnob;

    std::unique_ptr<SliderAttachment> materialAttachment, decayAttachment, sensitivityAttachment;

    // Lets the tests reach the components without widening the editor's interface.
    friend struct EditorTestAccess;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FlintwickAudioProcessorEditor)
};
