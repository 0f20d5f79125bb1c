// flintwick-render: processes an audio file through the FLINTWICK.vst3 bundle, offline.
#include "Renderer.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace
{
const char* const usage =
    "usage: flintwick-render INPUT OUTPUT [--material M] [--decay MS] [--sensitivity S]\n"
    "                        [--block N] [--plugin PATH]\n"
    "\n"
    "Processes INPUT (WAV, AIFF or FLAC; mono or stereo) through the FLINTWICK plug-in at the\n"
    "file's own sample rate and writes OUTPUT as a 32-bit float WAV: the input's length plus\n"
    "the 1.5 s tail.\n"
    "\n"
    "  --material M      0 to 1 (noise, body, ping); the plug-in's default is 0.5\n"
    "  --decay MS        10 to 1500 milliseconds; default 250\n"
    "  --sensitivity S   0 to 1; default 0.5\n"
    "  --block N         processing block size, 1 to 65536; default 512\n"
    "  --plugin PATH     the FLINTWICK.vst3 bundle; default " FLINTWICK_DEFAULT_BUNDLE "\n"
    "  --help            this text\n"
    "\n"
    "Exit status: 0 on success, 1 when rendering fails, 2 for a usage error.\n";

int fail (int code, const juce::String& message)
{
    std::fprintf (stderr, "flintwick-render: %s\n", message.toRawUTF8());
    return code;
}

std::optional<double> parseNumber (const juce::String& text)
{
    const auto trimmed = text.trim();
    char* end = nullptr;
    const auto value = std::strtod (trimmed.toRawUTF8(), &end);

    if (trimmed.isEmpty() || end == nullptr || *end != 0 || ! std::isfinite (value))
        return {};

    return value;
}

void drawProgress (double fraction)
{
    constexpr int width = 40;
    const auto filled = (int) (fraction * width);
    std::fprintf (stderr, "\r[%s%s] %3d%%", juce::String::repeatedString ("=", filled).toRawUTF8(),
                  juce::String::repeatedString (" ", width - filled).toRawUTF8(), (int) (fraction * 100.0));
    std::fflush (stderr);
}
} // namespace

int main (int argc, char* argv[])
{
    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));

    if (args.contains ("--help") || args.contains ("-h"))
    {
        std::fputs (usage, stdout);
        return 0;
    }

    flintwick::host::RenderSettings settings;
    settings.plugin = juce::File (FLINTWICK_DEFAULT_BUNDLE);
    juce::StringArray positional;

    for (int i = 0; i < args.size(); ++i)
    {
        const auto& arg = args[i];

        if (! arg.startsWith ("--"))
        {
            positional.add (arg);
            continue;
        }

        if (i + 1 >= args.size())
            return fail (2, arg + " needs a value (see --help)");

        const auto value = args[++i];

        if (arg == "--plugin")
        {
            settings.plugin = juce::File::getCurrentWorkingDirectory().getChildFile (value);
            continue;
        }

        const auto number = parseNumber (value);

        if (! number)
            return fail (2, arg + " needs a number, got '" + value + "'");

        if (arg == "--material")
            settings.material = (float) *number;
        else if (arg == "--decay")
            settings.decay = (float) *number;
        else if (arg == "--sensitivity")
            settings.sensitivity = (float) *number;
        else if (arg == "--block" && *number == std::floor (*number) && *number >= 1 && *number <= 65536)
            settings.blockSize = (int) *number;
        else if (arg == "--block")
            return fail (2, "--block needs a whole number from 1 to 65536, got '" + value + "'");
        else
            return fail (2, "unknown option " + arg + " (see --help)");
    }

    if (positional.size() != 2)
        return fail (2, "expected INPUT and OUTPUT (see --help)");

    const auto cwd = juce::File::getCurrentWorkingDirectory();
    settings.input = cwd.getChildFile (positional[0]);
    settings.output = cwd.getChildFile (positional[1]);

    if (auto ranges = flintwick::host::checkParameterRanges (settings); ranges.failed())
        return fail (2, "--" + ranges.getErrorMessage());

    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    const auto showProgress = isatty (STDERR_FILENO) != 0;
    const auto result = flintwick::host::render (settings, [showProgress] (double fraction) {
        static int lastPercent = -1;
        const auto percent = (int) (fraction * 100.0);

        if (showProgress && percent != lastPercent)
        {
            lastPercent = percent;
            drawProgress (fraction);
        }
    });

    if (showProgress)
        std::fputs ("\n", stderr);

    if (result.failed())
        return fail (1, result.getErrorMessage());

    return 0;
}
