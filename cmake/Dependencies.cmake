# Locates JUCE 8. By default the tree that scripts/deps.sh prepared in the user's cache;
# -DJUCE_DIR=/path/to/JUCE points at any other JUCE 8 checkout.
if (DEFINED ENV{FLINTWICK_CACHE})
    set (flintwick_cache "$ENV{FLINTWICK_CACHE}")
elseif (DEFINED ENV{XDG_CACHE_HOME})
    set (flintwick_cache "$ENV{XDG_CACHE_HOME}/flintwick")
else()
    set (flintwick_cache "$ENV{HOME}/.cache/flintwick")
endif()

set (JUCE_DIR "${flintwick_cache}/juce-8.0.6" CACHE PATH "JUCE 8 source tree")
set (VST3_VALIDATOR "${flintwick_cache}/vst3sdk/build/bin/Release/validator" CACHE FILEPATH "Steinberg's VST3 validator")

if (NOT EXISTS "${JUCE_DIR}/CMakeLists.txt" OR NOT EXISTS "${JUCE_DIR}/modules/juce_audio_plugin_client")
    message (FATAL_ERROR "JUCE 8 was not found at '${JUCE_DIR}'.\n"
                         "Run scripts/deps.sh to fetch it, or pass -DJUCE_DIR=/path/to/JUCE.")
endif()

if (NOT CMAKE_CXX_COMPILER_LAUNCHER)
    find_program (CCACHE_PROGRAM ccache)
    if (CCACHE_PROGRAM)
        set (CMAKE_C_COMPILER_LAUNCHER "${CCACHE_PROGRAM}")
        set (CMAKE_CXX_COMPILER_LAUNCHER "${CCACHE_PROGRAM}")
    endif()
endif()
