#include "PluginEditor.h"
#include "TestHelpers.h"

using namespace flintwick::test;

/** Reaches the editor's components for inspection. */
struct EditorTestAccess
{
    static std::vector<std::pair<const char*, juce::Component*>> components (FlintwickAudioProcessorEditor& e)
    {
        return { { "titleLabel", &e.titleLabel },       { "vendorLabel", &e.vendorLabel },
                 { "materialLabel", &e.materialLabel }, { "materialKnob", &e.materialKnob },
                 { "decayLabel", &e.decayLabel },       { "decayKnob", &e.decayKnob },
                 { "sensitivityLabel", &e.sensitivityLabel }, { "sensitivityKnob", &e.sensitivityKnob } };
    }

    static juce::Slider& knob (FlintwickAudioProcessorEditor& e, int index)
    {
        juce::Slider* knobs[] { &e.materialKnob, &e.decayKnob, &e.sensitivityKnob };
        return *knobs[index];
    }

    static juce::Label& title (FlintwickAudioProcessorEditor& e) { return e.titleLabel; }
};

namespace
{
/** Creates the editor the way the plug-in client does, and deletes it the same way. */
struct EditorFixture
{
    FlintwickAudioProcessor processor;
    std::unique_ptr<FlintwickAudioProcessorEditor> editor {
        dynamic_cast<FlintwickAudioProcessorEditor*> (processor.createEditorIfNeeded())
    };

    ~EditorFixture()
    {
        processor.editorBeingDeleted (editor.get());
    }
};

juce::Label* valueBoxOf (juce::Slider& knob)
{
    for (auto* child : knob.getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child))
            return label;
    return nullptr;
}

juce::Colour pixel (const juce::Image& image, float x, float y)
{
    return image.getPixelAt (juce::roundToInt (x), juce::roundToInt (y));
}

bool near (juce::Colour a, juce::Colour b, int tolerance = 24)
{
    return std::abs (a.getRed() - b.getRed()) <= tolerance && std::abs (a.getGreen() - b.getGreen()) <= tolerance
        && std::abs (a.getBlue() - b.getBlue()) <= tolerance;
}

const juce::Colour trackColour { 0xff38424f }, lightColour { 0xffe9e5d9 }, background { 0xff000000 };
} // namespace

//==============================================================================
TEST (Editor, HasItsFixedSizeAndLayout)
{
    EditorFixture f;
    ASSERT_NE (f.editor, nullptr);
    EXPECT_EQ (f.editor->getWidth(), 480);
    EXPECT_EQ (f.editor->getHeight(), 260);
    EXPECT_FALSE (f.editor->isResizable());

    const juce::Rectangle<int> expected[] { { 16, 6, 298, 32 },   { 314, 6, 150, 32 },  { 16, 56, 149, 20 },
                                            { 30, 76, 120, 172 }, { 165, 56, 149, 20 }, { 179, 76, 120, 172 },
                                            { 314, 56, 149, 20 }, { 328, 76, 120, 172 } };
    const auto components = EditorTestAccess::components (*f.editor);

    for (size_t i = 0; i < components.size(); ++i)
    {
        SCOPED_TRACE (components[i].first);
        EXPECT_EQ (components[i].second->getBounds(), expected[i]);
        EXPECT_TRUE (components[i].second->isVisible());
        EXPECT_EQ (&components[i].second->getLookAndFeel(), &f.editor->getLookAndFeel());
    }

    EXPECT_NE (dynamic_cast<VelmaraLookAndFeel*> (&f.editor->getLookAndFeel()), nullptr);
}

TEST (Editor, LayoutCollapsesAtTinySizes)
{
    EditorFixture f;

    for (auto [w, h] : { std::pair { 100, 40 }, std::pair { 20, 10 }, std::pair { 0, 0 }, std::pair { 480, 44 } })
    {
        SCOPED_TRACE (juce::String (w) + "x" + juce::String (h));
        f.editor->setSize (w, h);

        for (auto [name, component] : EditorTestAccess::components (*f.editor))
        {
            SCOPED_TRACE (name);
            EXPECT_GE (component->getWidth(), 0);
            EXPECT_GE (component->getHeight(), 0);
        }

        if (h < 44 + 24)
        {
            EXPECT_EQ (EditorTestAccess::knob (*f.editor, 0).getHeight(), 0) << "the body collapses";
        }
    }
}

