# What `cmake --install` places, and the Debian package made of it (`make package`):
# both programs, the core library (shared and static, public headers under include/scan2theta/,
# CMake package and pkg-config file), the shipped standards, man pages made from --help, shell
# completion, the desktop entry, its icon and the AppStream metainfo.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(S2T_APP_ID org.scan2theta.scan2theta)
set(S2T_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/scan2theta)
set(S2T_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/scan2theta)

# The installed core, shared and static under one name, made of the objects the programs link, so
# that nothing is compiled twice. The headers include each other by subsystem ("engine/..."), so
# include/scan2theta is on the include path beside include (<scan2theta/engine/...>).
set_target_properties(scan2theta-core PROPERTIES POSITION_INDEPENDENT_CODE ON)
add_library(scan2theta-shared SHARED $<TARGET_OBJECTS:scan2theta-core>)
add_library(scan2theta-static STATIC $<TARGET_OBJECTS:scan2theta-core>)
add_dependencies(scan2theta-shared scan2theta-core)
add_dependencies(scan2theta-static scan2theta-core)
set_target_properties(scan2theta-shared PROPERTIES OUTPUT_NAME scan2theta EXPORT_NAME scan2theta
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR} LINKER_LANGUAGE CXX)
set_target_properties(scan2theta-static PROPERTIES OUTPUT_NAME scan2theta EXPORT_NAME scan2theta_static
  LINKER_LANGUAGE CXX)
# Both read other instruments' formats through xylib: the shared library links it, the static one
# hands it on to whatever links it.
target_link_libraries(scan2theta-shared PRIVATE ${XYLIB_LIBRARY})
target_link_libraries(scan2theta-static PRIVATE xy)
foreach(library IN ITEMS scan2theta-shared scan2theta-static)
  target_include_directories(${library} INTERFACE
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}> $<INSTALL_INTERFACE:${S2T_INCLUDE_DIR}>)
  target_compile_features(${library} INTERFACE cxx_std_20)
endforeach()

