# Compiler and linker flags shared by every target of a configuration.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" OR CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
endif()

if(CHRONEL_SANITIZE)
  # Whole build, GoogleTest included; without -fno-sanitize-recover UBSan only prints.
  set(san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${san})
  add_link_options(${san})
endif()

if(CHRONEL_SANITIZE_THREAD)
  # Data races fail the run: TSan reports make the program exit with an error.
  set(tsan -fsanitize=thread -fno-omit-frame-pointer)
  add_compile_options(${tsan})
  add_link_options(${tsan})
endif()

if(CHRONEL_FUZZ)
  # The smoke runs check memory with ASan. Long runs for depth (CHRONEL_FUZZ_FAST) give it up for
  # several times the executions per second and keep UBSan; what they find is replayed on the
  # sanitized build.
  if(CHRONEL_FUZZ_FAST)
    set(fuzzsan undefined)
  else()
    set(fuzzsan address,undefined)
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,${fuzzsan} -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${fuzzsan})
endif()

if(WIN32)
  # Windows' own DLLs only: the C and C++ run-times and winpthread are linked in.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()

# Stamps the project version into a Windows target's version resource.
function(chronel_add_version_resource target description filename filetype)
  set(CHRONEL_RC_DESCRIPTION "${description}")
  set(CHRONEL_RC_FILENAME "${filename}")
  set(CHRONEL_RC_FILETYPE "${filetype}")
  get_filename_component(CHRONEL_RC_NAME "${filename}" NAME_WE)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/src/plugin/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
