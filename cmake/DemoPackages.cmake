# The demo product's plug-in packages and the set-up folder that ships them,
# ${CMAKE_BINARY_DIR}/setup-packages/ (target vn_demo_setup_packages): the
# demo set-up with the packages of demo/packages/ in "Support\Plug-ins\".
# Kept apart from setup/ so that the other checks' silent installs do not
# install packages too. docs/demo-product.md describes the packages.
#
# The test plug-ins are built from demo/src/DemoPlugin.c, one library per kind,
# for the payload's machine; the zip archives are made by the build
# (cmake -E tar --format=zip) from a staging folder per package.
set(VN_DEMO_PACKAGES_SOURCE ${VN_DEMO_SOURCE_DIR}/packages)
set(VN_DEMO_PACKAGES_STAGE ${VN_DEMO_WORK_DIR}/packages)
set(VN_DEMO_PACKAGES_SUPPORT ${VN_DEMO_WORK_DIR}/package-support/Plug-ins)
set(VN_SETUP_PACKAGES_DIR ${CMAKE_BINARY_DIR}/setup-packages)
if(VN_DEMO_ARCH STREQUAL "X86_64")
  set(VN_DEMO_VST3_ARCH x86_64-win)
else()
  set(VN_DEMO_VST3_ARCH x86-win)
endif()

# "<package>|<path in the archive>|<kind define>"
set(VN_DEMO_PLUGINS
  "Demo Plug-ins|dsp_echo.dll|DEMO_PLUGIN_DSP"
  "Demo Plug-ins|in_tone.dll|DEMO_PLUGIN_INPUT=4"
  "Demo Plug-ins|in_old.dll|DEMO_PLUGIN_INPUT=3"
  "Demo Plug-ins|in_both.dll|DEMO_PLUGIN_BOTH"
  "Demo Plug-ins|in_wave.dll|DEMO_PLUGIN_WINAMP_IN"
  "Demo Plug-ins|Warm Reverb.dll|DEMO_PLUGIN_VST2"
  "Demo Plug-ins|plain.dll|DEMO_PLUGIN_NONE"
  "Demo Effects|Effects/Space Delay.vst3/Contents/${VN_DEMO_VST3_ARCH}/Space Delay.vst3|DEMO_PLUGIN_VST3"
  "Demo Effects|Effects/vis_bars.dll|DEMO_PLUGIN_VIS"
  "Demo Effects|Remote/gir_remote.dll|DEMO_PLUGIN_GIRDER"
  "Demo Effects|Remote/crash_register.dll|DEMO_PLUGIN_CRASH")
# Files of demo/packages/ that go into an archive: "<package>|<file>".
set(VN_DEMO_PACKAGE_FILES "Demo Plug-ins|Readme.txt")
# Packages with an archive, and every description (Demo Broken has no archive).
set(VN_DEMO_PACKAGE_ARCHIVES "Demo Plug-ins" "Demo Effects")
set(VN_DEMO_PACKAGE_DESCRIPTIONS "Demo Plug-ins" "Demo Effects" "Demo Broken")

set(package_outputs "")
foreach(package IN LISTS VN_DEMO_PACKAGE_ARCHIVES)
  set(members_${package} "")
  set(inputs_${package} "")
endforeach()
foreach(entry IN LISTS VN_DEMO_PLUGINS)
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 package)
  list(GET entry 1 member)
  list(GET entry 2 kind)
  set(output "${VN_DEMO_PACKAGES_STAGE}/${package}/${member}")
  get_filename_component(output_dir "${output}" DIRECTORY)
  add_custom_command(OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${output_dir}"
    COMMAND ${VN_MINGW_${VN_DEMO_ARCH}_CC} -O2 -s -Wall -shared -Wl,--kill-at -D${kind}
            -I${CMAKE_SOURCE_DIR}/packages -o "${output}" ${VN_DEMO_SOURCE_DIR}/src/DemoPlugin.c
    DEPENDS ${VN_DEMO_SOURCE_DIR}/src/DemoPlugin.c ${CMAKE_SOURCE_DIR}/packages/PluginInterfaces.h
    COMMENT "Demo packages: ${package}/${member}"
    VERBATIM)
  list(APPEND members_${package} "${member}")
  list(APPEND inputs_${package} "${output}")
endforeach()
foreach(entry IN LISTS VN_DEMO_PACKAGE_FILES)
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 package)
  list(GET entry 1 file)
  set(output "${VN_DEMO_PACKAGES_STAGE}/${package}/${file}")
  add_custom_command(OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} -E copy "${VN_DEMO_PACKAGES_SOURCE}/${file}" "${output}"
    DEPENDS "${VN_DEMO_PACKAGES_SOURCE}/${file}"
    VERBATIM)
  list(APPEND members_${package} "${file}")
  list(APPEND inputs_${package} "${output}")
endforeach()
foreach(package IN LISTS VN_DEMO_PACKAGE_ARCHIVES)
  set(archive "${VN_DEMO_PACKAGES_SUPPORT}/${package}.zip")
  add_custom_command(OUTPUT "${archive}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${VN_DEMO_PACKAGES_SUPPORT}"
    COMMAND ${CMAKE_COMMAND} -E rm -f "${archive}"
    COMMAND ${CMAKE_COMMAND} -E tar cf "${archive}" --format=zip -- ${members_${package}}
    WORKING_DIRECTORY "${VN_DEMO_PACKAGES_STAGE}/${package}"
    DEPENDS ${inputs_${package}}
    COMMENT "Demo packages: ${package}.zip"
    VERBATIM)
  list(APPEND package_outputs "${archive}")
endforeach()
foreach(package IN LISTS VN_DEMO_PACKAGE_DESCRIPTIONS)
  set(description "${VN_DEMO_PACKAGES_SUPPORT}/${package}.pmp")
  add_custom_command(OUTPUT "${description}"
    COMMAND ${CMAKE_COMMAND} -E copy "${VN_DEMO_PACKAGES_SOURCE}/${package}.pmp" "${description}"
    DEPENDS "${VN_DEMO_PACKAGES_SOURCE}/${package}.pmp"
    VERBATIM)
  list(APPEND package_outputs "${description}")
endforeach()

add_custom_target(vn_demo_packages DEPENDS ${package_outputs})
add_custom_target(vn_demo_setup_packages ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VN_SETUP_PACKAGES_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${VN_SETUP_DIR} ${VN_SETUP_PACKAGES_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${VN_DEMO_WORK_DIR}/package-support ${VN_SETUP_PACKAGES_DIR}/Support
  COMMENT "Demo set-up with plug-in packages in setup-packages/"
  VERBATIM)
add_dependencies(vn_demo_setup_packages vn_demo_setup vn_demo_packages)
