# What `cmake --install` puts under the prefix: the libraries with versioned
# sonames, their headers in one include folder (include/wx5novl1), the CMake
# package (find_package(wx5novl1 CONFIG) gives wx5novl1::wx5novl1, ::swgdi,
# ::host, ::wx5nfacc, ::wx5naux0 and ::ovlwriter), a pkg-config file for each
# library, and the ovl tool with its man page. CPack makes a .deb of it.
include(CMakePackageConfigHelpers)

set(WX5N_INSTALL_INCLUDE ${CMAKE_INSTALL_INCLUDEDIR}/wx5novl1)
set(WX5N_INSTALL_CMAKE ${CMAKE_INSTALL_LIBDIR}/cmake/wx5novl1)
set(WX5N_LIBRARIES wx5novl1 swgdi wx5nfacc wx5naux0 wx5nhost)

# Include folders and link interfaces that name the source tree hold for the
# build only; installed, every header is in the one include folder.
foreach(t swgdi ovlwriter wx5n_res)
  get_target_property(dirs ${t} INTERFACE_INCLUDE_DIRECTORIES)
  set(wrapped "")
  foreach(d ${dirs})
    list(APPEND wrapped "$<BUILD_INTERFACE:${d}>")
  endforeach()
  set_property(TARGET ${t} PROPERTY INTERFACE_INCLUDE_DIRECTORIES ${wrapped})
endforeach()
foreach(t wx5nfacc wx5naux0)
  set_property(TARGET ${t} PROPERTY INTERFACE_LINK_LIBRARIES "$<BUILD_INTERFACE:wx5n_fileacc_headers>")
endforeach()
foreach(t ${WX5N_LIBRARIES} ovlwriter)
  set_property(TARGET ${t} APPEND PROPERTY INTERFACE_INCLUDE_DIRECTORIES
               "$<INSTALL_INTERFACE:${WX5N_INSTALL_INCLUDE}>")
endforeach()

# Versioned sonames: libwx5novl1.so.1 and the same major version for the
# libraries around it.
foreach(t ${WX5N_LIBRARIES})
  set_target_properties(${t} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
endforeach()

# Export maps: a shared library exports its documented C names and nothing
# else, whatever the compiler instantiates. The names of the overlay, file
# and size libraries are those of their Windows .def files; the host
# library's all begin with wx5nh_, swgdi's with swgdi_ or, GDI's own, with a
# capital letter (mangled C++ names begin with _Z). (Sanitizer and fuzzing builds keep their
# runtime's symbols visible.)
function(wx5n_export_map target)
  set(map ${CMAKE_BINARY_DIR}/exports/${target}.map)
  file(WRITE ${map} "{\n  global:\n")
  foreach(name ${ARGN})
    file(APPEND ${map} "    ${name};\n")
  endforeach()
  file(APPEND ${map} "  local: *;\n};\n")
  target_link_options(${target} PRIVATE "LINKER:--version-script=${map}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${map})
endfunction()
function(wx5n_def_names def out)
  file(STRINGS ${def} lines)
  set(names "")
  foreach(line ${lines})
    if(line MATCHES "^[ \t]+([A-Za-z_][A-Za-z_0-9]*)")
      list(APPEND names ${CMAKE_MATCH_1})
    endif()
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()
if(BUILD_SHARED_LIBS AND NOT WX5N_SANITIZE AND NOT WX5N_FUZZ AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
  foreach(t wx5novl1 wx5nfacc wx5naux0)
    wx5n_def_names(${PROJECT_SOURCE_DIR}/platform/windows/${t}.def names)
    wx5n_export_map(${t} ${names})
  endforeach()
  wx5n_export_map(wx5nhost "wx5nh_*")
  wx5n_export_map(swgdi "swgdi_*" "[A-Z]*")
endif()

set(WX5N_EXPORTED ${WX5N_LIBRARIES} ovlwriter)
if(NOT BUILD_SHARED_LIBS)
  # Static archives carry their private dependencies into the package, and
  # the C++ runtime for a host written in C.
  list(APPEND WX5N_EXPORTED wx5n_res)
  foreach(t ${WX5N_LIBRARIES})
    target_link_libraries(${t} INTERFACE stdc++ m)
  endforeach()
endif()
install(TARGETS ${WX5N_EXPORTED} EXPORT wx5novl1Targets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(WX5N_PUBLIC_HEADERS
    ${PROJECT_SOURCE_DIR}/include/wx5novl1.h
    ${PROJECT_SOURCE_DIR}/include/wx5novl1_gdi.h
    ${PROJECT_SOURCE_DIR}/host/wx5nhost.h
    ${PROJECT_SOURCE_DIR}/platform/gdi/swgdi.h
    ${PROJECT_SOURCE_DIR}/platform/gdi/swgdi_path.h
    ${PROJECT_SOURCE_DIR}/platform/fileacc/wx5nfacc.h
    ${PROJECT_SOURCE_DIR}/platform/fileacc/wx5naux0.h
    ${PROJECT_SOURCE_DIR}/writer/ovlwriter.h
    ${PROJECT_SOURCE_DIR}/writer/elements.h)
if(EXISTS ${PROJECT_SOURCE_DIR}/platform/gdi/swgdi_journal.h)
  list(APPEND WX5N_PUBLIC_HEADERS ${PROJECT_SOURCE_DIR}/platform/gdi/swgdi_journal.h)
endif()
install(FILES ${WX5N_PUBLIC_HEADERS} DESTINATION ${WX5N_INSTALL_INCLUDE})

install(EXPORT wx5novl1Targets NAMESPACE wx5novl1:: DESTINATION ${WX5N_INSTALL_CMAKE})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/wx5novl1Config.cmake.in
                              ${CMAKE_BINARY_DIR}/wx5novl1Config.cmake
                              INSTALL_DESTINATION ${WX5N_INSTALL_CMAKE})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/wx5novl1ConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/wx5novl1Config.cmake
              ${CMAKE_BINARY_DIR}/wx5novl1ConfigVersion.cmake
        DESTINATION ${WX5N_INSTALL_CMAKE})

# pkg-config: one file a library; a static build lists what the archives
# need in Libs.private.
if(BUILD_SHARED_LIBS)
  set(WX5N_PC_PRIVATE "")
  set(WX5N_PC_REQUIRES_PRIVATE "")
else()
  set(WX5N_PC_PRIVATE "-lwx5nfacc -lwx5naux0 -lwx5n_res -lstdc++ -lm")
  set(WX5N_PC_REQUIRES_PRIVATE "libpng")
endif()
# The prefix is found from the file's own place, so an installed tree may move.
file(RELATIVE_PATH WX5N_PC_UP /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" WX5N_PC_UP "${WX5N_PC_UP}")
set(WX5N_PC_PREFIX "\${pcfiledir}/${WX5N_PC_UP}")
foreach(pc wx5novl1 swgdi wx5nfacc wx5naux0 wx5nhost ovlwriter)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/pkgconfig/${pc}.pc.in ${CMAKE_BINARY_DIR}/pkgconfig/${pc}.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/pkgconfig/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()

if(TARGET ovl)
  install(TARGETS ovl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/docs/ovl.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# A Debian package of the same files under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wx5novl1)
set(CPACK_PACKAGE_VENDOR "wx5novl1 developers")
set(CPACK_PACKAGE_CONTACT "wx5novl1 developers <wx5novl1@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "page-form overlay reader and overlay graphics, with a software GDI and the ovl tool")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libpng16-16")
if(TARGET ovl)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libcairo2, libfreetype6, libfontconfig1, libtiff6")
endif()
include(CPack)
