// The bundle's module opened the way a host opens it: load the shared object, enter the
// module, ask GetPluginFactory for the class factory and read what it says.
#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

#include <dlfcn.h>

JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wshadow", "-Wconversion", "-Wsign-conversion", "-Wnon-virtual-dtor", "-Wunused-parameter")
#include <pluginterfaces/base/ibstream.h>
#include <pluginterfaces/base/ipluginbase.h>
#include <pluginterfaces/base/iplugincompatibility.h>
#include <pluginterfaces/vst/ivstcomponent.h>
JUCE_END_IGNORE_WARNINGS_GCC_LIKE

using namespace Steinberg;

namespace
{
/** The module's shared object, opened for the life of the test program. */
struct Module
{
    void* handle = nullptr;
    IPluginFactory* factory = nullptr;

    Module()
    {
        const auto so = juce::File (FLINTWICK_TEST_BUNDLE).getChildFile ("Contents/x86_64-linux/FLINTWICK.so");
        handle = dlopen (so.getFullPathName().toRawUTF8(), RTLD_NOW | RTLD_LOCAL);

        if (handle == nullptr)
            return;

        if (auto* entry = reinterpret_cast<bool (*) (void*)> (dlsym (handle, "ModuleEntry")))
            entry (handle);

        if (auto* getFactory = reinterpret_cast<IPluginFactory* (*)()> (dlsym (handle, "GetPluginFactory")))
            factory = getFactory();
    }

    ~Module()
    {
        if (factory != nullptr)
            factory->release();

        if (handle != nullptr)
        {
            if (auto* exit = reinterpret_cast<bool (*)()> (dlsym (handle, "ModuleExit")))
                exit();
            dlclose (handle);
        }
    }
};

Module& module()
{
    static Module m;
    return m;
}

template <typename Interface>
Interface* query (FUnknown* object, const TUID iid)
{
    void* result = nullptr;
    return object != nullptr && object->queryInterface (iid, &result) == kResultOk ? static_cast<Interface*> (result) : nullptr;
}

/** A text field: the text, then nothing but zero bytes to the field's end. */
template <typename Char, size_t N>
void expectField (const Char (&field)[N], const std::string& text)
{
    ASSERT_LT (text.size(), N);
    for (size_t i = 0; i < N; ++i)
        ASSERT_EQ ((int) field[i], i < text.size() ? (int) (unsigned char) text[i] : 0) << "byte " << i << " of \"" << text << "\"";
}

std::array<uint8_t, 16> classId (uint32_t word2)
{
    const uint32_t words[] { 0xABCDEF01, word2, 0x51656E64 /* Qend */, 0x466C776B /* Flwk */ };
    std::array<uint8_t, 16> bytes {};
    for (size_t w = 0; w < 4; ++w)
        for (size_t b = 0; b < 4; ++b)
            bytes[w * 4 + b] = (uint8_t) (words[w] >> (24 - 8 * b));
    return bytes;
}

bool sameId (const TUID a, const std::array<uint8_t, 16>& b)
{
    return std::memcmp (a, b.data(), 16) == 0;
}

/** Collects what is written to it. */
struct MemoryStream final : public IBStream
{
    juce::MemoryOutputStream data;

    tresult PLUGIN_API queryInterface (const TUID, void** obj) override { *obj = nullptr; return kNoInterface; }
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }
    tresult PLUGIN_API read (void*, int32, int32*) override { return kResultFalse; }
    tresult PLUGIN_API write (void* buffer, int32 numBytes, int32* numBytesWritten) override
    {
        data.write (buffer, (size_t) numBytes);
        if (numBytesWritten != nullptr)
            *numBytesWritten = numBytes;
        return kResultOk;
    }
    tresult PLUGIN_API seek (int64, int32, int64*) override { return kResultFalse; }
    tresult PLUGIN_API tell (int64* pos) override { *pos = (int64) data.getPosition(); return kResultOk; }
};
} // namespace

TEST (Factory, DescribesTheVendor)
{
    auto* factory = module().factory;
    ASSERT_NE (factory, nullptr) << "GetPluginFactory not found or failed";

    PFactoryInfo info {};
    ASSERT_EQ (factory->getFactoryInfo (&info), kResultOk);
    expectField (info.vendor, "Quend");
    expectField (info.url, "");
    expectField (info.email, "");
    EXPECT_EQ (info.flags, 16);
    EXPECT_EQ (factory->countClasses(), 3);
}

