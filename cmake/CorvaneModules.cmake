# corvane_module(<folder> [DEPENDS <module>...] [LIBRARIES <library>...] SOURCES <file>...)
#
# One static library per source folder, named corvane_<folder>. Its headers are reached as
# "<folder>/name.h" through an include root of its own in the build tree, which only the library
# itself and the targets that link it see. A folder may therefore include only the folders it
# names in DEPENDS (and what those depend on): an include of a layer above fails to compile.
function(corvane_module folder)
  cmake_parse_arguments(PARSE_ARGV 1 MODULE "" "" "DEPENDS;LIBRARIES;SOURCES")
  set(target corvane_${folder})
  add_library(${target} STATIC ${MODULE_SOURCES})
  set(root ${CMAKE_BINARY_DIR}/include/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
  set(depends corvane_options)
  foreach(module ${MODULE_DEPENDS})
    list(APPEND depends corvane_${module})
  endforeach()
  target_link_libraries(${target} PUBLIC ${depends} PRIVATE ${MODULE_LIBRARIES})
endfunction()
