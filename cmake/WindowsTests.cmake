# The tests of the Windows build, run under Wine by scripts/test-windows
# (ctest runs each .exe through cmake/run-under-wine and wine64).
#
# Every unit and widgets test program, and the end-to-end tests that drive
# a simulated gateway in a Linux relaymo-sim (RemoteGateway; the simulator
# itself needs Qt SerialBus, which the Windows SDK has not). What stays out,
# and why, is in RM_WINDOWS_TESTS_LEFT_OUT below and in the README.
file(GLOB RM_TEST_SUPPORT CONFIGURE_DEPENDS tests/support/*.cpp tests/support/*.h)
add_library(rmtestsupport STATIC ${RM_TEST_SUPPORT})
set_target_properties(rmtestsupport PROPERTIES AUTOUIC OFF)
target_include_directories(rmtestsupport PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(rmtestsupport PUBLIC rmcore Qt6::Test)
target_compile_definitions(rmtestsupport PUBLIC RM_REMOTE_SIM
  RMTOOL_PATH="$<TARGET_FILE:RMTool>"
  RMTOOL_VERSION="${PROJECT_VERSION}"
  TESTS_SOURCE_DIR="${CMAKE_SOURCE_DIR}/tests")
target_precompile_headers(rmtestsupport PRIVATE tests/support/Precompiled.h)

# Left out: the simulator's own tests (the simulator is Linux-only), the FTP
# client's (their server is a Python program on Linux), and the end-to-end
# tests not yet ported to a simulator in another process.
set(RM_WINDOWS_TESTS_LEFT_OUT test_sim test_sim_control test_sim_impairments test_sim_site
  test_termset_sim test_ftp_client)
file(GLOB RM_WINDOWS_TESTS CONFIGURE_DEPENDS tests/unit/test_*.cpp tests/widgets/test_*.cpp)
list(APPEND RM_WINDOWS_TESTS ${CMAKE_SOURCE_DIR}/tests/e2e/test_e2e_monitor.cpp
  ${CMAKE_SOURCE_DIR}/tests/e2e/test_e2e_logging.cpp
  ${CMAKE_SOURCE_DIR}/tests/e2e/test_e2e_termset.cpp
  ${CMAKE_SOURCE_DIR}/tests/e2e/test_e2e_recording.cpp)
enable_testing()
foreach(test_src ${RM_WINDOWS_TESTS})
  get_filename_component(test_name ${test_src} NAME_WE)
  if(test_name IN_LIST RM_WINDOWS_TESTS_LEFT_OUT)
    continue()
  endif()
  add_executable(${test_name} ${test_src})
  set_target_properties(${test_name} PROPERTIES AUTOUIC OFF)
  target_link_libraries(${test_name} PRIVATE rmtestsupport)
  target_precompile_headers(${test_name} REUSE_FROM rmtestsupport)
  # Off screen: scripts/test-windows sets QT_QPA_PLATFORM in the Wine
  # prefix's environment (Wine does not hand QT_* variables on).
  add_test(NAME ${test_name}
    COMMAND ${CMAKE_SOURCE_DIR}/cmake/run-under-wine ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${test_name}>)
  set_tests_properties(${test_name} PROPERTIES TIMEOUT 900)
endforeach()
