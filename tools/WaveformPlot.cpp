#include "WaveformPlot.h"

namespace flintwick::host
{
namespace
{
/** Each pixel column shows the minimum and maximum of the samples it covers. */
void drawSignal (juce::Graphics& g, const juce::AudioBuffer<float>& signal, juce::Rectangle<int> area, int longest, juce::Colour colour)
{
    g.setColour (colour);
    const auto* data = signal.getReadPointer (0);
    const auto mid = (float) area.getCentreY();
    const auto scale = (float) area.getHeight() * 0.48f;

    for (int x = 0; x < area.getWidth(); ++x)
    {
        const auto from = (int) ((juce::int64) x * longest / area.getWidth());
        const auto to = std::min (signal.getNumSamples(), (int) ((juce::int64) (x + 1) * longest / area.getWidth()));

        if (from >= to)
            continue;

        const auto range = juce::FloatVectorOperations::findMinAndMax (data + from, to - from);
        const auto top = mid - juce::jlimit (-1.0f, 1.0f, range.getEnd()) * scale;
        const auto bottom = mid - juce::jlimit (-1.0f, 1.0f, range.getStart()) * scale;
        g.drawVerticalLine (area.getX() + x, top, std::max (bottom, top + 1.0f));
    }
}
} // namespace

juce::Image plotWaveforms (const std::vector<PlotLane>& lanes, double sampleRate, int width, int laneHeight)
{
    constexpr int margin = 12, captionHeight = 18;
    const auto height = margin + (int) lanes.size() * (laneHeight + captionHeight + margin);
    juce::Image image (juce::Image::RGB, width, height, true);
    juce::Graphics g (image);
    g.fillAll (juce::Colour (0xff1a222e));

    const auto plotWidth = width - 2 * margin;
    auto longest = 1;
    for (const auto& lane : lanes)
        longest = std::max (longest, lane.signal->getNumSamples());

    auto y = margin;

    for (const auto& lane : lanes)
    {
        g.setColour (juce::Colour (0xffd8dde2));
        g.setFont (juce::FontOptions ("<Monospaced>", 13.0f, juce::Font::plain));
        g.drawText (lane.caption, margin, y, plotWidth, captionHeight, juce::Justification::centredLeft);
        y += captionHeight;

        const juce::Rectangle<int> area (margin, y, plotWidth, laneHeight);
        g.setColour (juce::Colour (0xff2b3643));
        g.fillRect (area);

        // Trigger points first, so the waveform draws over them.
        g.setColour (juce::Colour (0xffe0a040));
        for (auto marker : lane.markers)
            g.fillRect (area.getX() + (int) ((double) marker / longest * plotWidth), area.getY(), 1, area.getHeight());

        drawSignal (g, *lane.signal, area, longest, juce::Colour (0xff8fa3b5).withAlpha (lane.overlay != nullptr ? 0.55f : 1.0f));

        if (lane.overlay != nullptr)
            drawSignal (g, *lane.overlay, area, longest, juce::Colour (0xff5fd0c0));

        // A tick every second along the bottom edge.
        g.setColour (juce::Colour (0xff5f8b86));
        for (double t = 0.0; t * sampleRate < longest; t += 1.0)
            g.fillRect (area.getX() + (int) (t * sampleRate / longest * plotWidth), area.getBottom() - 6, 1, 6);

        y += laneHeight + margin;
    }

    return image;
}

bool writePng (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out (file);
    return out.openedOk() && juce::PNGImageFormat().writeImageToStream (image, out);
}
} // namespace flintwick::host
