# The program's code is one static library, `hmi`, assembled from one object
# library per subsystem. Tests link only the subsystems they exercise, so a
# unit under work never stalls the build of another.

set(HMI_SRC ${CMAKE_SOURCE_DIR})
set(HMI_INCLUDE_DIRS ${HMI_SRC} ${HMI_SRC}/UI_interface ${HMI_SRC}/RS232_CCU
    ${HMI_SRC}/IPC_Pipe ${HMI_SRC}/DC_Meter ${HMI_SRC}/Cloud_WR)

# hmi_component(NAME <name> PATTERNS <globs relative to the source dir> [DEPENDS <components>])
function(hmi_component name)
  cmake_parse_arguments(C "" "" "PATTERNS;DEPENDS" ${ARGN})
  set(files)
  foreach(p ${C_PATTERNS})
    file(GLOB matched CONFIGURE_DEPENDS ${HMI_SRC}/${p})
    list(APPEND files ${matched})
  endforeach()
  list(FILTER files EXCLUDE REGEX "/main\\.cpp$|/switches\\.cpp$|\\.inc$")
  # A file belongs to the first component that names it.
  get_property(claimed GLOBAL PROPERTY HMI_CLAIMED_FILES)
  if(claimed)
    list(REMOVE_ITEM files ${claimed})
  endif()
  set_property(GLOBAL APPEND PROPERTY HMI_CLAIMED_FILES ${files})
  if(NOT files)
    return()
  endif()
  add_library(hmi_${name} OBJECT ${files})
  target_include_directories(hmi_${name} PUBLIC ${HMI_INCLUDE_DIRS} ${CMAKE_CURRENT_BINARY_DIR})
  target_link_libraries(hmi_${name} PUBLIC ${HMI_QT_LIBS})
  foreach(d ${C_DEPENDS})
    if(TARGET hmi_${d})
      target_link_libraries(hmi_${name} PUBLIC hmi_${d})
    endif()
  endforeach()
  set_property(GLOBAL APPEND PROPERTY HMI_COMPONENTS hmi_${name})
endfunction()

hmi_component(core PATTERNS
  UI_interface/globalvariable.* UI_interface/timer.* UI_interface/configuration.*
  UI_interface/runtimeoptions.* UI_interface/sharedvalue.* UI_interface/fonts.*
  RS232_CCU/ccu_records.* DC_Meter/dc_meter_data.* UI_interface/stopreason.* UI_interface/screensetup.*)
hmi_component(ccu PATTERNS RS232_CCU/*.cpp RS232_CCU/*.h UI_interface/thread_rs232_ccu1.* DEPENDS core)
hmi_component(meter PATTERNS DC_Meter/*.cpp DC_Meter/*.h UI_interface/thread_rs485.* DEPENDS core)
hmi_component(pipe PATTERNS IPC_Pipe/*.cpp IPC_Pipe/*.h UI_interface/thread_pipe.* DEPENDS core)
hmi_component(screens_a PATTERNS
  UI_interface/home.* UI_interface/fixedcharge.* UI_interface/keyboard.* UI_interface/authorization.*
  UI_interface/chargerconnect.* UI_interface/standby.* UI_interface/led.* DEPENDS core)
hmi_component(screens_b PATTERNS
  UI_interface/energydelivery.* UI_interface/charging_child1.* UI_interface/charging_child2.*
  UI_interface/complete.* UI_interface/complete_child.* UI_interface/errormsg.*
  UI_interface/debugfun.* UI_interface/help.* UI_interface/chargefigures.* DEPENDS core)
hmi_component(status PATTERNS Cloud_WR/*.cpp Cloud_WR/*.h UI_interface/connector.* UI_interface/factorymode.*
  DEPENDS core ccu meter)
hmi_component(app PATTERNS UI_interface/mainwindow.* UI_interface/shutdown.* UI_interface/application.*
  DEPENDS core ccu meter pipe screens_a screens_b status)

get_property(HMI_COMPONENT_TARGETS GLOBAL PROPERTY HMI_COMPONENTS)
set(hmi_objects)
foreach(t ${HMI_COMPONENT_TARGETS})
  list(APPEND hmi_objects $<TARGET_OBJECTS:${t}>)
endforeach()
add_library(hmi STATIC ${hmi_objects})
target_include_directories(hmi PUBLIC ${HMI_INCLUDE_DIRS})
target_link_libraries(hmi PUBLIC ${HMI_QT_LIBS})
# Resource objects are linked into every executable directly: inside a static
# archive nothing references them and the linker would drop them.
target_link_libraries(hmi INTERFACE $<TARGET_OBJECTS:hmi_resources>)
add_dependencies(hmi hmi_resources)
foreach(t ${HMI_COMPONENT_TARGETS})
  add_dependencies(hmi ${t})
  target_include_directories(hmi PUBLIC $<TARGET_PROPERTY:${t},INTERFACE_INCLUDE_DIRECTORIES>)
endforeach()

# The four switches, compiled once per variant: the build's own choice, and
# the two fixed variants that tests use whatever the build chose.
function(hmi_switches name debug gun paypad meter)
  add_library(${name} OBJECT ${HMI_SRC}/UI_interface/switches.cpp)
  target_compile_definitions(${name} PRIVATE HMI_SW_DEBUG_MODE=${debug} HMI_SW_DEBUG_CHARGER_GUN=${gun}
    HMI_SW_DEBUG_PAYPAD=${paypad} HMI_SW_DC_METER=${meter})
endfunction()
macro(hmi_bool var out)
  if(${var})
    set(${out} true)
  else()
    set(${out} false)
  endif()
endmacro()
hmi_bool(HMI_DEBUG_MODE sw_dm)
hmi_bool(HMI_DEBUG_CHARGER_GUN sw_gun)
hmi_bool(HMI_DEBUG_PAYPAD sw_pay)
hmi_bool(HMI_DC_METER sw_meter)
hmi_switches(hmi_switches_build ${sw_dm} ${sw_gun} ${sw_pay} ${sw_meter})
hmi_switches(hmi_switches_sim true true true false)
hmi_switches(hmi_switches_device false false true true)
