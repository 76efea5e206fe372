# The demo product's set-up folder, laid out in ${CMAKE_BINARY_DIR}/setup/ by
# every preset (target vn_demo_setup, part of "all"). docs/demo-product.md
# describes what it holds.
#
# The payload binaries are real Windows PE files with version resources, built
# with the mingw-w64 cross compilers whatever compiler the preset itself uses:
# the simulated machine reads file versions from the PE files themselves.
option(VN_BUILD_DEMO_SETUP "Lay out the demo product's set-up folder in <build>/setup" ON)
if(NOT VN_BUILD_DEMO_SETUP)
  return()
endif()

set(VN_SETUP_DIR ${CMAKE_BINARY_DIR}/setup)
set(VN_DEMO_SOURCE_DIR ${CMAKE_SOURCE_DIR}/demo)
set(VN_DEMO_WORK_DIR ${CMAKE_BINARY_DIR}/demo)

set(VN_DEMO_VERSION 33.0.44)
set(VN_DEMO_MAJOR_VERSION 33)
set(VN_DEMO_FILE_VERSION ${VN_DEMO_VERSION}.0)
set(VN_DEMO_LAUNCHER_NAME "Tunaro Launcher.exe")
set(VN_DEMO_PROMO_COUNT 3)
# The language code that the tools library reports; it names the localised
# promotion pictures ("Promo1 - en.png").
set(VN_DEMO_LANGUAGE_CODE en)
# The seven core libraries, index 0 first. Index 0 is the product's own name.
set(VN_DEMO_CORE_LIBRARIES
  VnAudio.dll VnImage.dll VnReader.dll VnDisc.dll VnPlayer.dll VnWMFactory.dll VnTelevision.dll)
# Versioned system libraries, copied by version ("System\Check Version\").
set(VN_DEMO_CHECK_VERSION_LIBRARIES "VnCodecSupport.dll|2.4.1.7" "VnDeviceBridge.dll|1.12.0.301")

# Programs that other parts of the project build, copied into the set-up folder
# at the end of configuration. Each entry is "<path in the set-up folder>|<CMake
# target>". An entry with an empty target, or with a target that is not defined,
# is a placeholder: the set-up folder lacks that program until it is filled in.
set(VN_DEMO_PROJECT_PROGRAMS
  "Tunaro Install Wizard.exe|vn_installer"  # the installer itself
  "Playmoor/VnTools.dll|VnTools"        # the tools library (Windows builds)
  "Playmoor/PackageInstaller.exe|vn_package_installer"
  "Playmoor/VnService.exe|vn_vnservice"
  "Playmoor/OrvanControl.exe|vn_orvan_control"
  "Playmoor/VnMediaUninstall.exe|vn_media_uninstall"
  "Playmoor/VnReader.dll|VnReader"    # the reader library (Windows builds)
  "Support/MicrosoftEdgeWebview2Setup.exe|vn_webview_setup"  # dependency set-ups (Windows builds)
  "Support/d3dx943.exe|vn_directx_setup")

# The font copied into "Fonts\" (Debian package fonts-dejavu-core).
set(VN_DEMO_FONT /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf CACHE FILEPATH
    "TrueType font shipped in the demo set-up's Fonts folder")
# Licence texts (Debian package base-files).
set(VN_DEMO_LICENSE_TEXTS
  "License.LGPL2.1.txt|/usr/share/common-licenses/LGPL-2.1"
  "License.LGPL3.txt|/usr/share/common-licenses/LGPL-3")

