# The programs, built once with the release key for shipping and, for the tests,
# once more with a key pair the build makes itself (never the release key).
# Marvolt's sources are compiled once; only the parts that carry the version
# (main window, version resources) and the key are built per program.
set(MARVOLT_UPDATE_PUBLIC_KEY "${CMAKE_SOURCE_DIR}/keys/release-public.der" CACHE FILEPATH
    "P-256 public key (DER) that downloaded programs are checked against")

# Files split for the reader are compiled for the program as one unit each, so
# that the compiler inlines across them as it did when they were one file: the
# settings window's logic and its view. The tests compile them one by one.
set(MARVOLT_MAIN_WINDOW_SOURCES app/main_window.cpp app/main_window_tray.cpp app/main_window_cycle.cpp
  app/main_window_commands.cpp)
set_source_files_properties(${MARVOLT_MAIN_WINDOW_SOURCES} PROPERTIES UNITY_GROUP main_window)
set_source_files_properties(windows/main_window_view_win32.cpp windows/main_window_layout_win32.cpp
  windows/main_window_messages_win32.cpp PROPERTIES UNITY_GROUP main_window_view)

set(MARVOLT_PROGRAM_OBJECT_SOURCES ${MARVOLT_LOGIC_SOURCES} ${MARVOLT_WIN32_SOURCES} program/main.cpp)
list(FILTER MARVOLT_PROGRAM_OBJECT_SOURCES EXCLUDE REGEX ".*/app/main_window(_[a-z]+)?\\.cpp$")
add_library(marvolt_program_objects OBJECT ${MARVOLT_PROGRAM_OBJECT_SOURCES} program/runtime.cpp)
target_include_directories(marvolt_program_objects PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
target_compile_options(marvolt_program_objects PRIVATE ${MARVOLT_PROGRAM_FLAGS})
set_target_properties(marvolt_program_objects PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE GROUP)

add_library(update_program_objects OBJECT updater/update_main.cpp update/updater.cpp update/release_version.cpp
  platform/text.cpp platform/win32/file_version_win32.cpp platform/win32/late_library.cpp
  platform/win32/pinned_file_win32.cpp
  platform/win32/url_download_win32.cpp platform/win32/signature_check_win32.cpp platform/win32/win_text.cpp
  program/runtime.cpp)
target_include_directories(update_program_objects PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
target_compile_options(update_program_objects PRIVATE ${MARVOLT_PROGRAM_FLAGS})

# The key source for one public key file.
function(marvolt_key_source name keyfile)
  set(out ${CMAKE_BINARY_DIR}/generated/${name}.cpp)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DKEY=${keyfile} -DOUT=${out} -P ${CMAKE_SOURCE_DIR}/cmake/embed_key.cmake
    DEPENDS ${keyfile} ${CMAKE_SOURCE_DIR}/cmake/embed_key.cmake VERBATIM)
endfunction()

# The version resource of one program, in generated-<target>/version.rc; it reads
# MARVOLT_VERSION and MARVOLT_VERSION_MINOR from the caller.
function(marvolt_version_resource target name description out)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in ${CMAKE_BINARY_DIR}/generated-${target}/version.rc @ONLY)
  set(${out} ${CMAKE_BINARY_DIR}/generated-${target}/version.rc PARENT_SCOPE)
endfunction()

# marvolt_program(<target> <version> <minor> <key source> <output folder> <output name>)
function(marvolt_program target version minor keysource folder name)
  set(MARVOLT_VERSION ${version})
  string(REGEX MATCH "^[0-9]+" MARVOLT_VERSION_MAJOR ${version})
  set(MARVOLT_VERSION_MINOR ${minor})
  configure_file(${CMAKE_SOURCE_DIR}/platform/product.h.in ${CMAKE_BINARY_DIR}/generated-${target}/product.h @ONLY)
  marvolt_version_resource(${target} ${name} "${MARVOLT_PRODUCT} - default sound device switcher" version_rc)
  add_executable(${target} WIN32 $<TARGET_OBJECTS:marvolt_program_objects> ${MARVOLT_MAIN_WINDOW_SOURCES} ${keysource}
    program/resources/marvolt.rc program/resources/manifest.rc windows/profiles_window.rc ${version_rc})
  target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/generated-${target} ${CMAKE_SOURCE_DIR})
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE GROUP)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${MARVOLT_PROGRAM_FLAGS}>)
  # No winmm, comctl32 or shell32: a second start that only hands over must not
  # map them, so the program loads them when first used (LateLibrary); a direct
  # call to winmm fails to link, and the end-to-end tier checks the imports.
  target_link_libraries(${target} PRIVATE user32 gdi32 advapi32)
  # The entry point is main.cpp's own.
  target_link_options(${target} PRIVATE ${MARVOLT_STATIC_LINK} ${MARVOLT_OWN_ENTRY_LINK} -s)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${folder} OUTPUT_NAME ${name})
