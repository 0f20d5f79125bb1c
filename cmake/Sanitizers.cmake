# -DFLINTWICK_SANITIZE=address (address + undefined) or =thread instruments every target.
set (FLINTWICK_SANITIZE "" CACHE STRING "Sanitizer build: empty, address or thread")

if (FLINTWICK_SANITIZE STREQUAL "address")
    add_compile_options (-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options (-fsanitize=address,undefined)
elseif (FLINTWICK_SANITIZE STREQUAL "thread")
    add_compile_options (-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options (-fsanitize=thread)
elseif (NOT FLINTWICK_SANITIZE STREQUAL "")
    message (FATAL_ERROR "FLINTWICK_SANITIZE must be empty, address or thread")
endif()