TEST (Editor, ValueBoxesShowTheParametersText)
{
    EditorFixture f;
    const char* expected[] { "0.5000", "250.0 ms", "0.5000" };

    for (int i = 0; i < 3; ++i)
    {
        auto& knob = EditorTestAccess::knob (*f.editor, i);
        EXPECT_EQ (knob.getTextFromValue (knob.getValue()), expected[i]);
        ASSERT_NE (valueBoxOf (knob), nullptr);
        EXPECT_EQ (valueBoxOf (knob)->getText(), expected[i]);
        EXPECT_TRUE (valueBoxOf (knob)->isEditable());
        EXPECT_EQ (knob.getSliderStyle(), juce::Slider::RotaryVerticalDrag);
    }
}

TEST (Editor, KnobsAndParametersFollowEachOther)
{
    EditorFixture f;
    auto& decay = EditorTestAccess::knob (*f.editor, 1);

    // Typing into the value box goes through the parameter's text conversion.
    auto* box = valueBoxOf (decay);
    ASSERT_NE (box, nullptr);
    // (What the box's text editor hands over when the user presses return.)
    box->setText ("700", juce::sendNotificationSync);
    EXPECT_NEAR (rawValue (f.processor, "DECAY"), 700.0f, 1.0e-3);
    EXPECT_EQ (box->getText(), "700.0 ms");

    // A change from the host side moves the knob and its text.
    setParameter (f.processor, "DECAY", 1500.0f);
    EXPECT_DOUBLE_EQ (decay.getValue(), 1500.0);
    EXPECT_EQ (box->getText(), "1500.0 ms");

    // A knob change reaches the value the next block reads.
    auto& material = EditorTestAccess::knob (*f.editor, 0);
    material.setValue (1.0, juce::sendNotificationSync);
    f.processor.prepareToPlay (44100.0, 64);
    juce::AudioBuffer<float> buffer (2, 64);
    buffer.clear();
    buffer.setSample (0, 0, 1.0f);
    buffer.setSample (1, 0, 1.0f);
    setParameter (f.processor, "SENSITIVITY", 1.0f);
    juce::MidiBuffer midi;
    f.processor.processBlock (buffer, midi);
    ASSERT_TRUE (f.processor.voices[0].active);
    EXPECT_FLOAT_EQ (f.processor.voices[0].pingWeight, 0.99999994f);
}

TEST (Editor, OpensAndClosesRepeatedly)
{
    FlintwickAudioProcessor processor;
    setParameter (processor, "MATERIAL", 0.75f);

    for (int i = 0; i < 50; ++i)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);
        EXPECT_EQ (EditorTestAccess::knob (*dynamic_cast<FlintwickAudioProcessorEditor*> (editor.get()), 0).getValue(), 0.75);
        processor.editorBeingDeleted (editor.get());
    }

    EXPECT_EQ (processor.getActiveEditor(), nullptr);
    EXPECT_NEAR (rawValue (processor, "MATERIAL"), 0.75f, 1.0e-4);
}

//==============================================================================
namespace
{
juce::Image drawKnob (float position)
{
    VelmaraLookAndFeel lookAndFeel;
    juce::Slider slider;
    juce::Image image (juce::Image::ARGB, 120, 154, true);
    {
        juce::Graphics g (image);
        g.fillAll (background);
        lookAndFeel.drawRotarySlider (g, 0, 0, 120, 154, position, 1.2f * juce::MathConstants<float>::pi,
                                      2.8f * juce::MathConstants<float>::pi, slider);
    }
    return image;
}

/** A point at the given angle (clockwise from twelve o'clock) and radius around (60, 77). */
juce::Point<float> at (float angle, float radius)
{
    return { 60.0f + radius * std::sin (angle), 77.0f - radius * std::cos (angle) };
}
} // namespace