endfunction()

# Whatever the file is called on the server, its version resource names it
# Update.exe: Marvolt checks that before it starts a fetched updater.
function(update_program target keysource folder name)
  marvolt_version_resource(${target} Update "${MARVOLT_PRODUCT} updater" version_rc)
  add_executable(${target} WIN32 $<TARGET_OBJECTS:update_program_objects> ${keysource} updater/update.rc
    ${version_rc})
  target_link_libraries(${target} PRIVATE user32 shell32)
  target_link_options(${target} PRIVATE ${MARVOLT_STATIC_LINK} -s)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${folder} OUTPUT_NAME ${name})
endfunction()

marvolt_key_source(release_key ${MARVOLT_UPDATE_PUBLIC_KEY})
marvolt_program(Marvolt ${MARVOLT_VERSION} ${MARVOLT_VERSION_MINOR} ${CMAKE_BINARY_DIR}/generated/release_key.cpp
  ${CMAKE_BINARY_DIR} Marvolt)
update_program(Update ${CMAKE_BINARY_DIR}/generated/release_key.cpp ${CMAKE_BINARY_DIR} Update)

# The tests' flavour under update-test/: a key pair made by the build, Marvolt and
# Update.exe that trust it, and server folders, signed with it: www/ with the
# next version and the updater, older/ with the version before this one and
# same/ with this one.
option(MARVOLT_UPDATE_TESTS "Build the update tests' programs and their key pair" ON)
if(MARVOLT_UPDATE_TESTS)
  set(test_dir ${CMAKE_BINARY_DIR}/update-test)
  set(www ${test_dir}/www/Downloads)
  add_custom_command(OUTPUT ${test_dir}/test-key.pem ${test_dir}/test-public.der
    COMMAND ${CMAKE_COMMAND} -E make_directory ${test_dir}
    COMMAND openssl ecparam -name prime256v1 -genkey -noout -out ${test_dir}/test-key.pem
    COMMAND openssl ec -in ${test_dir}/test-key.pem -pubout -outform DER -out ${test_dir}/test-public.der
    VERBATIM)
  marvolt_key_source(test_key ${test_dir}/test-public.der)
  set(key_source ${CMAKE_BINARY_DIR}/generated/test_key.cpp)
  marvolt_program(MarvoltTestKey ${MARVOLT_VERSION} ${MARVOLT_VERSION_MINOR} ${key_source} ${test_dir}/app Marvolt)
  marvolt_program(MarvoltNextVersion ${MARVOLT_NEXT_VERSION} ${MARVOLT_NEXT_MINOR} ${key_source} ${www}/Tools/Marvolt/eng Marvolt)
  if(MARVOLT_VERSION_MINOR GREATER 0)
    math(EXPR previous_minor "${MARVOLT_VERSION_MINOR} - 1")
    string(REGEX REPLACE "[0-9]+$" "" previous ${MARVOLT_VERSION})
    if(previous_minor LESS 10)
      string(APPEND previous 0)
    endif()
    marvolt_program(MarvoltPreviousVersion ${previous}${previous_minor} ${previous_minor} ${key_source}
      ${test_dir}/older/Downloads/Tools/Marvolt/eng Marvolt)
  endif()
  update_program(UpdateTestKey ${key_source} ${test_dir}/app Update)
  update_program(UpdateServed ${key_source} ${www} Zarnik-Updater)
  foreach(target MarvoltNextVersion MarvoltPreviousVersion UpdateServed)
    if(TARGET ${target})
      add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_SOURCE_DIR}/script/sign $<TARGET_FILE:${target}> ${test_dir}/test-key.pem VERBATIM)
    endif()
  endforeach()
endif()
