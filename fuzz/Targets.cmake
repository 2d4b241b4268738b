# The fuzz targets: name, source and the libraries each links. Read by
# fuzz/CMakeLists.txt (libFuzzer programs) and tests/reliability (which
# replays every committed corpus file through the same code in the plain
# suite).
set(DIRORU_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})
set(DIRORU_FUZZ_TARGETS stroke_dictionary association_table symbol_keyboard string_list keyboards)
set(DIRORU_FUZZ_stroke_dictionary_SOURCES StrokeDictionaryFuzz.cpp)
set(DIRORU_FUZZ_stroke_dictionary_LIBS diroru_dictionaries)
set(DIRORU_FUZZ_association_table_SOURCES AssociationTableFuzz.cpp)
set(DIRORU_FUZZ_association_table_LIBS diroru_dictionaries)
set(DIRORU_FUZZ_symbol_keyboard_SOURCES SymbolKeyboardFuzz.cpp)
set(DIRORU_FUZZ_symbol_keyboard_LIBS diroru_keyboards)
set(DIRORU_FUZZ_string_list_SOURCES StringListFuzz.cpp)
set(DIRORU_FUZZ_string_list_LIBS diroru_containers)
# The component and its panel, compiled in from the plug-in's own sources so
# that the target runs them without dlopen.
set(DIRORU_FUZZ_keyboards_SOURCES KeyboardsFuzz.cpp
  ${PROJECT_SOURCE_DIR}/plugin/IM_Stroke_Plugin.cpp
  ${PROJECT_SOURCE_DIR}/plugin/IM_Stroke_Widget.cpp
  ${PROJECT_SOURCE_DIR}/plugin/PluginGlobals.cpp)
set(DIRORU_FUZZ_keyboards_LIBS diroru_keyboards diroru_settings)

# Builds target for the fuzz target name from its sources, the shared
# helpers (the tests' data-file builders and panel taps among them) and the
# given extra sources; AUTOMOC for the panel's meta-object.
function(diroru_fuzz_executable target name)
  set(sources)
  foreach(source ${DIRORU_FUZZ_${name}_SOURCES})
    if(IS_ABSOLUTE ${source})
      list(APPEND sources ${source})
    else()
      list(APPEND sources ${DIRORU_FUZZ_DIR}/${source})
    endif()
  endforeach()
  add_executable(${target} ${sources} ${ARGN} ${DIRORU_TESTDATA_SOURCES}
    ${DIRORU_FUZZ_DIR}/common/FuzzSupport.cpp ${DIRORU_FUZZ_DIR}/common/WordDatCheck.cpp)
  set_target_properties(${target} PROPERTIES AUTOMOC ON)
  target_include_directories(${target} PRIVATE ${DIRORU_FUZZ_DIR}/common ${PROJECT_SOURCE_DIR}/plugin
    ${PROJECT_SOURCE_DIR}/tests/common ${PROJECT_SOURCE_DIR}/keyboards)
  target_link_libraries(${target} PRIVATE ${DIRORU_FUZZ_${name}_LIBS} diroru_support Qt6::Widgets)
endfunction()
