#include "TestHelpers.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Counts heap allocations made by the thread that switched counting on.
namespace
{
thread_local bool countingAllocations = false;
std::atomic<int> allocationCount { 0 };

void* allocate (std::size_t size)
{
    if (countingAllocations)
        ++allocationCount;

    if (auto* ptr = std::malloc (size == 0 ? 1 : size))
        return ptr;

    throw std::bad_alloc();
}
} // namespace

void* operator new (std::size_t size) { return allocate (size); }
void* operator new[] (std::size_t size) { return allocate (size); }
void operator delete (void* ptr) noexcept { std::free (ptr); }
void operator delete[] (void* ptr) noexcept { std::free (ptr); }
void operator delete (void* ptr, std::size_t) noexcept { std::free (ptr); }
void operator delete[] (void* ptr, std::size_t) noexcept { std::free (ptr); }

using namespace flintwick::test;

TEST (Processing, AllocatesNothingOnTheAudioThread)
{
    auto p = makePrepared (44100.0, 2);
    setParameter (*p, "DECAY", 1500.0f);
    setParameter (*p, "SENSITIVITY", 1.0f);

    // Buffers and the input are made before counting starts.
    juce::AudioBuffer<float> buffer (2, 512);
    juce::MidiBuffer midi;

    allocationCount = 0;
    int triggers = 0;

    for (int block = 0; block < 2000; ++block)
    {
        for (int c = 0; c < 2; ++c)
            for (int n = 0; n < 512; ++n)
                buffer.setSample (c, n, n == 0 && block % 8 == 0 ? 0.5f : 0.0f);

        const auto seed = p->noiseSeed;
        countingAllocations = true;
        p->processBlock (buffer, midi);
        countingAllocations = false;
        triggers += p->noiseSeed != seed ? 1 : 0;
    }

    EXPECT_GT (triggers, 100);
    EXPECT_GT (triggers, 16 * 2) << "more triggers than voices within one tap's length";
    EXPECT_EQ (countActiveVoices (*p), 16) << "the pool is full, so later triggers steal";
    EXPECT_EQ (allocationCount.load(), 0);
}
