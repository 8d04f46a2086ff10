cmake_minimum_required(VERSION 3.25)
# The layers by their includes: data/ includes only data/; a rules file only data/ and its own folder;
# widgets/ only data/ and itself; a part only data/, widgets/, its own folder and (the gallery) the scroll
# box's folder search/; nothing outside app/ includes app/ or defines a member of the window. So no two
# folders include each other. The letter-range table is written once.
# Run as: cmake -DQUELLE=<source folder> -P tst_schichten.cmake
file(GLOB_RECURSE dateien RELATIVE ${QUELLE}
  ${QUELLE}/data/*.cpp ${QUELLE}/data/*.h ${QUELLE}/gallery/*.cpp ${QUELLE}/gallery/*.h
  ${QUELLE}/quiz/*.cpp ${QUELLE}/quiz/*.h ${QUELLE}/search/*.cpp ${QUELLE}/search/*.h
  ${QUELLE}/widgets/*.cpp ${QUELLE}/widgets/*.h ${QUELLE}/tools/*.cpp ${QUELLE}/tools/*.h)

set(fehler "")
foreach(datei ${dateien})
  file(STRINGS ${QUELLE}/${datei} zeilen REGEX "^#include \"[^/\"]+/")
  get_filename_component(eigener ${datei} DIRECTORY)
  get_filename_component(name ${datei} NAME)
  file(READ ${QUELLE}/${datei} inhalt)
  string(FIND "${inhalt}" "TMainForm::" handler)
  foreach(zeile ${zeilen})
    string(REGEX REPLACE "^#include \"([^/\"]+)/.*" "\\1" ordner "${zeile}")
    if(eigener STREQUAL "data")
      set(erlaubt data)
    elseif(name MATCHES "regeln\\.")
      set(erlaubt data ${eigener})
    elseif(eigener STREQUAL "widgets")
      set(erlaubt data widgets)
    elseif(eigener STREQUAL "gallery")
      set(erlaubt data gallery search widgets)
    elseif(eigener STREQUAL "tools")
      set(erlaubt data tools)
    else()
      set(erlaubt data ${eigener} widgets)
    endif()
    if(NOT ordner IN_LIST erlaubt)
      string(APPEND fehler "${datei}: ${zeile}\n")
    endif()
  endforeach()
  if(handler GREATER -1)
    string(APPEND fehler "${datei}: defines a member of TMainForm\n")
  endif()
endforeach()

# The range table's file names stand in one source file, in data/.
file(GLOB_RECURSE quellen RELATIVE ${QUELLE} ${QUELLE}/app/* ${QUELLE}/data/* ${QUELLE}/gallery/* ${QUELLE}/quiz/*
  ${QUELLE}/search/* ${QUELLE}/widgets/* ${QUELLE}/tools/*)
foreach(text "A-E.txt" "U-Z.txt" "Ö-Kfz.txt" "Deutschland/A-E" "Österreich/A-Z")
  set(fundorte "")
  foreach(datei ${quellen})
    # Code lines only: a comment may name a file.
    file(STRINGS ${QUELLE}/${datei} treffer ENCODING UTF-8 REGEX "^[ ]*[^ /].*\"[^\"]*${text}")
    if(treffer)
      list(APPEND fundorte ${datei})
    endif()
  endforeach()
  list(LENGTH fundorte anzahl)
  if(NOT anzahl EQUAL 1 OR NOT fundorte MATCHES "^data/")
    string(APPEND fehler "\"${text}\" is written in: ${fundorte}\n")
  endif()
endforeach()

if(fehler)
  message(FATAL_ERROR "Layer rules broken:\n${fehler}")
endif()
list(LENGTH dateien geprueft)
message(STATUS "Layers hold in ${geprueft} files")