install(TARGETS scan2theta RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET scan2theta-gui)
  install(TARGETS scan2theta-gui RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS scan2theta-shared scan2theta-static EXPORT scan2thetaTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
# Every subsystem's headers but the desktop program's (Qt) ones, so a new core folder is installed too.
install(DIRECTORY src/ DESTINATION ${S2T_INCLUDE_DIR} FILES_MATCHING PATTERN "*.h" PATTERN "ui" EXCLUDE)

install(EXPORT scan2thetaTargets NAMESPACE scan2theta:: DESTINATION ${S2T_CMAKE_DIR})
configure_package_config_file(cmake/scan2thetaConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/scan2thetaConfig.cmake INSTALL_DESTINATION ${S2T_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/scan2thetaConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/scan2thetaConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/scan2thetaConfigVersion.cmake DESTINATION ${S2T_CMAKE_DIR})
# The pkg-config file finds the installation from where it lies, so the same file serves
# `cmake --install --prefix DIR` and the package.
file(RELATIVE_PATH S2T_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(cmake/scan2theta.pc.in ${CMAKE_CURRENT_BINARY_DIR}/scan2theta.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/scan2theta.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(DIRECTORY data/standards/ DESTINATION ${CMAKE_INSTALL_DATADIR}/scan2theta/standards
  FILES_MATCHING PATTERN "*.std")
install(FILES README.md dist/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The change log as Debian keeps it for a native package: compressed, without name or time inside.
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
  COMMAND gzip -9 -n -c ${CMAKE_CURRENT_SOURCE_DIR}/dist/changelog > ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/dist/changelog VERBATIM)
add_custom_target(s2t-changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Man pages, made from the programs' --help at build time so that they never drift from it.
find_program(S2T_HELP2MAN help2man)
if(S2T_HELP2MAN)
  # Their date is the release's, from the change log (or SOURCE_DATE_EPOCH where the environment
  # sets one), never the day of the build: two builds of one release give the same pages.
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(S2T_RELEASE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
  else()
    file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/dist/changelog S2T_CHANGELOG_TRAILER REGEX "^ -- " LIMIT_COUNT 1)
    string(REGEX REPLACE "^.*>  " "" S2T_RELEASE_DATE "${S2T_CHANGELOG_TRAILER}")
    execute_process(COMMAND date -u -d "${S2T_RELEASE_DATE}" +%s OUTPUT_VARIABLE S2T_RELEASE_EPOCH
                    OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE S2T_DATE_STATUS)
    if(NOT S2T_DATE_STATUS EQUAL 0)
      message(FATAL_ERROR "dist/changelog: no release date in \"${S2T_CHANGELOG_TRAILER}\"")
    endif()
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/dist/changelog)
  set(S2T_MAN_DIR ${CMAKE_CURRENT_BINARY_DIR}/man)
  set(S2T_MAN_PAGES ${S2T_MAN_DIR}/scan2theta.1)
  add_custom_command(OUTPUT ${S2T_MAN_DIR}/scan2theta.1
    COMMAND ${CMAKE_COMMAND} -E make_directory ${S2T_MAN_DIR}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:scan2theta> -DHELP2MAN=${S2T_HELP2MAN}
            "-DNAME=convert X-ray diffraction scans into 2-theta data files" -DSUBCOMMANDS=ON
            -DEPOCH=${S2T_RELEASE_EPOCH}
            -DOUT=${S2T_MAN_DIR}/scan2theta.1 -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/MakeManPage.cmake
    DEPENDS scan2theta ${CMAKE_CURRENT_SOURCE_DIR}/cmake/MakeManPage.cmake
    COMMENT "Man page of scan2theta from its --help")
  if(TARGET scan2theta-gui)
    list(APPEND S2T_MAN_PAGES ${S2T_MAN_DIR}/scan2theta-gui.1)
    add_custom_command(OUTPUT ${S2T_MAN_DIR}/scan2theta-gui.1
      COMMAND ${CMAKE_COMMAND} -E make_directory ${S2T_MAN_DIR}
      COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:scan2theta-gui> -DHELP2MAN=${S2T_HELP2MAN}
              "-DNAME=desktop program for converting X-ray diffraction scans into 2-theta data files"
              -DEPOCH=${S2T_RELEASE_EPOCH}
              -DOUT=${S2T_MAN_DIR}/scan2theta-gui.1 -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/MakeManPage.cmake
      DEPENDS scan2theta-gui ${CMAKE_CURRENT_SOURCE_DIR}/cmake/MakeManPage.cmake
      COMMENT "Man page of scan2theta-gui from its --help")
  endif()
  # Installed compressed, as man-db and Debian expect; -n keeps the name and time out of the
  # archive so that two builds give the same bytes.
  set(S2T_MAN_ARCHIVES "")
  foreach(page IN LISTS S2T_MAN_PAGES)
    add_custom_command(OUTPUT ${page}.gz COMMAND gzip -9 -n -k -f ${page} DEPENDS ${page}
      COMMENT "Compressing ${page}")
    list(APPEND S2T_MAN_ARCHIVES ${page}.gz)
  endforeach()
  add_custom_target(s2t-man-pages ALL DEPENDS ${S2T_MAN_ARCHIVES})
  install(FILES ${S2T_MAN_ARCHIVES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "help2man not found: no man pages (scripts/setup installs it)")
endif()

install(FILES dist/scan2theta.bash-completion DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
  RENAME scan2theta)
# bash-completion loads a file by the command's name: the desktop program's completion is the same file.
install(FILES dist/scan2theta.bash-completion DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
  RENAME scan2theta-gui)
if(TARGET scan2theta-gui)
  install(FILES dist/${S2T_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES dist/scan2theta.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  configure_file(dist/${S2T_APP_ID}.metainfo.xml.in ${CMAKE_CURRENT_BINARY_DIR}/${S2T_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${S2T_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# make package: a Debian package of the installation, its dependencies read from the shared
# libraries the programs link (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME scan2theta)
set(CPACK_PACKAGE_VENDOR "scan2theta")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert X-ray diffraction scans into 2-theta data files")
# Lines of at most 80 columns, as the package's description field wants them.
set(CPACK_PACKAGE_DESCRIPTION
  "scan2theta converts X-ray powder diffraction scans recorded with a multichannel
analyser (MCA channel files, GUFI binary scans) and any scan xylib reads into
counts against 2-theta (text, xy, xye, GSAS fxye, powder CIF, XFIT, LHPM, CPI,
GUFI), and keeps the instrument's calibration, also found automatically from a
scan of a standard. It comes as a command-line program, a Qt desktop program,
a C++ library and a Python module.")
set(CPACK_PACKAGE_CONTACT "scan2theta maintainers <maintainers@scan2theta.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# dpkg refreshes the library cache through its ldconfig trigger (CPack's own scripts also call
# ldconfig, which the trigger makes redundant but harmless).
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/dist/debian/triggers)
# The Python module is built for the python3 it was configured with; dpkg-shlibdeps does not see
# that, so the dependency is named here.
if(S2T_PYTHON_VERSION)
  string(REPLACE "." ";" S2T_PYTHON_VERSION_PARTS ${S2T_PYTHON_VERSION})
  list(GET S2T_PYTHON_VERSION_PARTS 0 S2T_PYTHON_MAJOR)
  list(GET S2T_PYTHON_VERSION_PARTS 1 S2T_PYTHON_MINOR)
  math(EXPR S2T_PYTHON_NEXT_MINOR "${S2T_PYTHON_MINOR} + 1")
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "python3 (>= ${S2T_PYTHON_VERSION}~), python3 (<< ${S2T_PYTHON_MAJOR}.${S2T_PYTHON_NEXT_MINOR})")
endif()
set(CPACK_STRIP_FILES ON)
include(CPack)
