# Images are drawn as SVG in resources/images and rendered to PNG here; the
# Roboto faces come from the system's fonts-roboto-unhinted package under the
# names the program registers. Both end up in one generated .qrc.

find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(HMI_FONT_DIR /usr/share/fonts/truetype/roboto/unhinted CACHE PATH "Roboto font files")
set(HMI_RES_DIR ${CMAKE_BINARY_DIR}/res)

# resource name -> file of the package
set(HMI_FONTS
  Roboto-Black:RobotoTTF/Roboto-Black
  Roboto-BlackItalic:RobotoTTF/Roboto-BlackItalic
  Roboto-Bold:RobotoTTF/Roboto-Bold
  Roboto-BoldCondensed:RobotoCondensed-Bold
  Roboto-BoldCondensedItalic:RobotoCondensed-BoldItalic
  Roboto-BoldItalic:RobotoTTF/Roboto-BoldItalic
  Roboto-Condensed:RobotoCondensed-Regular
  Roboto-CondensedItalic:RobotoCondensed-Italic
  Roboto-Italic:RobotoTTF/Roboto-Italic
  Roboto-Light:RobotoTTF/Roboto-Light
  Roboto-LightItalic:RobotoTTF/Roboto-LightItalic
  Roboto-Medium:RobotoTTF/Roboto-Medium
  Roboto-MediumItalic:RobotoTTF/Roboto-MediumItalic
  Roboto-Regular:RobotoTTF/Roboto-Regular
  Roboto-Thin:RobotoTTF/Roboto-Thin
  Roboto-ThinItalic:RobotoTTF/Roboto-ThinItalic)

set(qrc_entries "")
set(res_files "")
foreach(pair ${HMI_FONTS})
  string(REPLACE ":" ";" pair_list ${pair})
  list(GET pair_list 0 res_name)
  list(GET pair_list 1 pkg_name)
  set(src ${HMI_FONT_DIR}/${pkg_name}.ttf)
  if(NOT EXISTS ${src})
    message(FATAL_ERROR "Missing font ${src}: install fonts-roboto-unhinted")
  endif()
  configure_file(${src} ${HMI_RES_DIR}/font/roboto/${res_name}.ttf COPYONLY)
  string(APPEND qrc_entries "    <file>font/roboto/${res_name}.ttf</file>\n")
endforeach()

file(GLOB HMI_SVGS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/images/*.svg)
foreach(svg ${HMI_SVGS})
  get_filename_component(base ${svg} NAME_WE)
  set(png ${HMI_RES_DIR}/images/${base}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${HMI_RES_DIR}/images
    COMMAND ${RSVG_CONVERT} -o ${png} ${svg}
    DEPENDS ${svg} VERBATIM)
  list(APPEND res_files ${png})
  string(APPEND qrc_entries "    <file>images/${base}.png</file>\n")
endforeach()

# Screen texts in the driver's language: the .ts sources live in the
# repository, lrelease (Debian's qttools5-dev-tools) compiles them and the .qm
# files are embedded under ":/translations/". English is the source language
# of the program and needs none.
find_package(Qt5LinguistTools 5.15 REQUIRED)
set(HMI_LANGUAGES de fr es)
set(HMI_TS_FILES)
foreach(lang ${HMI_LANGUAGES})
  list(APPEND HMI_TS_FILES ${CMAKE_SOURCE_DIR}/resources/translations/hmi_${lang}.ts)
endforeach()
set_source_files_properties(${HMI_TS_FILES} PROPERTIES OUTPUT_LOCATION ${HMI_RES_DIR}/translations)
qt5_add_translation(HMI_QM_FILES ${HMI_TS_FILES})
foreach(qm ${HMI_QM_FILES})
  get_filename_component(base ${qm} NAME)
  list(APPEND res_files ${qm})
  string(APPEND qrc_entries "    <file>translations/${base}</file>\n")
endforeach()

# cmake --build build --target translations_update: lupdate reads the screens
# and the main window again and adds new texts to every .ts (the English one
# is the template for a new language); obsolete texts are dropped.
# The factory screen and the service PIN pad are for technicians and stay in English.
file(GLOB HMI_TR_SOURCES ${CMAKE_SOURCE_DIR}/UI_interface/screens/*.cpp ${CMAKE_SOURCE_DIR}/UI_interface/screens/*.h
  ${CMAKE_SOURCE_DIR}/UI_interface/screens/*.inc ${CMAKE_SOURCE_DIR}/UI_interface/mainwindow.cpp)
list(FILTER HMI_TR_SOURCES EXCLUDE REGEX "/(factorymode|servicepinpad|tokens_service)\\.")
add_custom_target(translations_update
  COMMAND Qt5::lupdate -silent -no-obsolete -locations none -extensions cpp,h,inc ${HMI_TR_SOURCES}
    -ts ${HMI_TS_FILES} ${CMAKE_SOURCE_DIR}/resources/translations/hmi_en.ts
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)

file(WRITE ${HMI_RES_DIR}/hmi.qrc.in "<RCC>\n  <qresource prefix=\"/\">\n${qrc_entries}  </qresource>\n</RCC>\n")
configure_file(${HMI_RES_DIR}/hmi.qrc.in ${HMI_RES_DIR}/hmi.qrc COPYONLY)
set_source_files_properties(${HMI_RES_DIR}/hmi.qrc PROPERTIES OBJECT_DEPENDS "${res_files}")

add_custom_target(hmi_images DEPENDS ${res_files})
add_library(hmi_resources OBJECT ${HMI_RES_DIR}/hmi.qrc)
add_dependencies(hmi_resources hmi_images)
target_link_libraries(hmi_resources PUBLIC Qt5::Core)
