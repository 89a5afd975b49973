# Include folders that hold one part of the source tree and nothing else.
#
# Sources name the headers of a part by its folder: "terrain/HeightMap.h",
# "tools/vaskur-geo/Sidecar.h". Were the top of the source tree an include
# folder, any file could include any header, linked or not. Instead each
# library gets a folder of its own in the build tree, holding a link to its
# part of the sources under the same name:
#
#     <build>/include/vaskur_terrain/terrain -> <source>/terrain
#
# so that only the parts a target links can be included, and the layering
# (route/ on terrain/ only, gui/ on nothing of the model, ...) is checked by
# the compiler. No file moves; the names in the sources stay as they are.
#
#     vaskur_include_root(TARGET SCOPE FOLDER)
#
# FOLDER is relative to the top of the sources (terrain, gui/alfont,
# tools/vaskur-geo); SCOPE is PUBLIC for a library's own headers, PRIVATE for
# a program's or a test's, INTERFACE for a header-only target.

function(vaskur_include_root target scope folder)
    set(root ${PROJECT_BINARY_DIR}/include/${target})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    target_include_directories(${target} ${scope} ${root})
endfunction()
