#include "TestHelpers.h"

using namespace flintwick::test;

namespace
{
const char* const exampleXml =
    R"(<?xml version="1.0" encoding="UTF-8"?> <PARAMS><PARAM id="DECAY" value="250.0"/><PARAM id="MATERIAL" value="0.5"/><PARAM id="SENSITIVITY" value="0.5"/></PARAMS>)";

/** A state block around the given text: magic, length field, text, zero byte. */
juce::MemoryBlock frameBytes (const std::string& text, std::optional<int32_t> lengthField = {})
{
    juce::MemoryOutputStream out;
    out.writeInt (0x21324356);
    out.writeInt (lengthField.value_or ((int32_t) text.size()));
    out.write (text.data(), text.size());
    out.writeByte (0);
    return out.getMemoryBlock();
}

juce::MemoryBlock frame (const juce::String& xmlText, std::optional<int32_t> lengthField = {})
{
    return frameBytes (xmlText.toStdString(), lengthField);
}

juce::MemoryBlock stateOf (FlintwickAudioProcessor& p)
{
    juce::MemoryBlock block;
    p.getStateInformation (block);
    return block;
}

juce::String textOf (const juce::MemoryBlock& block)
{
    return juce::String::fromUTF8 (static_cast<const char*> (block.getData()) + 8, (int) block.getSize() - 9);
}

void load (FlintwickAudioProcessor& p, const juce::MemoryBlock& block)
{
    p.setStateInformation (block.getData(), (int) block.getSize());
}

juce::String paramsXml (const juce::String& children, const juce::String& tag = "PARAMS")
{
    return R"(<?xml version="1.0" encoding="UTF-8"?> <)" + tag + ">" + children + "</" + tag + ">";
}

/** Sets all three parameters away from their defaults, so that a load's effect shows. */
void setNonDefaults (FlintwickAudioProcessor& p)
{
    setParameter (p, "MATERIAL", 0.25f);
    setParameter (p, "DECAY", 700.0f);
    setParameter (p, "SENSITIVITY", 0.75f);
}

struct Values
{
    float material, decay, sensitivity;
};

void expectValues (FlintwickAudioProcessor& p, Values v)
{
    EXPECT_NEAR (rawValue (p, "MATERIAL"), v.material, 1.0e-4);
    EXPECT_NEAR (rawValue (p, "DECAY"), v.decay, 1.0e-3);
    EXPECT_NEAR (rawValue (p, "SENSITIVITY"), v.sensitivity, 1.0e-4);
}
} // namespace

//==============================================================================
TEST (State, ExampleBlockRoundTripsByteForByte)
{
    const auto example = frame (exampleXml);
    ASSERT_EQ (example.getSize(), 169u);
    const uint8_t head[] { 0x56, 0x43, 0x32, 0x21, 0xA0, 0x00, 0x00, 0x00 };
    EXPECT_EQ (std::memcmp (example.getData(), head, 8), 0);

    FlintwickAudioProcessor p;
    setNonDefaults (p);
    load (p, example);
    expectValues (p, { 0.5f, 250.0f, 0.5f });
    EXPECT_EQ (stateOf (p), example);
}

TEST (State, FreshInstanceWritesTheDefaultsInIdOrder)
{
    FlintwickAudioProcessor p;
    const auto block = stateOf (p);

    EXPECT_EQ (textOf (block),
               R"(<?xml version="1.0" encoding="UTF-8"?> <PARAMS><PARAM id="DECAY" value="250.0000152587891"/><PARAM id="MATERIAL" value="0.5"/><PARAM id="SENSITIVITY" value="0.5"/></PARAMS>)");
}

TEST (State, FrameCarriesLengthAndTerminator)
{
    FlintwickAudioProcessor p;

    for (float decay : { 10.0f, 250.0f, 1500.0f })
    {
        setParameter (p, "DECAY", decay);
        const auto block = stateOf (p);
        const auto* bytes = static_cast<const uint8_t*> (block.getData());

        EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes + 4), (uint32_t) block.getSize() - 9);
        EXPECT_EQ (bytes[block.getSize() - 1], 0);
        EXPECT_FALSE (textOf (block).containsAnyOf ("\r\n"));
    }
}