find_program(VN_MINGW_I686_CC i686-w64-mingw32-gcc-posix REQUIRED)
find_program(VN_MINGW_I686_WINDRES i686-w64-mingw32-windres REQUIRED)
find_program(VN_MINGW_X86_64_CC x86_64-w64-mingw32-gcc-posix REQUIRED)
find_program(VN_MINGW_X86_64_WINDRES x86_64-w64-mingw32-windres REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
if(NOT EXISTS ${VN_DEMO_FONT})
  message(FATAL_ERROR "Demo set-up: the font ${VN_DEMO_FONT} is missing (install fonts-dejavu-core)")
endif()

# The payload matches the installer it ships with: i686 for the shipped
# installer and for the simulated machine (a 32-bit installer on 64-bit
# Windows), x86_64 for the x86_64 test build. "Playmoor\x64\" is always x86_64.
if(CMAKE_SYSTEM_NAME STREQUAL "Windows" AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  set(VN_DEMO_ARCH X86_64)
else()
  set(VN_DEMO_ARCH I686)
endif()

set(VN_DEMO_OUTPUTS "")
set(VN_DEMO_TOOL ${VN_DEMO_SOURCE_DIR}/tools/make_demo_files.py)

# vn_demo_binary(<path in set-up> ARCH I686|X86_64 KIND EXE|DLL VERSION a.b.c.d
#                DESCRIPTION text SOURCE file.c)
# Builds one PE file with its version resource straight into the set-up folder.
#                [ROOT folder OUTPUTS list-variable])
# ROOT (default the set-up folder) and OUTPUTS (default VN_DEMO_OUTPUTS) serve
# the earlier version's files below.
function(vn_demo_binary path)
  cmake_parse_arguments(B "" "ARCH;KIND;VERSION;DESCRIPTION;SOURCE;ROOT;OUTPUTS" "" ${ARGN})
  if(NOT B_ROOT)
    set(B_ROOT ${VN_SETUP_DIR})
  endif()
  if(NOT B_OUTPUTS)
    set(B_OUTPUTS VN_DEMO_OUTPUTS)
  endif()
  get_filename_component(RC_FILE_NAME ${path} NAME)
  set(RC_FILE_VERSION ${B_VERSION})
  string(REPLACE "." "," RC_FILE_VERSION_COMMAS ${B_VERSION})
  set(RC_PRODUCT_VERSION ${VN_DEMO_VERSION})
  string(REPLACE "." "," RC_PRODUCT_VERSION_COMMAS ${VN_DEMO_FILE_VERSION})
  set(RC_DESCRIPTION ${B_DESCRIPTION})
  file(RELATIVE_PATH root_name ${CMAKE_BINARY_DIR} ${B_ROOT})
  set(work ${VN_DEMO_WORK_DIR}/${path})
  if(NOT B_ROOT STREQUAL VN_SETUP_DIR)
    set(work ${VN_DEMO_WORK_DIR}/${root_name}/${path})
  endif()
  set(output ${B_ROOT}/${path})
  if(B_KIND STREQUAL "DLL")
    set(RC_FILE_TYPE VFT_DLL)
    set(link_kind -shared -Wl,--kill-at)
  else()
    set(RC_FILE_TYPE VFT_APP)
    set(link_kind -mwindows -municode)
  endif()
  configure_file(${VN_DEMO_SOURCE_DIR}/src/VersionInfo.rc.in ${work}.rc @ONLY)
  get_filename_component(output_dir ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
    COMMAND ${VN_MINGW_${B_ARCH}_WINDRES} -O coff -i ${work}.rc -o ${work}.res.o
    COMMAND ${VN_MINGW_${B_ARCH}_CC} -O2 -s -Wall ${link_kind} -DDEMO_MAJOR_VERSION=${VN_DEMO_MAJOR_VERSION} -o ${output}
            ${VN_DEMO_SOURCE_DIR}/src/${B_SOURCE} ${work}.res.o -ladvapi32 -luser32
    DEPENDS ${work}.rc ${VN_DEMO_SOURCE_DIR}/src/${B_SOURCE} ${VN_DEMO_SOURCE_DIR}/src/DemoRecord.h
            ${VN_DEMO_SOURCE_DIR}/src/DemoFrame.h
    COMMENT "Demo set-up: ${path}"
    VERBATIM)
  set(${B_OUTPUTS} ${${B_OUTPUTS}} ${output} PARENT_SCOPE)
endfunction()

# vn_demo_generated(<path in set-up> DEPENDS files... COMMAND args...)
# One file of the set-up folder made by a command; @OUT@ in the command is the
# file's full path.
function(vn_demo_generated path)
  cmake_parse_arguments(G "" "" "DEPENDS;COMMAND" ${ARGN})
  set(output ${VN_SETUP_DIR}/${path})
  get_filename_component(output_dir ${output} DIRECTORY)
  list(TRANSFORM G_COMMAND REPLACE "@OUT@" "${output}")
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
    COMMAND ${G_COMMAND}
    DEPENDS ${G_DEPENDS}
    COMMENT "Demo set-up: ${path}"
    VERBATIM)
  set(VN_DEMO_OUTPUTS ${VN_DEMO_OUTPUTS} ${output} PARENT_SCOPE)
endfunction()

# ---- The product's programs and libraries -----------------------------------
vn_demo_binary("Playmoor/Tunaro.exe" ARCH ${VN_DEMO_ARCH} KIND EXE VERSION ${VN_DEMO_FILE_VERSION}
  DESCRIPTION "Tunaro" SOURCE DemoProgram.c)
vn_demo_binary("Playmoor/${VN_DEMO_LAUNCHER_NAME}" ARCH ${VN_DEMO_ARCH} KIND EXE VERSION ${VN_DEMO_FILE_VERSION}
  DESCRIPTION "Tunaro Launcher" SOURCE DemoProgram.c)
# The launcher as the installer finds it before start-up renames it.
vn_demo_binary("System/Always Overwrite/Tunacore Launcher.exe" ARCH ${VN_DEMO_ARCH} KIND EXE
  VERSION ${VN_DEMO_FILE_VERSION} DESCRIPTION "Tunaro Launcher" SOURCE DemoProgram.c)
foreach(library IN LISTS VN_DEMO_CORE_LIBRARIES)
  # The Windows builds ship the real reader library (standins/vnreader).
  if(NOT (WIN32 AND library STREQUAL "VnReader.dll"))
    vn_demo_binary("Playmoor/${library}" ARCH ${VN_DEMO_ARCH} KIND DLL VERSION ${VN_DEMO_FILE_VERSION}
      DESCRIPTION "Tunaro core library" SOURCE DemoComponent.c)
  endif()
  vn_demo_binary("Playmoor/x64/${library}" ARCH X86_64 KIND DLL VERSION ${VN_DEMO_FILE_VERSION}
    DESCRIPTION "Tunaro core library (64-bit)" SOURCE DemoComponent.c)
endforeach()
foreach(entry IN LISTS VN_DEMO_CHECK_VERSION_LIBRARIES)
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 library)
  list(GET entry 1 version)
  vn_demo_binary("System/Check Version/${library}" ARCH ${VN_DEMO_ARCH} KIND DLL VERSION ${version}
    DESCRIPTION "Tunaro system library" SOURCE DemoComponent.c)
