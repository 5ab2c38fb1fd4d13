# The program's code is one static library, `hmi`, assembled from one object
# library per component. Each component names its sources and sees only its
# own folder and the folders of the components it depends on, so an include
# that runs upward (a link reaching into the screens, common reaching into a
# link) does not compile. Tests link only the components they exercise.
#
#   common   common/                   ground floor: includes nothing above it
#   ccu      RS232_CCU/                -> common
#   meter    DC_Meter/                 -> common
#   pipe     IPC_Pipe/                 -> common
#   status   Cloud_WR/                 -> common
#   screens  UI_interface/screens/     -> common
#   session  UI_interface/session/     -> common
#   core     UI_interface/ (no window) -> common status
#   app      UI_interface/ (window)    -> everything

set(HMI_SRC ${CMAKE_SOURCE_DIR})

# hmi_component(<name> DIR <folder> SOURCES <files in it> [DEPENDS <components>])
function(hmi_component name)
  cmake_parse_arguments(C "" "DIR" "SOURCES;DEPENDS" ${ARGN})
  set(files)
  foreach(f ${C_SOURCES})
    set(path ${HMI_SRC}/${C_DIR}/${f})
    # A path that climbs out of the folder would pass by the include
    # directories; such an include stops the configuration.
    file(STRINGS ${path} climbing REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]*\\.\\./")
    if(climbing)
      message(FATAL_ERROR "${C_DIR}/${f}: includes by a path out of its folder: ${climbing}")
    endif()
    list(APPEND files ${path})
  endforeach()
  add_library(hmi_${name} OBJECT ${files})
  target_include_directories(hmi_${name} PUBLIC ${HMI_SRC}/${C_DIR})
  target_link_libraries(hmi_${name} PUBLIC ${HMI_QT_LIBS})
  foreach(d ${C_DEPENDS})
    target_link_libraries(hmi_${name} PUBLIC hmi_${d})
  endforeach()
  set_property(GLOBAL APPEND PROPERTY HMI_COMPONENTS hmi_${name})
endfunction()

hmi_component(common DIR common SOURCES
  globalvariable.h globalvariable.cpp sharedvalue.h sessionend.h serialsettings.h workerthread.h workerthread.cpp
  runtimeoptions.h runtimeoptions.cpp datafiles.h datafiles.cpp servicepin.h servicepin.cpp resetscript.h resetscript.cpp
  transactionrecord.h transactionrecord.cpp localclock.h localclock.cpp
  ccu_records.h ccu_records.cpp dc_meter_data.h dc_meter_data.cpp logcategories.h logcategories.cpp)

hmi_component(ccu DIR RS232_CCU DEPENDS common SOURCES
  rs232_ccu.h rs232_ccu.cpp rs232_ccu_frame.h rs232_ccu_codec.cpp rs232_ccu_decode.cpp rs232_ccu_schedule.cpp
  thread_rs232_ccu1.h thread_rs232_ccu1.cpp)
hmi_component(meter DIR DC_Meter DEPENDS common SOURCES
  crc16modbus.h crc16modbus.cpp dc_meter.h dc_meter.cpp thread_rs485.h thread_rs485.cpp)
hmi_component(pipe DIR IPC_Pipe DEPENDS common SOURCES
  ipc_pipe.h ipc_pipe.cpp thread_pipe.h thread_pipe.cpp)
hmi_component(status DIR Cloud_WR DEPENDS common SOURCES cloud_wr.h cloud_wr.cpp)

hmi_component(screens DIR UI_interface/screens DEPENDS common SOURCES
  styletokens.h styletokens.cpp screensetup.h screensetup.cpp popupdialog.h fonts.h fonts.cpp
  stopreason.h stopreason.cpp chargefigures.h screentext.h screentext.cpp
  home.h home.cpp home.ui
  fixedcharge.h fixedcharge.cpp fixedcharge.ui
  keyboard.h keyboard.cpp keyboard.ui
  authorization.h authorization.cpp authorization.ui
  chargerconnect.h chargerconnect.cpp chargerconnect.ui
  standby.h standby.cpp standby.ui
  energydelivery.h energydelivery.cpp energydelivery.ui
  charging_child1.h charging_child1.cpp charging_child1.ui
  charging_child2.h charging_child2.cpp charging_child2.ui
  complete.h complete.cpp complete.ui
  complete_child.h complete_child.cpp complete_child.ui
  errormsg.h errormsg.cpp errormsg.ui
  debugfun.h debugfun.cpp debugfun.ui
  help.h help.cpp help.ui
  factorymode.h factorymode.cpp factorymode.ui
  idleclose.h idleclose.cpp servicepinpad.h servicepinpad.cpp servicepinpad.ui statusclock.h statusclock.cpp)
# The style tokens of the individual screens are built inside styletokens.cpp.
target_sources(hmi_screens PRIVATE
  ${HMI_SRC}/UI_interface/screens/tokens_screens_a.h ${HMI_SRC}/UI_interface/screens/tokens_screens_b.h
  ${HMI_SRC}/UI_interface/screens/tokens_service.h)
set_source_files_properties(
  ${HMI_SRC}/UI_interface/screens/tokens_screens_a.inc ${HMI_SRC}/UI_interface/screens/tokens_screens_b.inc
  ${HMI_SRC}/UI_interface/screens/tokens_service.inc PROPERTIES HEADER_FILE_ONLY ON)


hmi_component(session DIR UI_interface/session DEPENDS common SOURCES
  sessionview.h sessionsupervisor.h sessionsupervisor.cpp sessionrecovery.cpp chargingdata.h chargingdata.cpp)

# The application core: what needs no window ...
hmi_component(core DIR UI_interface DEPENDS common status SOURCES
  configuration.h configuration.cpp timer.h timer.cpp connector.h connector.cpp
  led.h led.cpp shutdown.h shutdown.cpp servicepinsetup.h servicepinsetup.cpp)
# ... and the window and the wiring of every part.
hmi_component(app DIR UI_interface DEPENDS common ccu meter pipe status screens session core SOURCES
  mainwindow.h mainwindow.cpp mainwindow_pages.cpp mainwindow_states.cpp mainwindow_view.cpp mainwindow.ui application.h application.cpp)

get_property(HMI_COMPONENT_TARGETS GLOBAL PROPERTY HMI_COMPONENTS)
set(hmi_objects)
foreach(t ${HMI_COMPONENT_TARGETS})
  list(APPEND hmi_objects $<TARGET_OBJECTS:${t}>)
endforeach()
add_library(hmi STATIC ${hmi_objects})
target_include_directories(hmi PUBLIC ${HMI_SRC}/common ${HMI_SRC}/RS232_CCU ${HMI_SRC}/DC_Meter ${HMI_SRC}/IPC_Pipe
  ${HMI_SRC}/Cloud_WR ${HMI_SRC}/UI_interface/screens ${HMI_SRC}/UI_interface/session ${HMI_SRC}/UI_interface)
target_link_libraries(hmi PUBLIC ${HMI_QT_LIBS})
# Resource objects are linked into every executable directly: inside a static
# archive nothing references them and the linker would drop them.
target_link_libraries(hmi INTERFACE $<TARGET_OBJECTS:hmi_resources>)
add_dependencies(hmi hmi_resources)

# The four switches, compiled once per variant: the build's own choice, and
# the two fixed variants that tests use whatever the build chose.
function(hmi_switches name debug gun paypad meter)
  add_library(${name} OBJECT ${HMI_SRC}/common/switches.cpp)
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
