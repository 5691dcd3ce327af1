# SPDX-License-Identifier: GPL-3.0-or-later
# Every folder of src/ is one layer and one static library, vantory_<folder>. A layer's include root
# holds only a link to its own folder (<build>/include/<folder>/<folder> → src/<folder>), so its
# headers resolve as "<folder>/…" for itself and for the layers that link it, while an include of a
# layer it does not link (model → engine, the core → Qt) does not compile.
function(vantory_layer folder)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LINKS")
    set(root ${PROJECT_BINARY_DIR}/include/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
    add_library(vantory_${folder} STATIC ${arg_SOURCES})
    target_include_directories(vantory_${folder} PUBLIC ${root})
    target_link_libraries(vantory_${folder} PUBLIC ${arg_LINKS})
    vantory_target_defaults(vantory_${folder})
endfunction()