TEST (State, RoundTripsIntoAFreshInstance)
{
    const Values cases[] { { 0.0f, 10.0f, 0.0f }, { 1.0f, 1500.0f, 1.0f }, { 0.1234f, 33.3f, 0.9876f } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.decay);
        FlintwickAudioProcessor source;
        setParameter (source, "MATERIAL", c.material);
        setParameter (source, "DECAY", c.decay);
        setParameter (source, "SENSITIVITY", c.sensitivity);
        const auto saved = stateOf (source);

        FlintwickAudioProcessor restored;
        load (restored, saved);
        expectValues (restored, c);
        EXPECT_EQ (stateOf (restored), saved);
    }
}

TEST (State, RefusedBlocksChangeNothing)
{
    struct Case
    {
        const char* name;
        juce::MemoryBlock block;
    };

    auto wrongMagic = frame (exampleXml);
    static_cast<char*> (wrongMagic.getData())[3] = 'X';

    // A block whose DECAY value holds the given raw bytes.
    auto withBytesInValue = [] (const std::string& bytes) {
        return frameBytes ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> <PARAMS><PARAM id=\"DECAY\" value=\"100" + bytes + "\"/></PARAMS>");
    };

    // A multi-byte sequence missing its last byte right at the end of the data.
    auto cutUtf8 = frameBytes (paramsXml (R"(<PARAM id="DECAY" value="100.0"/>)").toStdString() + "\xf0\x9f\x98");
    cutUtf8.setSize (cutUtf8.getSize() - 1);

    const std::vector<Case> cases {
        { "empty", {} },
        { "8 bytes", juce::MemoryBlock (frame (exampleXml).getData(), 8) },
        { "wrong magic", wrongMagic },
        { "length 0", frame (exampleXml, 0) },
        { "negative length", frame (exampleXml, -5) },
        { "not XML", frame ("this is not XML at all") },
        { "empty text", frame ("") },
        { "another root tag", frame (paramsXml (R"(<PARAM id="DECAY" value="100.0"/>)", "STATE")) },
        { "namespaced root tag", frame (paramsXml (R"(<PARAM id="DECAY" value="100.0"/>)", "x:PARAMS")) },
        { "invalid UTF-8", frameBytes (paramsXml (R"(<PARAM id="DECAY" value="100.0"/>)").toStdString() + "\xe8\xe8") },
        { "UTF-8 cut at the end of the data", cutUtf8 },
        { "lead byte without continuation", withBytesInValue ("1\xd0\xd0") },
        { "overlong form", withBytesInValue ("\xc0\xaf") },
        { "surrogate", withBytesInValue ("\xed\xa0\x80") },
        { "processing instruction in the content", frame (paramsXml (R"(<PARAM id="DECAY" value="100.0"/><?pi x?> text)")) },
        { "attribute given twice", frame (paramsXml (R"(<PARAM id="DECAY" value="100.0" value="200.0"/>)")) },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        FlintwickAudioProcessor p;
        setNonDefaults (p);
        const auto before = stateOf (p);

        load (p, c.block);
        expectValues (p, { 0.25f, 700.0f, 0.75f });
        EXPECT_EQ (stateOf (p), before);
    }
}

