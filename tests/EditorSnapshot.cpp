// Renders the editor at the parameters' defaults to a PNG: flintwick-editor-snapshot FILE
#include "PluginEditor.h"

#include <cstdio>

int main (int argc, char* argv[])
{
    if (argc != 2)
    {
        std::fputs ("usage: flintwick-editor-snapshot FILE.png\n", stderr);
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    FlintwickAudioProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    const auto image = editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f);
    processor.editorBeingDeleted (editor.get());
    editor.reset();

    const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);
    file.deleteFile();
    juce::FileOutputStream out (file);

    if (! out.openedOk() || ! juce::PNGImageFormat().writeImageToStream (image, out))
    {
        std::fprintf (stderr, "flintwick-editor-snapshot: cannot write %s\n", file.getFullPathName().toRawUTF8());
        return 1;
    }

    return 0;
}
