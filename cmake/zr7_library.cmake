# zr7_add_library(name [QT] sources...) makes one subsystem's static
# library. Every header is included by its path under src/
# ("transfer/bank_read.h"), so each library publishes that one folder.
# A QT library has moc run over its sources for its Q_OBJECT classes.
function(zr7_add_library name)
  cmake_parse_arguments(ARG "QT" "" "" ${ARGN})
  add_library(${name} STATIC ${ARG_UNPARSED_ARGUMENTS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
endfunction()