endforeach()

# Natively the tools library is linked into the installer and registered with
# the simulated machine's module table; the set-up folder still needs a library
# file of that name for the installer to load.
if(NOT WIN32)
  vn_demo_binary("Playmoor/VnTools.dll" ARCH I686 KIND DLL VERSION ${VN_DEMO_FILE_VERSION}
    DESCRIPTION "Tunaro tools library (file image for the simulated machine)" SOURCE DemoComponent.c)
endif()

# Natively the dependency set-ups run in-process in the simulated machine
# (standins/dependencysetups); "Support\" still needs program files of their names.
if(NOT WIN32)
  foreach(setup d3dx943.exe MicrosoftEdgeWebview2Setup.exe)
    vn_demo_binary("Support/${setup}" ARCH I686 KIND EXE VERSION 1.0.0.0
      DESCRIPTION "Dependency set-up (file image for the simulated machine)" SOURCE DemoProgram.c)
  endforeach()
endif()

# ---- Files kept in demo/setup/ at their places ------------------------------
# "*.in" files are filled in with the version and names above; text files get
# Windows line endings; everything else is copied as it is.
file(GLOB_RECURSE VN_DEMO_STATIC_FILES CONFIGURE_DEPENDS RELATIVE ${VN_DEMO_SOURCE_DIR}/setup
     ${VN_DEMO_SOURCE_DIR}/setup/*)
foreach(file IN LISTS VN_DEMO_STATIC_FILES)
  set(source ${VN_DEMO_SOURCE_DIR}/setup/${file})
  if(file MATCHES "^(.*)\\.in$")
    set(file ${CMAKE_MATCH_1})
    configure_file(${source} ${VN_DEMO_WORK_DIR}/${file} @ONLY)
    set(source ${VN_DEMO_WORK_DIR}/${file})
  endif()
  if(file MATCHES "\\.(txt|ini|inf)$")
    vn_demo_generated("${file}" DEPENDS ${source} ${VN_DEMO_TOOL}
      COMMAND ${Python3_EXECUTABLE} ${VN_DEMO_TOOL} text ${source} @OUT@)
  else()
    vn_demo_generated("${file}" DEPENDS ${source} COMMAND ${CMAKE_COMMAND} -E copy ${source} @OUT@)
  endif()
endforeach()

# ---- Files taken from the build machine -------------------------------------
get_filename_component(font_name ${VN_DEMO_FONT} NAME)
vn_demo_generated("Fonts/${font_name}" DEPENDS ${VN_DEMO_FONT}
  COMMAND ${CMAKE_COMMAND} -E copy ${VN_DEMO_FONT} @OUT@)
foreach(entry IN LISTS VN_DEMO_LICENSE_TEXTS)
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 name)
  list(GET entry 1 source)
  vn_demo_generated("${name}" DEPENDS ${source} ${VN_DEMO_TOOL}
    COMMAND ${Python3_EXECUTABLE} ${VN_DEMO_TOOL} text ${source} @OUT@)
endforeach()

# ---- Art and sample media ---------------------------------------------------
foreach(n RANGE 1 ${VN_DEMO_PROMO_COUNT})
  vn_demo_generated("Setup/Promo${n}.png" DEPENDS ${VN_DEMO_TOOL}
    COMMAND ${Python3_EXECUTABLE} ${VN_DEMO_TOOL} promo @OUT@ ${n} plain)
  vn_demo_generated("Setup/Promo${n} - ${VN_DEMO_LANGUAGE_CODE}.png" DEPENDS ${VN_DEMO_TOOL}
    COMMAND ${Python3_EXECUTABLE} ${VN_DEMO_TOOL} promo @OUT@ ${n} ${VN_DEMO_LANGUAGE_CODE})
endforeach()
foreach(icon application.ico fileimage.ico Server.ico)
  vn_demo_generated("Playmoor/Data/Default Art/${icon}" DEPENDS ${VN_DEMO_TOOL}
    COMMAND ${Python3_EXECUTABLE} ${VN_DEMO_TOOL} icon @OUT@)
endforeach()
vn_demo_generated("Media/Sample Tone.wav" DEPENDS ${VN_DEMO_TOOL}
  COMMAND ${Python3_EXECUTABLE} ${VN_DEMO_TOOL} tone @OUT@)

add_custom_target(vn_demo_setup ALL DEPENDS ${VN_DEMO_OUTPUTS})

# ---- An earlier version of the product --------------------------------------
# ${CMAKE_BINARY_DIR}/setup-earlier/: the set-up folder of version 33.0.40,
# which still shipped some of what this version's clean-up deletes (its
# release lists, engine/ObsoleteReleaseLists.cpp). Installed first, it leaves
# them behind for the current version to remove.
set(VN_SETUP_EARLIER_DIR ${CMAKE_BINARY_DIR}/setup-earlier)
set(VN_DEMO_EARLIER_FILES ${VN_DEMO_WORK_DIR}/earlier-files)
set(VN_DEMO_EARLIER_LIBRARIES
  "Plugins/General/VnTVControl.dll" "Plugins/Visualization/vis_vnspectrum.dll" "Plugins/VnVideoTypeFilter.ax"
  "VnFix.dll")
set(VN_DEMO_EARLIER_TEXTS
  "Data/Default Art/DLNA Audio Background.jpg" "Data/Default Art/DLNA Video Background.jpg"
  "Web/index.html" "Web/scripts/remote.js" "Plugins/DirectShow/VnSplitter/VnSplitter.txt")
set(VN_DEMO_EARLIER_OUTPUTS "")
foreach(library IN LISTS VN_DEMO_EARLIER_LIBRARIES)
  vn_demo_binary("Playmoor/${library}" ARCH ${VN_DEMO_ARCH} KIND DLL VERSION 33.0.40.0
    DESCRIPTION "Tunaro plug-in (earlier version)" SOURCE DemoComponent.c
    ROOT ${VN_DEMO_EARLIER_FILES} OUTPUTS VN_DEMO_EARLIER_OUTPUTS)
endforeach()
foreach(text IN LISTS VN_DEMO_EARLIER_TEXTS)
  file(WRITE ${VN_DEMO_EARLIER_FILES}/Playmoor/${text} "Left behind by Tunaro 33.0.40: ${text}\n")
endforeach()
set(VN_DEMO_VERSION_NOW ${VN_DEMO_VERSION})
set(VN_DEMO_VERSION 33.0.40)
configure_file(${VN_DEMO_SOURCE_DIR}/setup/Playmoor/ProductInfo.xml.in
               ${VN_DEMO_EARLIER_FILES}/Playmoor/ProductInfo.xml @ONLY)
set(VN_DEMO_VERSION ${VN_DEMO_VERSION_NOW})
add_custom_target(vn_demo_setup_earlier ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VN_SETUP_EARLIER_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${VN_SETUP_DIR} ${VN_SETUP_EARLIER_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${VN_DEMO_EARLIER_FILES} ${VN_SETUP_EARLIER_DIR}
  DEPENDS ${VN_DEMO_EARLIER_OUTPUTS}
  COMMENT "Demo set-up: the earlier version in setup-earlier/"
  VERBATIM)
add_dependencies(vn_demo_setup_earlier vn_demo_setup)

# ---- The plug-in packages and the set-up folder that ships them --------------
include(${CMAKE_CURRENT_LIST_DIR}/DemoPackages.cmake)

# ---- Programs built elsewhere in the project, and the tests' view of the folder
# Run once every directory has been read, so that the targets exist.
function(vn_demo_finish)
  foreach(entry IN LISTS VN_DEMO_PROJECT_PROGRAMS)
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 path)
    list(LENGTH entry parts)
    set(target "")
    if(parts GREATER 1)
      list(GET entry 1 target)
    endif()
    if(NOT target OR NOT TARGET ${target})
      message(STATUS "Demo set-up: ${path} is not built yet (placeholder)")
      continue()
    endif()
    set(output ${VN_SETUP_DIR}/${path})
    get_filename_component(output_dir ${output} DIRECTORY)
    add_custom_command(TARGET vn_demo_setup POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${output}
      VERBATIM)
    add_dependencies(vn_demo_setup ${target})
  endforeach()
  # The simulated machine's tests read the PE files of the set-up folder.
  if(TARGET sim_tests)
    add_dependencies(sim_tests vn_demo_setup)
    target_compile_definitions(sim_tests PRIVATE VN_DEMO_SETUP_DIR="${VN_SETUP_DIR}")
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vn_demo_finish)
