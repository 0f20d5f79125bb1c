#include "PluginEditor.h"

namespace
{
juce::Font monospacedFont (float height, int style)
{
    return juce::Font (juce::FontOptions ("<Monospaced>", height, style));
}
} // namespace

//==============================================================================
VelmaraLookAndFeel::VelmaraLookAndFeel()
{
    setColour (juce::ResizableWindow::backgroundColourId, juce::Colour (0xff1a222e));
    setColour (juce::Label::textColourId, juce::Colour (0xffd8dde2));
    setColour (juce::Slider::textBoxTextColourId, juce::Colour (0xffccd4db));
    setColour (juce::Slider::textBoxBackgroundColourId, juce::Colour (0xff2b3643));
    setColour (juce::Slider::textBoxOutlineColourId, juce::Colour (0x00000000));
}

juce::Font VelmaraLookAndFeel::getComboBoxFont (juce::ComboBox&)
{
    return monospacedFont (13.0f, juce::Font::plain);
}

juce::Font VelmaraLookAndFeel::getLabelFont (juce::Label&)
{
    return monospacedFont (13.0f, juce::Font::plain);
}

void VelmaraLookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                                           float sliderPos, float rotaryStartAngle, float rotaryEndAngle,
                                           juce::Slider&)
{
    const auto bx = (float) x + 6.0f;
    const auto by = (float) y + 6.0f;
    const auto bw = (float) std::max (0, width - 12);
    const auto bh = (float) std::max (0, height - 12);

    const auto radius = std::min (bw, bh) / 2.0f - 4.0f;
    const auto cx = bx + bw / 2.0f;
    const auto cy = by + bh / 2.0f;
    const auto ringRadius = radius + 6.0f;

    const juce::PathStrokeType ringStroke (3.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded);

    juce::Path track;
    track.addCentredArc (cx, cy, ringRadius, ringRadius, 0.0f, rotaryStartAngle, rotaryEndAngle, true);
    g.setColour (juce::Colour (0xff38424f));
    g.strokePath (track, ringStroke);

    const auto angle = (rotaryEndAngle - rotaryStartAngle) * sliderPos + rotaryStartAngle;

    if (sliderPos > 0.001f)
    {
        juce::Path valueArc;
        valueArc.addCentredArc (cx, cy, ringRadius, ringRadius, 0.0f, rotaryStartAngle, angle, true);
        g.setColour (juce::Colour (0xffe9e5d9));
        g.strokePath (valueArc, ringStroke);
    }

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff3a4655), cx, cy - radius,
                                             juce::Colour (0xff29323f), cx, cy + radius, false));
    g.fillEllipse (cx - radius, cy - radius, 2.0f * radius, 2.0f * radius);

    g.setColour (juce::Colour (0xff141b24));
    g.drawEllipse (cx - radius, cy - radius, 2.0f * radius, 2.0f * radius, 1.5f);

    const auto sinA = std::sin (angle);
    const auto cosA = std::cos (angle);
    g.setColour (juce::Colour (0xffe9e5d9));
    g.drawLine (cx + 0.3f * radius * sinA, cy - 0.3f * radius * cosA,
                cx + 0.86f * radius * sinA, cy - 0.86f * radius * cosA, 2.4f);
}

