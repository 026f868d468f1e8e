# Included by bench/CMakeLists.txt.

# The card generator: Qt-free, for tests, fuzzers and the benchmarks.
add_library(kel_cardgen STATIC ${CMAKE_CURRENT_LIST_DIR}/card_generator.cpp ${CMAKE_CURRENT_LIST_DIR}/card_generator.h)
target_include_directories(kel_cardgen PUBLIC ${PROJECT_SOURCE_DIR})

add_executable(kel-make-card ${CMAKE_CURRENT_LIST_DIR}/make_card.cpp)
target_link_libraries(kel-make-card PRIVATE kel_cardgen)

# The benchmarks: built with everything else, run apart from the tests (scripts/bench.sh).
find_package(benchmark REQUIRED)
add_executable(kel_bench ${CMAKE_CURRENT_LIST_DIR}/kel_bench.cpp)
target_link_libraries(kel_bench PRIVATE kel_cardgen kel_test_printing benchmark::benchmark)

# The real window, offscreen, on a card of 1 MB race fields (the open and the print of a race,
# with the process's peak memory) and on the full card printed through its preview beside the
# report tool's PDF (scripts/bench.sh runs it).
if(TARGET kel_shell AND TARGET kelsoft-report)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  add_executable(kel_window_bench ${CMAKE_CURRENT_LIST_DIR}/window_bench.cpp)
  target_link_libraries(kel_window_bench PRIVATE kel_cardgen kel_shell kel_test_views Qt6::Test)
  target_compile_definitions(kel_window_bench PRIVATE KEL_REPORT_BIN="$<TARGET_FILE:kelsoft-report>")
  add_dependencies(kel_window_bench kelsoft-report)
endif()
