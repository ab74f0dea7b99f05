# What a user installs: `cmake --install` lays it out, CPack wraps it.
#   Linux (DEB, qx-vignette_VERSION_amd64.deb), prefix /usr:
#     lib/qx-vignette/{qxv,QX_Vignette.so}   qxv finds the plug-in beside itself
#     bin/qxv -> ../lib/qx-vignette/qxv
#     lib/frei0r-1/qx_vignette.so              where FFmpeg, MLT and GStreamer look with no
#                                              variable set; it finds ../qx-vignette/QX_Vignette.so
#     share/doc/qx-vignette/                   README, and docs/ (its pictures and pages) beside
#                                              it, so its links work where it is installed
#     share/kdenlive/effects/frei0r_qx_vignette.xml   Kdenlive's panel for frei0r.qx_vignette
#     share/shotcut/qml/filters/qx_vignette/          Shotcut's filter (meta.qml, ui.qml; vui.qml,
#                                              VignetteVui.qml, vignette.js: the handles)
#   Windows (made in the mingw-w64 sub-build): a ZIP of QX_Vignette.aex, qxv.exe and a text on
#   where the hosts look for plug-ins, and the setup program (target "installer") that puts
#   them there.
set(CPACK_PACKAGE_NAME "qx-vignette")
set(CPACK_PACKAGE_VENDOR "Quillmoor")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "QX Vignette: a vignette effect for After Effects, Premiere Pro and frei0r hosts")

if(WIN32)
  if(NOT TARGET qxv)
    return()
  endif()
  install(TARGETS QX_Vignette LIBRARY DESTINATION . RUNTIME DESTINATION .)
  install(TARGETS qxv RUNTIME DESTINATION .)
  install(FILES packaging/windows/WHERE-HOSTS-LOOK.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "qx-vignette_${PROJECT_VERSION}_windows-x64")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  include(CPack)

  # The setup program (packaging/windows/installer.nsi), made by NSIS's makensis.
  find_program(QXV_MAKENSIS makensis)
  if(QXV_MAKENSIS)
    set(QXV_SETUP "${PROJECT_BINARY_DIR}/qx-vignette_${PROJECT_VERSION}_windows-x64-setup.exe")
    set(QXV_INSTALLER_SCRIPT "${PROJECT_SOURCE_DIR}/packaging/windows/installer.nsi")
    add_custom_command(OUTPUT "${QXV_SETUP}"
      COMMAND "${QXV_MAKENSIS}" -V2 -NOCD
              "-DVERSION=${PROJECT_VERSION}"
              "-DAEX=$<TARGET_FILE:QX_Vignette>"
              "-DQXV=$<TARGET_FILE:qxv>"
              "-DREADME=${PROJECT_SOURCE_DIR}/README.md"
              "-DWHERE=${PROJECT_SOURCE_DIR}/packaging/windows/WHERE-HOSTS-LOOK.txt"
              "-DOUTFILE=${QXV_SETUP}"
              "${QXV_INSTALLER_SCRIPT}"
      DEPENDS QX_Vignette qxv "${QXV_INSTALLER_SCRIPT}" "${PROJECT_SOURCE_DIR}/README.md"
              "${PROJECT_SOURCE_DIR}/packaging/windows/WHERE-HOSTS-LOOK.txt"
      COMMENT "Writing ${QXV_SETUP}")
    add_custom_target(installer DEPENDS "${QXV_SETUP}")
  endif()
  return()
endif()

if(NOT TARGET qxv OR NOT TARGET qx_vignette)
  return()
endif()
install(TARGETS QX_Vignette qxv LIBRARY DESTINATION lib/qx-vignette RUNTIME DESTINATION lib/qx-vignette)
# qxv opens its OpenImageIO module from its own folder on the first image file.
if(TARGET qxv_openimageio)
  install(TARGETS qxv_openimageio LIBRARY DESTINATION lib/qx-vignette)
endif()
install(TARGETS qx_vignette LIBRARY DESTINATION lib/frei0r-1)
install(CODE [[
  file(MAKE_DIRECTORY "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
  file(CREATE_LINK ../lib/qx-vignette/qxv "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/qxv" SYMBOLIC)
]])
install(FILES README.md DESTINATION share/doc/qx-vignette)
install(DIRECTORY docs/ DESTINATION share/doc/qx-vignette/docs FILES_MATCHING PATTERN "*.png" PATTERN "*.md")
# Generated at build time from what the module reports (tools/editor_descriptions).
install(FILES "${QXV_EDITORS_DIR}/kdenlive/frei0r_qx_vignette.xml" DESTINATION share/kdenlive/effects)
install(DIRECTORY "${QXV_EDITORS_DIR}/shotcut/qx_vignette" DESTINATION share/shotcut/qml/filters)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "QX Vignette developers <vignette@quillmoor.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg | melt | gstreamer1.0-plugins-bad")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "kdenlive, shotcut")
include(CPack)