//==============================================================================
FlintwickAudioProcessorEditor::FlintwickAudioProcessorEditor (FlintwickAudioProcessor& p)
    : AudioProcessorEditor (&p), processorRef (p)
{
    setLookAndFeel (&editorLookAndFeel);

    titleLabel.setText ("FLINTWICK", juce::dontSendNotification);
    titleLabel.setFont (monospacedFont (22.0f, juce::Font::bold));
    titleLabel.setColour (juce::Label::textColourId, juce::Colour (0xff16202b));
    titleLabel.setJustificationType (juce::Justification::centredLeft);
    titleLabel.setBorderSize ({ 0, 0, 0, 0 });
    addAndMakeVisible (titleLabel);

    vendorLabel.setText ("QUEND", juce::dontSendNotification);
    vendorLabel.setFont (monospacedFont (13.0f, juce::Font::bold));
    vendorLabel.setColour (juce::Label::textColourId, juce::Colour (0xff16202b));
    vendorLabel.setJustificationType (juce::Justification::centredRight);
    vendorLabel.setBorderSize ({ 0, 0, 0, 0 });
    addAndMakeVisible (vendorLabel);

    for (auto [label, text] : { std::pair { &materialLabel, "MATERIAL" },
                                std::pair { &decayLabel, "DECAY" },
                                std::pair { &sensitivityLabel, "SENSITIVITY" } })
    {
        label->setText (text, juce::dontSendNotification);
        label->setColour (juce::Label::textColourId, juce::Colour (0xffd8dde2));
        label->setJustificationType (juce::Justification::centred);
        addAndMakeVisible (*label);
    }

    configureKnob (materialKnob, {}, 2);
    configureKnob (decayKnob, " ms", 0);
    configureKnob (sensitivityKnob, {}, 2);

    materialAttachment = std::make_unique<SliderAttachment> (processorRef.apvts, "MATERIAL", materialKnob);
    decayAttachment = std::make_unique<SliderAttachment> (processorRef.apvts, "DECAY", decayKnob);
    sensitivityAttachment = std::make_unique<SliderAttachment> (processorRef.apvts, "SENSITIVITY", sensitivityKnob);

    setSize (480, 260);
}

FlintwickAudioProcessorEditor::~FlintwickAudioProcessorEditor()
{
    // The look-and-feel is a member: detach it before any component that uses it goes.
    setLookAndFeel (nullptr);
}

void FlintwickAudioProcessorEditor::configureKnob (juce::Slider& knob, const juce::String& suffix, int decimalPlaces)
{
    knob.setSliderStyle (juce::Slider::RotaryVerticalDrag);
    knob.setTextBoxStyle (juce::Slider::TextBoxBelow, false, 84, 18);
    knob.setNumDecimalPlacesToDisplay (decimalPlaces);

    if (suffix.isNotEmpty())
        knob.setTextValueSuffix (suffix);

    knob.setColour (juce::Slider::textBoxTextColourId, juce::Colour (0xffccd4db));
    knob.setColour (juce::Slider::textBoxBackgroundColourId, juce::Colour (0xff2b3643));
    knob.setColour (juce::Slider::textBoxOutlineColourId, juce::Colour (0x00000000));
    addAndMakeVisible (knob);
}

//==============================================================================
void FlintwickAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff1a222e));
    g.setColour (juce::Colour (0xff5f8b86));
    g.fillRect (0, 0, getWidth(), std::min (44, getHeight()));
}

void FlintwickAudioProcessorEditor::resized()
{
    const auto W = getWidth();
    const auto H = getHeight();

    const auto headerH = std::min (44, H);
    const auto w = std::max (0, W - 32);
    const auto headerTextH = std::max (0, headerH - 12);
    const auto titleW = 2 * w / 3;
    const auto bodyY = headerH + 12;
    const auto bodyH = std::max (0, H - headerH - 24);
    const auto columnW = w / 3;
    const auto captionH = std::min (20, bodyH);
    const auto knobW = std::min (columnW, 128) - 8;
    const auto knobH = bodyH - 20;
    const auto knobX = (columnW - knobW) / 2;
    const auto knobY = bodyY + captionH + (20 - captionH) / 2;

    titleLabel.setBounds (16, 6, titleW, headerTextH);
    vendorLabel.setBounds (16 + titleW, 6, w - titleW, headerTextH);

    materialLabel.setBounds (16, bodyY, columnW, captionH);
    materialKnob.setBounds (16 + knobX, knobY, knobW, knobH);
    decayLabel.setBounds (16 + columnW, bodyY, columnW, captionH);
    decayKnob.setBounds (16 + columnW + knobX, knobY, knobW, knobH);
    sensitivityLabel.setBounds (16 + 2 * columnW, bodyY, columnW, captionH);
    sensitivityKnob.setBounds (16 + 2 * columnW + knobX, knobY, knobW, knobH);
}
