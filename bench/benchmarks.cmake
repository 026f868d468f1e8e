# Included by bench/CMakeLists.txt.

# The card generator: Qt-free, for tests, fuzzers and the benchmarks.
add_library(kel_cardgen STATIC ${CMAKE_CURRENT_LIST_DIR}/card_generator.cpp ${CMAKE_CURRENT_LIST_DIR}/card_generator.h)
target_include_directories(kel_cardgen PUBLIC ${PROJECT_SOURCE_DIR})

add_executable(kel-make-card ${CMAKE_CURRENT_LIST_DIR}/make_card.cpp)
target_link_libraries(kel-make-card PRIVATE kel_cardgen)
