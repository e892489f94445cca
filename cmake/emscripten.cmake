# The browser build's toolchain: Emscripten's own toolchain file, found where
# the installed Emscripten says it lives (em-config), wherever that is.
find_program(PELLORIN_EM_CONFIG em-config REQUIRED)
execute_process(COMMAND ${PELLORIN_EM_CONFIG} EMSCRIPTEN_ROOT
    OUTPUT_VARIABLE PELLORIN_EMSCRIPTEN_ROOT OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
include(${PELLORIN_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake)