TEST (KnobDrawing, PointerArcAndTrack)
{
    const auto pi = juce::MathConstants<float>::pi;
    const auto start = 1.2f * pi, end = 2.8f * pi;

    struct Case
    {
        float position;
        float pointerAngle;
        bool arcAtLeft, arcAtRight;
    };

    // Left (nine o'clock) lies between the start angle and the top, right (three o'clock)
    // between the top and the end angle.
    const Case cases[] { { 0.0f, start, false, false }, { 0.5f, 2.0f * pi, true, false }, { 1.0f, end, true, true } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.position);
        const auto image = drawKnob (c.position);

        // Pointer from 30 % to 86 % of the body radius (50) along the value angle.
        for (float r : { 18.0f, 30.0f, 40.0f })
        {
            const auto p = at (c.pointerAngle, r);
            EXPECT_TRUE (near (pixel (image, p.x, p.y), lightColour)) << "pointer at r " << r;
        }

        // The ring, radius 56: the value arc up to the value angle, the track beyond it.
        const auto left = at (1.5f * pi, 56.0f), right = at (2.5f * pi, 56.0f);
        EXPECT_TRUE (near (pixel (image, left.x, left.y), c.arcAtLeft ? lightColour : trackColour));
        EXPECT_TRUE (near (pixel (image, right.x, right.y), c.arcAtRight ? lightColour : trackColour));

        // The gap at the bottom stays empty; the body is between its two gradient colours.
        EXPECT_EQ (pixel (image, 60.0f, 77.0f + 56.0f), background);
        const auto body = pixel (image, 60.0f + 25.0f, 77.0f);
        EXPECT_TRUE (near (body, juce::Colour (0xff3a4655), 20) || near (body, juce::Colour (0xff29323f), 20));
    }

    // Position 0.5: straight up from (60, 62) to (60, 34).
    const auto half = drawKnob (0.5f);
    EXPECT_TRUE (near (pixel (half, 60.0f, 36.0f), lightColour));
    EXPECT_TRUE (near (pixel (half, 60.0f, 60.0f), lightColour));
    EXPECT_FALSE (near (pixel (half, 60.0f, 70.0f), lightColour)) << "the pointer starts at 30 % of the radius";
}

TEST (KnobDrawing, NoValueArcAtOrBelowTheThreshold)
{
    const auto nothing = drawKnob (0.0f), tiny = drawKnob (0.001f), some = drawKnob (0.01f);
    const auto startPoint = at (1.2f * juce::MathConstants<float>::pi + 0.05f, 56.0f);

    EXPECT_TRUE (near (pixel (tiny, startPoint.x, startPoint.y), trackColour));
    EXPECT_TRUE (near (pixel (some, startPoint.x, startPoint.y), lightColour));

    // The ring (outside the body) is the same as at position 0: track only.
    for (int y = 0; y < 154; ++y)
    {
        for (int x = 0; x < 120; ++x)
        {
            if (juce::Point<float> ((float) x, (float) y).getDistanceFrom ({ 60.0f, 77.0f }) > 52.0f)
            {
                ASSERT_EQ (nothing.getPixelAt (x, y), tiny.getPixelAt (x, y)) << x << ", " << y;
            }
        }
    }
}

TEST (KnobDrawing, LabelsUseTheFixedFont)
{
    VelmaraLookAndFeel lookAndFeel;
    juce::Label bold, plain;
    bold.setFont (juce::Font (juce::FontOptions ("<Monospaced>", 22.0f, juce::Font::bold)));

    for (auto* label : { &bold, &plain })
    {
        const auto font = lookAndFeel.getLabelFont (*label);
        EXPECT_FLOAT_EQ (font.getHeight(), 13.0f);
        EXPECT_FALSE (font.isBold());
        EXPECT_FALSE (font.isItalic());
        EXPECT_EQ (font.getTypefaceName(), "<Monospaced>");
    }

    juce::ComboBox combo;
    EXPECT_FLOAT_EQ (lookAndFeel.getComboBoxFont (combo).getHeight(), 13.0f);

    // Drawn, the 22-pixel bold label looks exactly like a plain one.
    auto render = [&lookAndFeel] (juce::Label& label) {
        label.setText ("FLINTWICK", juce::dontSendNotification);
        label.setLookAndFeel (&lookAndFeel);
        label.setBounds (0, 0, 200, 32);
        auto image = label.createComponentSnapshot (label.getLocalBounds(), true, 1.0f);
        label.setLookAndFeel (nullptr);
        return image;
    };

    const auto a = render (bold), b = render (plain);
    int inked = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 200; ++x)
        {
            ASSERT_EQ (a.getPixelAt (x, y), b.getPixelAt (x, y)) << x << ", " << y;
            inked += a.getPixelAt (x, y).getAlpha() > 0 ? 1 : 0;
        }
    EXPECT_GT (inked, 50) << "the text is drawn at all";
}

TEST (Editor, TitleHoldsItsOwnFontButDrawsInTheLabelFont)
{
    EditorFixture f;
    auto& title = EditorTestAccess::title (*f.editor);
    EXPECT_FLOAT_EQ (title.getFont().getHeight(), 22.0f);
    EXPECT_TRUE (title.getFont().isBold());
    EXPECT_FLOAT_EQ (f.editor->getLookAndFeel().getLabelFont (title).getHeight(), 13.0f);
    EXPECT_EQ (title.findColour (juce::Label::textColourId), juce::Colour (0xff16202b));
}
