# One library per folder, stacked in layers. law_layer(NAME USES lower... INTERNAL headers...)
# builds the folder's sources as an object library whose include path holds its own headers and
# those of the layers it USES, and nothing else: an include against the direction does not
# compile. Each folder's headers are seen as <law/NAME/...> through a link under the build tree,
# which is also how they are installed; INTERNAL headers stay out of the installed tree.
set(LAW_LAYER_ROOT ${PROJECT_BINARY_DIR}/layers)
set_property(GLOBAL PROPERTY LAW_LAYERS "")

function(law_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "USES;INTERNAL")
  set(root ${LAW_LAYER_ROOT}/${name})
  file(MAKE_DIRECTORY ${root}/law)
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/law/${name} SYMBOLIC)

  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cc)
  add_library(law_${name} OBJECT ${sources})
  set_target_properties(law_${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  # Calls inside the library bind to its own definitions (no lookup through the PLT).
  # The library's thread-local variables live in the static TLS block (it is loaded with the
  # program or as a dependency of one module), so they are read without a __tls_get_addr call:
  # the simplifier and the use counts read them on every law they touch.
  target_compile_options(law_${name} PRIVATE -Wall -Wextra -fno-semantic-interposition
                                             -ftls-model=initial-exec)
  target_compile_features(law_${name} PUBLIC cxx_std_20)
  target_include_directories(law_${name} PUBLIC $<BUILD_INTERFACE:${root}>)
  foreach(lower ${arg_USES})
    if(NOT TARGET law_${lower})
      message(FATAL_ERROR "layer ${name} uses ${lower}, which is not a layer below it")
    endif()
    target_link_libraries(law_${name} PUBLIC law_${lower})
  endforeach()

  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.def)
  foreach(header ${headers})
    get_filename_component(file ${header} NAME)
    if(NOT file IN_LIST arg_INTERNAL)
      install(FILES ${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/law/${name} COMPONENT headers)
    endif()
  endforeach()
  foreach(file ${arg_INTERNAL})
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${file})
      message(FATAL_ERROR "layer ${name} names a missing internal header ${file}")
    endif()
  endforeach()
  set_property(GLOBAL APPEND PROPERTY LAW_LAYERS ${name})
endfunction()