TEST (State, LoadingAppliesEachChildByItsId)
{
    struct Case
    {
        const char* name;
        juce::String children;
        Values expected;
    };

    const std::vector<Case> cases {
        { "clamped above", R"(<PARAM id="DECAY" value="2000"/>)", { 0.25f, 1500.0f, 0.75f } },
        { "clamped below", R"(<PARAM id="DECAY" value="5"/>)", { 0.25f, 10.0f, 0.75f } },
        { "not a number", R"(<PARAM id="DECAY" value="abc"/>)", { 0.25f, 10.0f, 0.75f } },
        { "snapped", R"(<PARAM id="MATERIAL" value="0.123456"/>)", { 0.1235f, 700.0f, 0.75f } },
        { "last duplicate wins", R"(<PARAM id="DECAY" value="100"/><PARAM id="DECAY" value="200"/>)", { 0.25f, 200.0f, 0.75f } },
        { "no value means default", R"(<PARAM id="SENSITIVITY"/>)", { 0.25f, 700.0f, 0.5f } },
        { "id is case-sensitive", R"(<PARAM id="decay" value="100"/>)", { 0.25f, 700.0f, 0.75f } },
        { "child type is not looked at", R"(<KNOB id="DECAY" value="100"/>)", { 0.25f, 100.0f, 0.75f } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        FlintwickAudioProcessor p;
        setNonDefaults (p);
        load (p, frame (paramsXml (c.children)));
        expectValues (p, c.expected);
    }

    // The next save writes the clamped value.
    FlintwickAudioProcessor p;
    load (p, frame (paramsXml (R"(<PARAM id="DECAY" value="2000"/><PARAM id="MATERIAL" value="0.5"/><PARAM id="SENSITIVITY" value="0.5"/>)")));
    EXPECT_TRUE (textOf (stateOf (p)).contains (R"(<PARAM id="DECAY" value="1500.0"/>)"));
}

TEST (State, MissingChildKeepsTheCurrentValueThroughLaterSaves)
{
    FlintwickAudioProcessor p;
    setParameter (p, "DECAY", 700.0f);
    load (p, frame (paramsXml (R"(<PARAM id="MATERIAL" value="0.25"/><PARAM id="SENSITIVITY" value="0.5"/>)")));

    EXPECT_NEAR (rawValue (p, "DECAY"), 700.0f, 1.0e-3);
    EXPECT_NEAR (rawValue (p, "MATERIAL"), 0.25f, 1.0e-4);
    const auto saved = stateOf (p);
    EXPECT_EQ (textOf (saved), paramsXml (R"(<PARAM id="MATERIAL" value="0.25"/><PARAM id="SENSITIVITY" value="0.5"/><PARAM id="DECAY" value="700.0"/>)"));

    // That block restores the kept value in another instance as well.
    FlintwickAudioProcessor q;
    load (q, saved);
    EXPECT_NEAR (rawValue (q, "DECAY"), 700.0f, 1.0e-3);
}

TEST (State, RootTagIsMatchedIgnoringCaseAndWrittenBackAsLoaded)
{
    FlintwickAudioProcessor p;
    load (p, frame (paramsXml (R"(<PARAM id="DECAY" value="100.0"/><PARAM id="MATERIAL" value="0.5"/><PARAM id="SENSITIVITY" value="0.5"/>)", "params")));

    EXPECT_NEAR (rawValue (p, "DECAY"), 100.0f, 1.0e-3);
    EXPECT_TRUE (textOf (stateOf (p)).startsWith (R"(<?xml version="1.0" encoding="UTF-8"?> <params>)"));
}

TEST (State, LengthFieldIsCutToTheData)
{
    FlintwickAudioProcessor p;
    load (p, frame (paramsXml (R"(<PARAM id="DECAY" value="100.0"/>)"), 100000));
    EXPECT_NEAR (rawValue (p, "DECAY"), 100.0f, 1.0e-3);

    // A length shorter than the text cuts the text, which then no longer parses.
    FlintwickAudioProcessor q;
    load (q, frame (paramsXml (R"(<PARAM id="DECAY" value="100.0"/>)"), 60));
    EXPECT_NEAR (rawValue (q, "DECAY"), 250.0f, 1.0e-3);
}

TEST (State, AcceptsWellFormedMultiByteText)
{
    // Two-, three- and four-byte characters in an extra attribute are accepted and carried through.
    const std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <PARAMS><PARAM id=\"DECAY\" value=\"100.0\" "
                             "note=\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb5\"/></PARAMS>";
    FlintwickAudioProcessor p;
    load (p, frameBytes (text));
    EXPECT_NEAR (rawValue (p, "DECAY"), 100.0f, 1.0e-3);
    // Written back as character references, which read in as the same characters.
    EXPECT_TRUE (textOf (stateOf (p)).contains (R"(note="caf&#233; &#8364; &#127925;")")) << textOf (stateOf (p));
}

TEST (State, UnknownContentIsCarriedThrough)
{
    const auto text = paramsXml (R"(<PARAM id="DECAY" value="300.0" colour="red"/><PARAM id="MATERIAL" value="0.5"/>)"
                                 R"(<PARAM id="SENSITIVITY" value="0.5"/><EXTRA a="1"><INNER b="&amp;&lt;"/></EXTRA>)")
                          .replace ("<PARAMS>", R"(<PARAMS version="7">)");
    FlintwickAudioProcessor p;
    load (p, frame (text));

    EXPECT_NEAR (rawValue (p, "DECAY"), 300.0f, 1.0e-3);
    EXPECT_EQ (textOf (stateOf (p)), text);
}

TEST (State, SurvivesMutatedBlocks)
{
    FlintwickAudioProcessor source;
    setParameter (source, "DECAY", 321.0f);
    const auto valid = stateOf (source);

    FlintwickAudioProcessor p;
    juce::Random random (20261211);
    const std::pair<const char*, float> ranges[] { { "MATERIAL", 1.0f }, { "DECAY", 1500.0f }, { "SENSITIVITY", 1.0f } };

    for (int i = 0; i < 3000; ++i)
    {
        juce::MemoryBlock block (valid);
        auto* bytes = static_cast<uint8_t*> (block.getData());

        switch (i % 3)
        {
            case 0:
                block.setSize ((size_t) random.nextInt ((int) block.getSize()));
                break;
            case 1:
                for (int flips = 1 + random.nextInt (8); --flips >= 0;)
                    bytes[random.nextInt ((int) block.getSize())] ^= (uint8_t) (1 << random.nextInt (8));
                break;
            default:
            {
                const char* inserts[] { "<", ">", "\"", "&", "<PARAM id=\"DECAY\" value=\"", "\xff\xfe", "\0", "1e39", "nan" };
                const auto* text = inserts[random.nextInt (9)];
                block.insert (text, std::max<size_t> (1, std::strlen (text)), (size_t) random.nextInt ((int) block.getSize()));
                break;
            }
        }

        p.setStateInformation (block.getData(), (int) block.getSize());

        for (auto [id, end] : ranges)
        {
            const auto v = rawValue (p, id);
            ASSERT_TRUE (std::isfinite (v)) << id << " after mutation " << i;
            ASSERT_GE (v, juce::String (id) == "DECAY" ? 10.0f : 0.0f) << id << " after mutation " << i;
            ASSERT_LE (v, end) << id << " after mutation " << i;
        }
    }

    // A good block still loads after all that.
    load (p, valid);
    EXPECT_NEAR (rawValue (p, "DECAY"), 321.0f, 1.0e-3);
}

TEST (State, DeeplyNestedTextIsHandledSafely)
{
    juce::String text (R"(<?xml version="1.0" encoding="UTF-8"?> <PARAMS><PARAM id="DECAY" value="400.0"/>)");
    const int depth = 200000;
    juce::MemoryOutputStream nested;
    for (int i = 0; i < depth; ++i)
        nested << "<a>";
    for (int i = 0; i < depth; ++i)
        nested << "</a>";

    // Refused as a whole, like any other unusable block.
    FlintwickAudioProcessor p;
    load (p, frame (text + nested.toString() + "</PARAMS>"));
    EXPECT_NEAR (rawValue (p, "DECAY"), 250.0f, 1.0e-3);

    // Ordinary extra nesting is still carried through.
    const auto modest = paramsXml (R"(<PARAM id="DECAY" value="400.0"/><A><B><C><D x="1"/></C></B></A>)");
    load (p, frame (modest));
    EXPECT_NEAR (rawValue (p, "DECAY"), 400.0f, 1.0e-3);
    EXPECT_TRUE (textOf (stateOf (p)).contains ("<A><B><C><D x=\"1\"/></C></B></A>"));
}

TEST (State, NanValueReadsAsNoNumber)
{
    FlintwickAudioProcessor p;
    load (p, frame (paramsXml (R"(<PARAM id="DECAY" value="nan"/><PARAM id="MATERIAL" value="inf"/><PARAM id="SENSITIVITY" value="-inf"/>)")));
    expectValues (p, { 1.0f, 10.0f, 0.0f });
}