TEST (Factory, ListsItsThreeClassesInEveryForm)
{
    auto* factory = module().factory;
    ASSERT_NE (factory, nullptr);
    auto* factory2 = query<IPluginFactory2> (factory, IPluginFactory2_iid);
    auto* factory3 = query<IPluginFactory3> (factory, IPluginFactory3_iid);
    ASSERT_NE (factory2, nullptr);
    ASSERT_NE (factory3, nullptr);

    struct Expected
    {
        std::array<uint8_t, 16> cid;
        const char* category;
        const char* subCategories;
    };

    const Expected expected[] { { classId (0x9182FAEB), "Audio Module Class", "Fx" },
                                { classId (0x1234ABCD), "Component Controller Class", "Fx" },
                                { classId (0xC0DEF00D), "Plugin Compatibility Class", "" } };

    for (int32 i = 0; i < 3; ++i)
    {
        SCOPED_TRACE (i);
        const auto& e = expected[i];

        // The four fields every form starts with, then the rest of the two full forms.
        auto expectCommon = [&e] (const auto& info) {
            EXPECT_TRUE (sameId (info.cid, e.cid));
            EXPECT_EQ (info.cardinality, 0x7FFFFFFF);
            expectField (info.category, e.category);
            expectField (info.name, "FLINTWICK");
        };

        auto expectFull = [&e, &expectCommon] (const auto& info) {
            expectCommon (info);
            EXPECT_EQ (info.classFlags, 0u);
            expectField (info.subCategories, e.subCategories);
            expectField (info.vendor, "Quend");
            expectField (info.version, "1.0.0");
            expectField (info.sdkVersion, "VST 3.7.12");
        };

        PClassInfo plain {};
        ASSERT_EQ (factory->getClassInfo (i, &plain), kResultOk);
        expectCommon (plain);

        PClassInfo2 info2 {};
        ASSERT_EQ (factory2->getClassInfo2 (i, &info2), kResultOk);
        expectFull (info2);

        PClassInfoW wide {};
        ASSERT_EQ (factory3->getClassInfoUnicode (i, &wide), kResultOk);
        expectFull (wide);
    }

    factory2->release();
    factory3->release();
}

TEST (Factory, ComponentPairsWithItsControllerAndHasNoEventBuses)
{
    auto* factory = module().factory;
    ASSERT_NE (factory, nullptr);

    const auto componentId = classId (0x9182FAEB);
    void* object = nullptr;
    ASSERT_EQ (factory->createInstance (reinterpret_cast<FIDString> (componentId.data()), Vst::IComponent_iid, &object), kResultOk);
    auto* component = static_cast<Vst::IComponent*> (object);
    ASSERT_EQ (component->initialize (nullptr), kResultOk);

    TUID controller {};
    ASSERT_EQ (component->getControllerClassId (controller), kResultOk);
    EXPECT_TRUE (sameId (controller, classId (0x1234ABCD)));

    EXPECT_EQ (component->getBusCount (Vst::kEvent, Vst::kInput), 0);
    EXPECT_EQ (component->getBusCount (Vst::kEvent, Vst::kOutput), 0);
    EXPECT_EQ (component->getBusCount (Vst::kAudio, Vst::kInput), 1);
    EXPECT_EQ (component->getBusCount (Vst::kAudio, Vst::kOutput), 1);

    component->terminate();
    component->release();

    // Any other class ID yields nothing.
    auto unknown = classId (0x12345678);
    object = nullptr;
    EXPECT_NE (factory->createInstance (reinterpret_cast<FIDString> (unknown.data()), FUnknown_iid, &object), kResultOk);
    EXPECT_EQ (object, nullptr);
}

TEST (Factory, CompatibilityClassReplacesNothing)
{
    auto* factory = module().factory;
    ASSERT_NE (factory, nullptr);

    const auto compatibilityId = classId (0xC0DEF00D);
    void* object = nullptr;
    ASSERT_EQ (factory->createInstance (reinterpret_cast<FIDString> (compatibilityId.data()), IPluginCompatibility_iid, &object), kResultOk);
    auto* compatibility = static_cast<IPluginCompatibility*> (object);

    MemoryStream stream;
    ASSERT_EQ (compatibility->getCompatibilityJSON (&stream), kResultOk);
    const auto json = juce::JSON::parse (stream.data.toString());
    EXPECT_TRUE (json.isArray()) << stream.data.toString();
    EXPECT_EQ (json.size(), 0);

    compatibility->release();
}
