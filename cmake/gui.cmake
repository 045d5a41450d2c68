# The window: Qt 6 Widgets.  Qt-dependent sources live in formula/qt/ and ui/;
# app/main.cpp holds main().
find_package(Qt6 REQUIRED COMPONENTS Widgets Svg Test)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)

file(GLOB VOKT_GUI_SOURCES CONFIGURE_DEPENDS
     formula/qt/*.cpp formula/qt/*.h ui/*.cpp ui/*.h ui/*.qrc)
if(NOT VOKT_GUI_SOURCES)
  return()
endif()
add_library(vokt_gui STATIC ${VOKT_GUI_SOURCES})
target_link_libraries(vokt_gui PUBLIC vokt_core Qt6::Widgets Qt6::Svg)

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/app/main.cpp)
  add_executable(vokt app/main.cpp app/screenshot.cpp app/screenshot.h)
  target_link_libraries(vokt PRIVATE vokt_gui)
endif()

if(VOKT_TESTS)
  file(GLOB VOKT_GUI_TESTS CONFIGURE_DEPENDS tests/ui/*.cpp tests/formula/qt/*.cpp)
  if(VOKT_GUI_TESTS)
    add_executable(vokt_gui_tests ${VOKT_GUI_TESTS})
    target_link_libraries(vokt_gui_tests PRIVATE vokt_gui Qt6::Test GTest::gtest)
    gtest_discover_tests(vokt_gui_tests DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endif()

if(VOKT_BENCH)
  file(GLOB VOKT_GUI_BENCHES CONFIGURE_DEPENDS bench/gui/*.cpp)
  foreach(src ${VOKT_GUI_BENCHES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(bench_gui_${name} ${src})
    target_link_libraries(bench_gui_${name} PRIVATE vokt_gui benchmark::benchmark)
  endforeach()
endif()
