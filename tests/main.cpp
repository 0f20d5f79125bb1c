#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

// The parameter state and the editor need JUCE's message manager on the test thread.
int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    return RUN_ALL_TESTS();
}
